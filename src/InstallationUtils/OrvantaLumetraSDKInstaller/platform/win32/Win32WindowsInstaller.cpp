#include "platform/win32/Win32WindowsInstaller.h"

#include <windows.h>
#include <msi.h>

#include <algorithm>
#include <cstring>

namespace platform::win32 {

namespace {

// Runs one msi.dll query that fills a caller-sized character buffer. The buffer is always real: with a null
// buffer these functions answer a size query with success, which would read as an empty value.
template <typename Query>
std::optional<std::string> queryText(std::size_t bufferChars, Query query) {
    std::string buffer(std::max<std::size_t>(bufferChars, 1), '\0');
    DWORD length = static_cast<DWORD>(bufferChars);
    if (query(buffer.data(), &length) != ERROR_SUCCESS) return std::nullopt;
    // The value ends at its terminator: the returned count is not trusted beyond it, since Wine's
    // MsiGetProductInfoExA reports a byte count for a value that exactly fills the buffer.
    buffer.resize(strnlen(buffer.c_str(), std::min<std::size_t>(length, bufferChars)));
    return buffer;
}

}  // namespace

std::optional<std::string> Win32WindowsInstaller::productInfoEx(const std::string& productCode, MsiContext context,
                                                                const std::string& property,
                                                                std::size_t bufferChars) {
    return queryText(bufferChars, [&](char* buffer, DWORD* length) {
        return MsiGetProductInfoExA(productCode.c_str(), nullptr, static_cast<MSIINSTALLCONTEXT>(context),
                                    property.c_str(), buffer, length);
    });
}

std::optional<std::string> Win32WindowsInstaller::productInfo(const std::string& productCode,
                                                              const std::string& property,
                                                              std::size_t bufferChars) {
    return queryText(bufferChars, [&](char* buffer, DWORD* length) {
        return MsiGetProductInfoA(productCode.c_str(), property.c_str(), buffer, length);
    });
}

uint32_t Win32WindowsInstaller::enumProducts(uint32_t index, std::string& productCode) {
    char code[39] = {};  // a GUID in braces and its terminator
    UINT result = MsiEnumProductsA(index, code);
    if (result == ERROR_SUCCESS) productCode = code;
    return result;
}

std::optional<std::string> Win32WindowsInstaller::fileVersion(const std::string& path, std::size_t bufferChars) {
    return queryText(bufferChars, [&](char* buffer, DWORD* length) {
        return MsiGetFileVersionA(path.c_str(), buffer, length, nullptr, nullptr);
    });
}

uint32_t Win32WindowsInstaller::configureProductAbsent(const std::string& productCode) {
    return MsiConfigureProductA(productCode.c_str(), INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT);
}

}  // namespace platform::win32
