#include "platform/win32/Win32Misc.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace platform::win32 {

// ---------------------------------------------------------------------------------------------------------
// Clock, debugger output

uint32_t Win32Clock::tickCount() { return GetTickCount(); }

void Win32Clock::sleep(uint32_t ms) { Sleep(ms); }

namespace {

// SystemTimeToFileTime refuses a date that does not exist on Windows; not every implementation checks the
// day against its month, so the calendar is checked here as well.
bool isCalendarDate(const LocalDateTime& t) {
    static const int daysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12) return false;
    const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    const int days = daysInMonth[t.month - 1] + (t.month == 2 && leap ? 1 : 0);
    return t.day >= 1 && t.day <= days && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
           t.second >= 0 && t.second < 60;
}

}  // namespace

std::optional<FileTime> Win32Clock::localToFileTime(const LocalDateTime& local) {
    if (!isCalendarDate(local)) return std::nullopt;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(local.year);
    time.wMonth = static_cast<WORD>(local.month);
    time.wDay = static_cast<WORD>(local.day);
    time.wHour = static_cast<WORD>(local.hour);
    time.wMinute = static_cast<WORD>(local.minute);
    time.wSecond = static_cast<WORD>(local.second);
    // The date's own daylight saving decides its offset: LocalFileTimeToFileTime would apply today's, putting
    // half a year's entries an hour off.
    SYSTEMTIME universal;
    FILETIME utc;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &time, &universal) || !SystemTimeToFileTime(&universal, &utc))
        return std::nullopt;
    return (uint64_t(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}

LocalDateTime Win32Clock::localNow() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void Win32DebugOutput::write(const std::string& line) { OutputDebugStringA(line.c_str()); }

// ---------------------------------------------------------------------------------------------------------
// INI files

std::string Win32Profile::sectionNames(const std::string& path, std::size_t bufferBytes) {
    if (bufferBytes == 0) return std::string();
    std::string buffer(bufferBytes, '\0');
    DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(bufferBytes), path.c_str());
    buffer.resize(std::min<std::size_t>(length, bufferBytes));
    return buffer;
}

std::string Win32Profile::value(const std::string& path, const std::string& section, const std::string& key,
                                const std::string& defaultValue, std::size_t bufferBytes) {
    if (bufferBytes == 0) return std::string();
    std::string buffer(bufferBytes, '\0');
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                            static_cast<DWORD>(bufferBytes), path.c_str());
    buffer.resize(std::min<std::size_t>(length, bufferBytes));
    return buffer;
}

// ---------------------------------------------------------------------------------------------------------
// Version resources

namespace {

// The whole version resource of a file; empty when it has none.
std::vector<char> versionBlock(const std::string& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return {};
    return block;
}

}  // namespace

std::optional<FixedVersionInfo> Win32VersionResources::fixedInfo(const std::string& path) {
    std::vector<char> block = versionBlock(path);
    if (block.empty()) return std::nullopt;
    void* data = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!VerQueryValueA(block.data(), root, &data, &length) || length < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    FixedVersionInfo info;
    info.fileVersionMS = fixed->dwFileVersionMS;
    info.fileVersionLS = fixed->dwFileVersionLS;
    info.productVersionMS = fixed->dwProductVersionMS;
    info.productVersionLS = fixed->dwProductVersionLS;
    info.fileFlagsMask = fixed->dwFileFlagsMask;
    info.fileFlags = fixed->dwFileFlags;
    return info;
}

std::vector<uint32_t> Win32VersionResources::translations(const std::string& path) {
    std::vector<char> block = versionBlock(path);
    if (block.empty()) return {};
    void* data = nullptr;
    UINT length = 0;
    char table[] = "\\VarFileInfo\\Translation";
    if (!VerQueryValueA(block.data(), table, &data, &length)) return {};
    std::vector<uint32_t> pairs;
    const auto* words = static_cast<const WORD*>(data);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) pairs.push_back(uint32_t(words[i]) << 16 | words[i + 1]);
    return pairs;
}

std::optional<std::string> Win32VersionResources::stringValue(const std::string& path, const std::string& subBlock) {
    std::vector<char> block = versionBlock(path);
    if (block.empty()) return std::nullopt;
    void* data = nullptr;
    UINT length = 0;
    std::string query = subBlock;
    if (!VerQueryValueA(block.data(), query.data(), &data, &length) || !data) return std::nullopt;
    // The length counts characters, with or without the terminator depending on who built the resource.
    const char* text = static_cast<const char*>(data);
    return std::string(text, strnlen(text, length));
}

// ---------------------------------------------------------------------------------------------------------
// Shell links

namespace {

// COM for the calling thread for the time of one link operation. A thread that already runs COM (in any
// apartment model) keeps it; only a successful initialisation here is undone.
class ComScope {
public:
    ComScope() : result_(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// An interface pointer released on every way out.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* operator->() const { return p_; }
    Interface* get() const { return p_; }
    void** out() { return reinterpret_cast<void**>(&p_); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    Interface* p_ = nullptr;
};

// The link path in UTF-16 as IPersistFile wants it, converted from the ANSI code page; none when it does not
// fit into MAX_PATH characters.
std::optional<std::wstring> widePath(const std::string& path) {
    wchar_t wide[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return std::nullopt;
    return std::wstring(wide);
}

}  // namespace

bool Win32ShellLinks::save(const std::string& linkPath, const ShellLink& link) {
    ComScope com;
    ComRef<IShellLinkA> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shellLink.out())))
        return false;
    bool ok = SUCCEEDED(shellLink->SetPath(link.target.c_str()));
    ok = SUCCEEDED(shellLink->SetArguments(link.arguments.c_str())) && ok;
    ok = SUCCEEDED(shellLink->SetWorkingDirectory(link.workingFolder.c_str())) && ok;
    ComRef<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.out()))) return false;
    std::optional<std::wstring> wide = widePath(linkPath);
    if (!wide) return false;
    return SUCCEEDED(file->Save(wide->c_str(), TRUE)) && ok;
}

std::optional<ShellLink> Win32ShellLinks::load(const std::string& linkPath) {
    ComScope com;
    ComRef<IShellLinkA> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shellLink.out())))
        return std::nullopt;
    ComRef<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.out()))) return std::nullopt;
    std::optional<std::wstring> wide = widePath(linkPath);
    if (!wide || FAILED(file->Load(wide->c_str(), STGM_READ))) return std::nullopt;
    char text[INFOTIPSIZE] = {};
    ShellLink out;
    // The raw path: the target as it was stored, not as the shell would resolve it today.
    if (FAILED(shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) return std::nullopt;
    out.target = text;
    text[0] = '\0';
    if (FAILED(shellLink->GetArguments(text, INFOTIPSIZE))) return std::nullopt;
    out.arguments = text;
    text[0] = '\0';
    if (FAILED(shellLink->GetWorkingDirectory(text, MAX_PATH))) return std::nullopt;
    out.workingFolder = text;
    return out;
}

}  // namespace platform::win32
