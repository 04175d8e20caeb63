// psapi.dll's own entry points, not the kernel32 aliases of Windows 7, so the process list works everywhere.
#define PSAPI_VERSION 1

#include "platform/win32/Win32Processes.h"

#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace platform::win32 {

namespace {

class Win32Process : public Process {
public:
    explicit Win32Process(HANDLE process) : process_(process) {}
    ~Win32Process() override { CloseHandle(process_); }
    Win32Process(const Win32Process&) = delete;
    Win32Process& operator=(const Win32Process&) = delete;

    bool wait(uint32_t timeoutMs) override {
        return WaitForSingleObject(process_, timeoutMs == UINT32_MAX ? INFINITE : timeoutMs) == WAIT_OBJECT_0;
    }

    std::optional<uint32_t> exitCode() override {
        // Asked of the handle's state, not of STILL_ACTIVE: a program may well end with code 259.
        if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
        return code;
    }

private:
    HANDLE process_;
};

int showOf(ShowCommand show) {
    switch (show) {
        case ShowCommand::Normal: return SW_SHOWNORMAL;
        case ShowCommand::Hidden: return SW_HIDE;
        case ShowCommand::Minimized: return SW_SHOWMINIMIZED;
        case ShowCommand::Maximized: return SW_SHOWMAXIMIZED;
    }
    return SW_SHOWNORMAL;
}

const char* orNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// The shell may hand a verb to a COM-based handler; it asks for COM on the calling thread. Balanced on the
// way out; a thread that already runs another apartment model keeps it.
class ComForShell {
public:
    ComForShell() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComForShell() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComForShell(const ComForShell&) = delete;
    ComForShell& operator=(const ComForShell&) = delete;

private:
    HRESULT result_;
};

}  // namespace

std::unique_ptr<Process> Win32Processes::start(const std::string& program, const std::string& commandLine) {
    // CreateProcessA may write into the command line, so it gets a private copy.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    // Handles are not inherited: an installer that outlives this program must not keep its files open.
    if (!CreateProcessA(orNull(program), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return nullptr;
    CloseHandle(info.hThread);
    return std::make_unique<Win32Process>(info.hProcess);
}

intptr_t Win32Processes::shellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                                   const std::string& directory, ShowCommand show) {
    ComForShell com;
    HINSTANCE result = ShellExecuteA(nullptr, orNull(verb), file.c_str(), orNull(parameters), orNull(directory),
                                     showOf(show));
    return reinterpret_cast<intptr_t>(result);
}

std::unique_ptr<Process> Win32Processes::shellExecute(const std::string& verb, const std::string& file,
                                                      const std::string& parameters, const std::string& directory,
                                                      ShowCommand show) {
    ComForShell com;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    // The program reports a failed start itself: the shell's own error box would come on top of it. The call
    // returns only once the start is complete, as the caller may end the thread or wait for the process next.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = orNull(verb);
    info.lpFile = file.c_str();
    info.lpParameters = orNull(parameters);
    info.lpDirectory = orNull(directory);
    info.nShow = showOf(show);
    if (!ShellExecuteExA(&info)) return nullptr;
    // A document handed to an already running program (or by DDE) comes back without a process.
    if (!info.hProcess) return nullptr;
    return std::make_unique<Win32Process>(info.hProcess);
}

namespace {

std::string baseNameOf(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The image path by the limited query right: it works across 32/64-bit and for elevated processes, where module
// enumeration from a 32-bit process fails for every 64-bit one.
bool describeByImageName(DWORD id, ProcessEntry& entry) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return false;
    char path[1024] = {};
    DWORD length = sizeof(path);
    bool ok = QueryFullProcessImageNameA(process, 0, path, &length) != FALSE;
    CloseHandle(process);
    if (!ok || length == 0) return false;
    entry.fullPath.assign(path, length);
    entry.baseName = baseNameOf(entry.fullPath);
    return true;
}

// psapi's way, for what the query above cannot describe.
bool describeByModules(DWORD id, ProcessEntry& entry) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (!process) return false;
    HMODULE first = nullptr;
    DWORD needed = 0;
    bool ok = EnumProcessModules(process, &first, sizeof(first), &needed) != FALSE;
    if (ok) {
        char name[MAX_PATH] = {};
        if (GetModuleBaseNameA(process, first, name, MAX_PATH)) entry.baseName = name;
        char path[MAX_PATH] = {};
        if (GetModuleFileNameExA(process, first, path, MAX_PATH)) entry.fullPath = path;
    }
    CloseHandle(process);
    return ok;
}

}  // namespace

std::optional<std::vector<ProcessEntry>> Win32Processes::list(std::size_t maxIds) {
    std::vector<DWORD> ids(maxIds ? maxIds : 1);
    DWORD bytes = 0;
    if (!EnumProcesses(ids.data(), static_cast<DWORD>(maxIds * sizeof(DWORD)), &bytes)) return std::nullopt;
    std::vector<ProcessEntry> entries;
    const std::size_t count = std::min<std::size_t>(bytes / sizeof(DWORD), maxIds);
    for (std::size_t i = 0; i < count; ++i) {
        if (ids[i] == 0) continue;
        ProcessEntry e;
        e.id = ids[i];
        if (describeByImageName(ids[i], e) || describeByModules(ids[i], e)) entries.push_back(std::move(e));
    }
    return entries;
}

WindowId Win32Processes::findTopLevelWindow(const std::string& title) {
    return reinterpret_cast<WindowId>(FindWindowA(nullptr, title.c_str()));
}

bool Win32Processes::sendCommand(WindowId window, uint32_t commandId) {
    HWND target = reinterpret_cast<HWND>(window);
    if (!IsWindow(target)) return false;
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(target, WM_COMMAND, commandId, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               commandTimeoutMs, &answer) != 0;
}

bool Win32Processes::requestClose(WindowId window) {
    return PostMessageA(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0) != FALSE;
}

void Win32Processes::broadcastSettingChange(const std::string& text, uint32_t timeoutMs) {
    DWORD_PTR answer = 0;
    // A hung window is skipped at once; without that each one would hold the broadcast for the whole timeout.
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &answer);
}

namespace {

DWORD WINAPI detachedTaskThread(LPVOID parameter) {
    std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    try {
        (*work)();
    } catch (...) {
        // An exception must not leave a thread procedure; the task simply ends.
    }
    return 0;
}

}  // namespace

void Win32Processes::startDetached(std::function<void()> task) {
    auto* owned = new std::function<void()>(std::move(task));
    HANDLE thread = CreateThread(nullptr, 0, detachedTaskThread, owned, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
    } else {
        delete owned;
    }
}

}  // namespace platform::win32
