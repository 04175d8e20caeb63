// Stand-in for an installer copy of another version: it carries the installers' version resource (from the
// resource script it is built with) and, when started, leaves "<its own path>.started" beside itself so that a
// test can prove it was started, and from where.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    const std::string marker = std::string(path) + ".started";
    HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    WriteFile(file, path, length, &written, nullptr);
    CloseHandle(file);
    return 0;
}
