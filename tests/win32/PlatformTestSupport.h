// What the platform layer's Wine tests share: scratch folders, raw file access that does not go through the
// code under test, the helper programs beside the test program and the generated fixtures.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "app/UserInterface.h"

namespace platform_test {

inline std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

inline bool endsWithNoCase(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && lower(text.substr(text.size() - tail.size())) == lower(tail);
}

// A name no earlier or concurrent run uses: process id and a per-process counter.
inline std::string uniqueName(const std::string& stem) {
    static unsigned counter = 0;
    return stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "-" +
           std::to_string(++counter);
}

// The folder of the running test program, where the helper programs are built.
inline std::string programFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

inline std::string helperProgram(const std::string& name) { return programFolder() + "\\" + name + ".exe"; }

// An environment variable's value; "" when it is unset or too long.
inline std::string environmentValue(const char* name) {
    char value[2048] = {};
    DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value, length) : std::string();
}

// A Linux path ("/work/...") as the drive path Wine maps it to; other paths are returned as they are, and ""
// when the conversion is not available.
inline std::string dosPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    using DosName = WCHAR*(CDECL*)(const char*);
    auto toDos = reinterpret_cast<DosName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos) return "";
    WCHAR* wide = toDos(path.c_str());
    if (!wide) return "";
    char narrow[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, wide);
    return narrow;
}

// INSTALLER_FIXTURES as a Windows path (CTest hands over the Linux path).
inline std::string fixturesFolder() {
    std::string folder = dosPath(environmentValue("INSTALLER_FIXTURES"));
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

// A path of the ANSI code page in UTF-16.
inline std::wstring wide(const std::string& text) {
    int needed = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (needed <= 1) return std::wstring();
    std::wstring out(static_cast<std::size_t>(needed - 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), needed);
    return out;
}

inline bool writeRaw(const std::string& path, const std::string& content) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, content.data(), DWORD(content.size()), &written, nullptr) && written == content.size();
    CloseHandle(h);
    return ok;
}

// The file's content; "<missing>" when it cannot be opened.
inline std::string readRaw(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(h, chunk, sizeof(chunk), &got, nullptr) && got > 0) content.append(chunk, got);
    CloseHandle(h);
    return content;
}

inline bool pathPresent(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A path the ANSI code page cannot hold: written and asked for through the wide functions.
inline bool writeRaw(const std::wstring& path, const std::string& content) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, content.data(), DWORD(content.size()), &written, nullptr) && written == content.size();
    CloseHandle(h);
    return ok;
}

inline bool pathPresent(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wide calls, so that names the ANSI code page cannot hold go too.
inline void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = folder + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

inline void removeTree(const std::string& folder) { removeTree(wide(folder)); }

// A fresh folder below the temporary folder, removed with everything in it at the end of the test.
class ScratchFolder {
public:
    ScratchFolder() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + uniqueName("platform-test");
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { removeTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Waits up to timeoutMs for a condition that another process makes true.
template <typename Condition>
bool waitFor(Condition condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

// Bytes that differ from position to position, so that a misplaced or repeated block shows.
inline std::string payload(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 13 + i / 1023) & 0xFF);
    return text;
}

// The lines of a text, without their line ends ("\n"; a last line without one included).
inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return out;
}

// A user interface that shows nothing: every message's text is kept, and every box is answered OK.
class RecordingUi : public ui::UserInterface {
public:
    ui::Answer messageBox(const std::string& text, const std::string&, ui::Buttons, ui::Icon, bool) override {
        messages.push_back(text);
        return ui::Answer::Ok;
    }
    void applicationMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

}  // namespace platform_test
