#include "platform/win32/Win32Environment.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace platform::win32 {

std::optional<std::string> Win32Environment::executablePath() {
    // The program may sit deeper than 260 characters; the wide call is asked with a growing buffer until the
    // answer fits (a full buffer means it was cut).
    std::wstring wide(MAX_PATH, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        DWORD length = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
        if (length == 0) return std::nullopt;
        if (length < wide.size() && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            wide.resize(length);
            break;
        }
        if (wide.size() >= 32768) return std::nullopt;
        wide.resize(wide.size() * 2);
    }
    // The rest of the program works with the ANSI code page: a path it cannot hold exactly is not known.
    BOOL lossy = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return std::nullopt;
    std::string path(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), path.data(),
                        bytes, nullptr, &lossy);
    if (lossy) return std::nullopt;
    return path;
}

std::optional<std::string> Win32Environment::variable(const std::string& name, std::size_t bufferChars) {
    std::string buffer(std::max<std::size_t>(bufferChars, 1), '\0');
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(bufferChars));
    if (length == 0) {
        // Zero is also the length of a variable that is set to the empty text.
        if (GetLastError() != ERROR_SUCCESS) return std::nullopt;
        return std::string();
    }
    if (length >= bufferChars) return std::nullopt;  // too long: the answer is the size it would need
    buffer.resize(length);
    return buffer;
}

bool Win32Environment::setVariable(const std::string& name, const std::optional<std::string>& value) {
    return SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr) != FALSE;
}

std::optional<std::string> Win32Environment::systemFolder() {
    std::string buffer(MAX_PATH, '\0');
    UINT length = GetSystemDirectoryA(buffer.data(), MAX_PATH);
    if (length >= MAX_PATH) {
        buffer.assign(length, '\0');
        length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length >= buffer.size()) return std::nullopt;
    }
    if (length == 0) return std::nullopt;
    buffer.resize(length);
    return buffer;
}

std::optional<std::string> Win32Environment::tempFolder(std::size_t bufferChars) {
    std::string buffer(std::max<std::size_t>(bufferChars, 1), '\0');
    DWORD length = GetTempPathA(static_cast<DWORD>(bufferChars), buffer.data());
    if (length == 0 || length >= bufferChars) return std::nullopt;
    buffer.resize(length);
    return buffer;
}

std::optional<std::string> Win32Environment::knownFolder(KnownFolder folder) {
    int id = CSIDL_PERSONAL;
    switch (folder) {
        case KnownFolder::CommonDesktop: id = CSIDL_COMMON_DESKTOPDIRECTORY; break;
        case KnownFolder::CommonPrograms: id = CSIDL_COMMON_PROGRAMS; break;
        case KnownFolder::Documents: id = CSIDL_PERSONAL; break;
    }
    char path[MAX_PATH] = {};
    // The ANSI function reports a folder that does not exist with S_FALSE: only S_OK is an answer.
    if (SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return std::nullopt;
    return std::string(path);
}

uint16_t Win32Environment::nativeArchitecture() {
    // GetNativeSystemInfo is what tells a 32-bit program on 64-bit Windows the truth; Windows 2000 lacks it.
    using NativeSystemInfo = void(WINAPI*)(LPSYSTEM_INFO);
    SYSTEM_INFO info = {};
    auto native = reinterpret_cast<NativeSystemInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo")));
    if (native)
        native(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

std::optional<WindowsVersion> Win32Environment::windowsVersion() {
    // GetVersionEx answers with the newest version the program's manifest names, not the system's own;
    // ntdll's RtlGetVersion does not play along. It is looked up: ntdll exports it since Windows 2000 only.
    struct RtlOsVersionInfo {
        ULONG size;
        ULONG major, minor, build, platformId;
        WCHAR servicePack[128];
    };
    using RtlGetVersionFn = LONG(WINAPI*)(RtlOsVersionInfo*);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    if (rtlGetVersion) {
        RtlOsVersionInfo info = {};
        info.size = sizeof(info);
        if (rtlGetVersion(&info) == 0) {
            char servicePack[256] = {};
            WideCharToMultiByte(CP_ACP, 0, info.servicePack, -1, servicePack, sizeof(servicePack), nullptr, nullptr);
            return WindowsVersion{info.major, info.minor, info.build, servicePack};
        }
    }
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return std::nullopt;
    return WindowsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.szCSDVersion};
}

int Win32Environment::screenDpi() {
    HDC screen = GetDC(nullptr);
    // Without a screen there is nothing to scale; answer the standard resolution rather than warn about it.
    if (!screen) return 96;
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace platform::win32
