#include "platform/win32/Win32Registry.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

namespace platform::win32 {

namespace {

HKEY rootOf(Hive hive) { return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// The view flag of a hive (ignored by a 32-bit Windows).
REGSAM viewOf(Hive hive) { return hive == Hive::LocalMachine64 ? KEY_WOW64_64KEY : 0; }

// An open key, closed on every way out.
class OpenKey {
public:
    OpenKey(Hive hive, const std::string& key, REGSAM access) {
        if (RegOpenKeyExA(rootOf(hive), key.c_str(), 0, access | viewOf(hive), &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

bool Win32Registry::keyExists(Hive hive, const std::string& key) { return bool(OpenKey(hive, key, KEY_READ)); }

std::optional<RegistryValue> Win32Registry::readValue(Hive hive, const std::string& key, const std::string& name,
                                                      std::size_t bufferBytes) {
    OpenKey k(hive, key, KEY_READ);
    if (!k) return std::nullopt;
    // A null data pointer would turn the call into a size query that "succeeds" for any value, so even a
    // zero-byte buffer is a real one.
    std::vector<uint8_t> buffer(std::max<std::size_t>(bufferBytes, 1));
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(bufferBytes);
    if (RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;  // missing, or ERROR_MORE_DATA: a value that does not fit is unreadable
    RegistryValue value;
    value.type = type;
    value.data.assign(buffer.begin(), buffer.begin() + std::min<std::size_t>(size, bufferBytes));
    return value;
}

bool Win32Registry::createKey(Hive hive, const std::string& key) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(rootOf(hive), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | viewOf(hive), nullptr,
                        &created, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(created);
    return true;
}

bool Win32Registry::writeValue(Hive hive, const std::string& key, const std::string& name,
                               const RegistryValue& value) {
    OpenKey k(hive, key, KEY_SET_VALUE);
    if (!k) return false;
    return RegSetValueExA(k.get(), name.c_str(), 0, value.type, value.data.empty() ? nullptr : value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool Win32Registry::deleteValue(Hive hive, const std::string& key, const std::string& name) {
    OpenKey k(hive, key, KEY_SET_VALUE);
    if (!k) return false;
    return RegDeleteValueA(k.get(), name.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::deleteKeyTree(Hive hive, const std::string& key) {
    // An empty sub-key name makes the tree deletion empty the whole hive: never pass one on.
    if (key.find_first_not_of('\\') == std::string::npos) return false;
    if (hive != Hive::LocalMachine64) return SHDeleteKeyA(rootOf(hive), key.c_str()) == ERROR_SUCCESS;
    // SHDeleteKey knows no views: the key is opened in the 64-bit view, emptied, then deleted from there.
    {
        OpenKey k(hive, key, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE);
        if (!k || RegDeleteTreeA(k.get(), nullptr) != ERROR_SUCCESS) return false;
    }
    return RegDeleteKeyExA(rootOf(hive), key.c_str(), KEY_WOW64_64KEY, 0) == ERROR_SUCCESS;
}

}  // namespace platform::win32
