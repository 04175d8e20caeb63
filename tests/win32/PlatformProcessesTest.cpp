// The process layer against real processes: command lines reach the child exactly, exit codes come back,
// the process list shows real programs, the shell starts files, and messages reach other programs' windows.
#include "PlatformTestSupport.h"

#include "platform/win32/Win32Processes.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

using namespace platform;
using platform_test::helperProgram;
using platform_test::readRaw;

namespace {

// Sets a variable of the helper programs for the time of one test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
};

class ProcessesTest : public ::testing::Test {
protected:
    platform_test::ScratchFolder scratch;
    win32::Win32Processes processes;
    const std::string echo = helperProgram("echo_args");
    const std::string echoed = scratch / "command-line.txt";
    ScopedVariable out{"ECHO_ARGS_OUT", echoed};
};

TEST_F(ProcessesTest, TheChildReceivesTheCommandLineExactly) {
    const std::string quoted = "\"" + echo + "\"";
    const std::string lines[] = {
        quoted,
        quoted + " /i \"C:\\Some Folder\\python-2.6.6.msi\" /passive",
        quoted + "  two  blanks  and a trailing one ",
        quoted + " \"\" empty \"\" quotes",
        quoted + " /S /v\"/qn REBOOT=ReallySuppress\"",
        echo.substr(echo.find_last_of('\\') + 1) + " unquoted first element",
    };
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        DeleteFileA(echoed.c_str());
        auto process = processes.start(echo, line);
        ASSERT_NE(process, nullptr) << "CreateProcess error " << GetLastError();
        ASSERT_TRUE(process->wait(30000));
        EXPECT_EQ(process->exitCode(), 0u);
        EXPECT_EQ(readRaw(echoed), line);
    }
}

TEST_F(ProcessesTest, TheExitCodePassesThrough) {
    // 259 is also STILL_ACTIVE: an ended process with that code must not read as running.
    for (uint32_t code : {0u, 1u, 1603u, 1641u, 3010u, 259u, 0xC0000005u}) {
        SCOPED_TRACE(code);
        ScopedVariable exit("ECHO_ARGS_EXIT", std::to_string(code));
        auto process = processes.start(echo, "\"" + echo + "\"");
        ASSERT_NE(process, nullptr) << "CreateProcess error " << GetLastError();
        ASSERT_TRUE(process->wait(UINT32_MAX));
        EXPECT_EQ(process->exitCode(), code);
    }
}

TEST_F(ProcessesTest, ARunningProcessHasNoExitCodeYet) {
    ScopedVariable sleep("ECHO_ARGS_SLEEP_MS", "1500");
    ScopedVariable exit("ECHO_ARGS_EXIT", "7");
    auto process = processes.start(echo, "\"" + echo + "\"");
    ASSERT_NE(process, nullptr) << "CreateProcess error " << GetLastError();
    EXPECT_FALSE(process->wait(50));
    EXPECT_FALSE(process->exitCode().has_value());
    EXPECT_TRUE(process->wait(30000));
    EXPECT_EQ(process->exitCode(), 7u);
}

TEST_F(ProcessesTest, AProgramThatCannotStartGivesNoProcess) {
    ASSERT_TRUE(platform_test::writeRaw(scratch / "readme.txt", "not a program"));
    for (const std::string& program :
         {scratch / "missing.exe", scratch / "missing\\folder\\setup.exe", scratch / "readme.txt"}) {
        SCOPED_TRACE(program);
        EXPECT_EQ(processes.start(program, "\"" + program + "\" /S"), nullptr);
    }
}

TEST_F(ProcessesTest, TheListShowsThisProgramAndItsChildren) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ScopedVariable sleep("ECHO_ARGS_SLEEP_MS", "1500");
    auto child = processes.start(echo, "\"" + echo + "\"");
    ASSERT_NE(child, nullptr) << "CreateProcess error " << GetLastError();

    auto list = processes.list(1024);
    ASSERT_TRUE(list.has_value());
    auto own = std::find_if(list->begin(), list->end(),
                            [](const ProcessEntry& e) { return e.id == GetCurrentProcessId(); });
    ASSERT_NE(own, list->end());
    EXPECT_EQ(platform_test::lower(own->baseName), "win32_tests.exe");
    EXPECT_EQ(platform_test::lower(own->fullPath), platform_test::lower(self));
    EXPECT_TRUE(std::any_of(list->begin(), list->end(), [&](const ProcessEntry& e) {
        return platform_test::lower(e.baseName) == "echo_args.exe" &&
               platform_test::lower(e.fullPath) == platform_test::lower(echo);
    }));

    // Only the first identifiers are looked at.
    auto one = processes.list(1);
    ASSERT_TRUE(one.has_value());
    EXPECT_LE(one->size(), 1u);
    child->wait(30000);
}

TEST_F(ProcessesTest, TheShellOpensFilesAndReportsMissingOnes) {
    EXPECT_LE(processes.shellOpen("open", scratch / "missing.pdf", "", "", ShowCommand::Normal), 32);

    // A program opened through the shell gets its parameters after its own path.
    DeleteFileA(echoed.c_str());
    intptr_t result = processes.shellOpen("open", echo, "--from shell", scratch.path(), ShowCommand::Hidden);
    EXPECT_GT(result, 32);
    ASSERT_TRUE(platform_test::waitFor([&] { return readRaw(echoed) != "<missing>"; }, 30000));
    ASSERT_TRUE(platform_test::waitFor([&] { return readRaw(echoed).size() > 0; }, 5000));
    EXPECT_TRUE(platform_test::endsWithNoCase(readRaw(echoed), " --from shell")) << readRaw(echoed);
}

TEST_F(ProcessesTest, ShellExecuteGivesAProcessToWaitFor) {
    ScopedVariable exit("ECHO_ARGS_EXIT", "42");
    DeleteFileA(echoed.c_str());
    auto process = processes.shellExecute("open", echo, "/quiet", scratch.path(), ShowCommand::Hidden);
    ASSERT_NE(process, nullptr) << "ShellExecuteEx error " << GetLastError();
    ASSERT_TRUE(process->wait(30000));
    EXPECT_EQ(process->exitCode(), 42u);
    EXPECT_TRUE(platform_test::endsWithNoCase(readRaw(echoed), " /quiet")) << readRaw(echoed);
}

// Another program's top-level window: the helper shows one and ends with the last command it received.
class WindowTest : public ProcessesTest {
protected:
    void SetUp() override {
        const std::string program = helperProgram("window_host");
        host = processes.start(program, "\"" + program + "\" \"" + title + "\"");
        ASSERT_NE(host, nullptr);
        ASSERT_TRUE(platform_test::waitFor([&] { return (window = processes.findTopLevelWindow(title)) != 0; },
                                           30000));
    }
    void TearDown() override {
        if (host && !host->wait(0)) {
            PostMessageA(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0);
            host->wait(20000);
        }
    }

    const std::string title = platform_test::uniqueName("Please confirm");
    std::unique_ptr<Process> host;
    WindowId window = 0;
};

TEST_F(WindowTest, CommandsAndCloseRequestsReachTheWindow) {
    EXPECT_EQ(window, reinterpret_cast<WindowId>(FindWindowA(nullptr, title.c_str())));
    EXPECT_EQ(processes.findTopLevelWindow(title + " (not shown)"), 0u);

    EXPECT_TRUE(processes.sendCommand(window, 6));  // IDYES
    EXPECT_TRUE(processes.requestClose(window));
    ASSERT_TRUE(host->wait(30000));
    EXPECT_EQ(host->exitCode(), 6u);  // the last command the window received
    EXPECT_EQ(processes.findTopLevelWindow(title), 0u);
    // A window that is gone takes no more messages.
    EXPECT_FALSE(processes.sendCommand(window, 6));
    EXPECT_FALSE(processes.requestClose(window));
}

TEST_F(WindowTest, AHungWindowDoesNotHoldTheSenderForever) {
    // Command 99 keeps the helper busy for 6 s: the sender gives up after its time-out instead.
    DWORD start = GetTickCount();
    EXPECT_FALSE(processes.sendCommand(window, 99));
    DWORD waited = GetTickCount() - start;
    EXPECT_LT(waited, 5900u);
    EXPECT_TRUE(processes.requestClose(window));
    ASSERT_TRUE(host->wait(30000));
    EXPECT_EQ(host->exitCode(), 99u);
}

TEST(ProcessesBroadcastTest, TheSettingChangeReachesTopLevelWindows) {
    // A window of this process on its own thread, as another program's window would receive it.
    static std::mutex lock;
    static std::vector<std::string> received;
    struct Window {
        static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
            if (m == WM_SETTINGCHANGE && lp) {
                std::lock_guard<std::mutex> guard(lock);
                received.push_back(reinterpret_cast<const char*>(lp));
            }
            if (m == WM_CLOSE) {
                DestroyWindow(w);
                return 0;
            }
            if (m == WM_DESTROY) PostQuitMessage(0);
            return DefWindowProcA(w, m, wp, lp);
        }
    };
    std::atomic<HWND> window{nullptr};
    std::thread owner([&] {
        WNDCLASSA c = {};
        c.lpfnWndProc = Window::proc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "PlatformBroadcastTestWindow";
        RegisterClassA(&c);
        HWND w = CreateWindowExA(0, c.lpszClassName, "broadcast listener", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, c.hInstance, nullptr);
        window = w;
        MSG m;
        while (w && GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    });
    ASSERT_TRUE(platform_test::waitFor([&] { return window.load() != nullptr; }, 10000));

    win32::Win32Processes processes;
    processes.broadcastSettingChange("Environment", 1000);
    PostMessageA(window, WM_CLOSE, 0, 0);
    owner.join();
    std::lock_guard<std::mutex> guard(lock);
    EXPECT_NE(std::find(received.begin(), received.end(), "Environment"), received.end());
}

}  // namespace
