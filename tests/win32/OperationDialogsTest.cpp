// The operations' real dialogs on the screen, driven from a second thread as a user would: find the window by
// its caption, read its statics, press its buttons, answer the message boxes. Downloads come from the
// loopback vendor server that run-with-server.sh starts; without it those tests skip.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "PlatformTestSupport.h"
#include "download/win32/DownloadAndInstallDialogRes.h"
#include "download/win32/DownloadErrorDialogRes.h"
#include "download/win32/UninstallDialogRes.h"
#include "download/win32/PleaseWaitDialog.h"
#include "download/win32/PleaseWaitDialogRes.h"
#include "download/win32/Win32OperationDialogs.h"
#include "platform/win32/Win32Machine.h"

using namespace platform_test;
using components::DialogEnd;
using components::DownloadErrorChoice;

namespace {

const std::string Title = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer";
const std::string DownloadOnlyCaption = Title + " - Download Component Installables";
const std::string InstallCaption = Title + " - Download and Install Components";
const std::string UninstallCaption = Title + " - Uninstall Components";
// The worker's message boxes carry the program's base name.
const char* WorkerBoxCaption = "win32_tests";

class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) { SetEnvironmentVariableA(name, value.c_str()); }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, nullptr); }

private:
    const char* name_;
};

class VendorServer {
public:
    bool available() const { return !url_.empty() && !root_.empty() && !faults_.empty(); }
    std::string url(const std::string& object) const { return url_ + object; }
    void put(const std::string& object, const std::string& content) const {
        std::string path = root_;
        for (std::size_t begin = 1, slash; (slash = object.find('/', begin)) != std::string::npos; begin = slash + 1) {
            path += "\\" + object.substr(begin, slash - begin);
            CreateDirectoryA(path.c_str(), nullptr);
        }
        ASSERT_TRUE(writeRaw(path + "\\" + object.substr(object.find_last_of('/') + 1), content)) << object;
    }
    void faults(const std::string& json) const { ASSERT_TRUE(writeRaw(faults_, json)); }

private:
    std::string url_ = environmentValue("INSTALLER_VENDOR_URL");
    std::string root_ = dosPath(environmentValue("INSTALLER_VENDOR_ROOT"));
    std::string faults_ = dosPath(environmentValue("INSTALLER_VENDOR_FAULTS"));
};

// The window's text without sending it a message (the dialog's thread may be pausing).
std::string storedText(HWND window) {
    WCHAR wide[1024] = {};
    int n = InternalGetWindowText(window, wide, 1024);
    char narrow[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, n, narrow, sizeof(narrow) - 1, nullptr, nullptr);
    return narrow;
}

HWND waitForDialog(const std::string& caption, DWORD timeoutMs = 20000) {
    HWND found = nullptr;
    waitFor([&] { return (found = FindWindowA("#32770", caption.c_str())) != nullptr && IsWindowVisible(found); },
            timeoutMs);
    return found;
}

BOOL CALLBACK firstStaticText(HWND child, LPARAM out) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof(cls));
    std::string value = storedText(child);
    if (lstrcmpiA(cls, "Static") == 0 && !value.empty()) {
        *reinterpret_cast<std::string*>(out) = value;
        return FALSE;
    }
    return TRUE;
}

// The first non-empty static text of a message box.
std::string messageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, firstStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

// Answers the next message box with this caption; returns its text ("" when none came).
std::string answerBox(const std::string& caption, WPARAM button, DWORD timeoutMs = 20000) {
    HWND box = waitForDialog(caption, timeoutMs);
    if (!box) return "";
    std::string text = messageBoxText(box);
    PostMessageA(box, WM_COMMAND, button, 0);
    waitFor([&] { return !IsWindow(box); }, 5000);
    return text;
}

// A user at the screen: runs its script on its own thread while the test's thread sits in the dialog.
class User {
public:
    explicit User(std::function<void()> script) : thread_(std::move(script)) {}
    ~User() { thread_.join(); }

private:
    std::thread thread_;
};

// Everything a dialog's statics showed, sampled until the dialog has gone.
struct Seen {
    std::set<std::string> status, size, install;
    std::string caption, header;
    int headerWidth = 0, headerHeight = 0, clientWidth = 0;
};

void watch(HWND dialog, Seen& seen) {
    RECT client = {};
    GetClientRect(dialog, &client);
    seen.clientWidth = client.right;
    seen.caption = storedText(dialog);
    if (HWND header = FindWindowExA(dialog, nullptr, "OrvantaComponentInstallHeader", nullptr)) {
        RECT r = {};
        waitFor([&] { GetWindowRect(header, &r); return r.bottom - r.top == 100; }, 2000);
        seen.headerWidth = r.right - r.left;
        seen.headerHeight = r.bottom - r.top;
        seen.header = storedText(header);
    }
    while (IsWindow(dialog)) {
        seen.status.insert(storedText(GetDlgItem(dialog, IDC_DAI_STATUS)));
        seen.size.insert(storedText(GetDlgItem(dialog, IDC_DAI_SIZE)));
        seen.install.insert(storedText(GetDlgItem(dialog, IDC_DAI_INSTALL)));
        Sleep(2);
    }
}

bool anyStartsWith(const std::set<std::string>& texts, const std::string& head) {
    for (const std::string& text : texts)
        if (text.rfind(head, 0) == 0) return true;
    return false;
}

class OperationDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.available()) GTEST_SKIP() << "no vendor server (run under tests/win32/run-with-server.sh)";
        server.faults("{}");
        object = "/dialogs/" + uniqueName("file") + ".exe";
    }
    void TearDown() override {
        if (server.available()) server.faults("{}");
    }
    dvComponentInfo record(const std::string& arguments = " /S") const {
        return dvComponentInfo("Orvanta Plexor 1.9.0.24", server.url(object), object.substr(object.rfind('/') + 1),
                               arguments, scratch / "data\\Utilities", false, false, nullptr, nullptr, nullptr,
                               "Utilities");
    }
    std::string finalPath() const { return scratch / ("data\\Utilities\\" + object.substr(object.rfind('/') + 1)); }

    VendorServer server;
    ScratchFolder scratch;
    std::string object;
    download::win32::Win32OperationDialogs dialogs{platform::win32::realMachine()};
};

}  // namespace

TEST_F(OperationDialogsTest, DownloadOnlyRunCompletesAndCloses) {
    server.put(object, std::string(300000, 'x'));
    Seen seen;
    HWND dialog = nullptr;
    DialogEnd end;
    {
        User user([&] {
            dialog = waitForDialog(DownloadOnlyCaption);
            if (dialog) watch(dialog, seen);
        });
        end = dialogs.downloadAndInstall(record(), 1, 1, {true, false, true});
    }
    ASSERT_TRUE(dialog);
    EXPECT_EQ(end, DialogEnd::Ok);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(readRaw(finalPath()), std::string(300000, 'x'));
    EXPECT_FALSE(pathPresent(finalPath() + "tmp"));
    EXPECT_TRUE(seen.status.count("Download completed"));
    EXPECT_EQ(seen.caption, DownloadOnlyCaption);
    // The drawn header spans the client area, 100 pixels high.
    EXPECT_EQ(seen.headerHeight, 100);
    EXPECT_EQ(seen.headerWidth, seen.clientWidth);
    // Its two lines are the band's window text as well, for whatever reads windows rather than pixels.
    EXPECT_EQ(seen.header, "Downloading component 1 of 1\nOrvanta Plexor 1.9.0.24");
}

TEST_F(OperationDialogsTest, InstallRunStartsTheInstallerWithItsArguments) {
    server.put(object, readRaw(helperProgram("echo_args")));
    std::string echoed = scratch / "command-line.txt";
    ScopedVariable out("ECHO_ARGS_OUT", echoed);
    Seen seen;
    DialogEnd end;
    {
        User user([&] {
            if (HWND dialog = waitForDialog(InstallCaption)) watch(dialog, seen);
        });
        end = dialogs.downloadAndInstall(record(" /S /v=quiet"), 2, 5, {false, false, true});
    }
    EXPECT_EQ(end, DialogEnd::Ok);
    EXPECT_EQ(readRaw(echoed), " /S /v=quiet");
    EXPECT_TRUE(seen.install.count("Installation completed"));
}

TEST_F(OperationDialogsTest, NotFoundEndsWithCancelAndTheFailureText) {
    server.faults("{\"" + object + "\": {\"status\": 404}}");
    Seen seen;
    std::string told;
    DialogEnd end;
    {
        User user([&] {
            HWND dialog = waitForDialog(InstallCaption);
            told = answerBox(WorkerBoxCaption, IDOK);
            if (dialog) watch(dialog, seen);
        });
        end = dialogs.downloadAndInstall(record(), 1, 1, {false, false, true});
    }
    EXPECT_EQ(end, DialogEnd::Cancel);
    EXPECT_EQ(told, "Error. Unable to download file - Server responded with HTTP error - 404");
    EXPECT_TRUE(seen.status.count("Download failed. Please abort the installation and try again.")) << seen.status.size();
    EXPECT_FALSE(pathPresent(finalPath()));
}

TEST_F(OperationDialogsTest, AbortConfirmedDuringASlowDownloadClosesWithinASecond) {
    server.put(object, std::string(400000, 'y'));
    server.faults("{\"" + object + "\": {\"rate\": 20000}}");
    std::string question;
    DWORD answered = 0, gone = 0, boxGone = 0, hidden = 0;
    DialogEnd end;
    {
        User user([&] {
            HWND dialog = waitForDialog(InstallCaption);
            if (!dialog) return;
            waitFor([&] { return storedText(GetDlgItem(dialog, IDC_DAI_SIZE)).rfind("Downloaded", 0) == 0; }, 10000);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            HWND box = waitForDialog("Confirmation");
            if (!box) return;
            question = messageBoxText(box);
            answered = GetTickCount();
            PostMessageA(box, WM_COMMAND, IDYES, 0);
            waitFor([&] { return !IsWindow(box); }, 10000);
            boxGone = GetTickCount();
            waitFor([&] { return !IsWindowVisible(dialog); }, 10000);
            hidden = GetTickCount();
            waitFor([&] { return !IsWindow(dialog); }, 10000);
            gone = GetTickCount();
        });
        end = dialogs.downloadAndInstall(record(), 1, 1, {false, false, true});
    }
    DWORD returned = GetTickCount();
    EXPECT_EQ(question, "Do you want to abort installation of the selected components?");
    EXPECT_EQ(end, DialogEnd::Cancel);
    EXPECT_LT(gone - answered, 1000u) << "box gone after " << boxGone - answered << " ms, hidden after "
                                      << hidden - answered << " ms";
    // The worker stops at once: its request is cancelled, so the 5-second grace is not needed.
    EXPECT_LT(returned - answered, 2000u);
    EXPECT_FALSE(pathPresent(finalPath()));
}

TEST_F(OperationDialogsTest, AbortDeclinedGoesOn) {
    server.put(object, std::string(60000, 'z'));
    server.faults("{\"" + object + "\": {\"rate\": 20000}}");
    std::string question;
    DialogEnd end;
    {
        User user([&] {
            HWND dialog = waitForDialog(DownloadOnlyCaption);
            if (!dialog) return;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            question = answerBox("Confirmation", IDNO);
        });
        end = dialogs.downloadAndInstall(record(), 1, 1, {true, false, true});
    }
    EXPECT_EQ(question, "Do you want to abort download of the selected components?");
    EXPECT_EQ(end, DialogEnd::Ok);
    EXPECT_EQ(readRaw(finalPath()), std::string(60000, 'z'));
}

TEST_F(OperationDialogsTest, DownloadErrorDialogAnswersEachButton) {
    struct Case {
        int command;
        DownloadErrorChoice choice;
    } cases[] = {
        {IDC_DLERR_RETRY, DownloadErrorChoice::Retry},
        {IDC_DLERR_IGNORE, DownloadErrorChoice::Ignore},
        {IDC_DLERR_IGNORE_ALL, DownloadErrorChoice::IgnoreAll},
        {IDC_DLERR_QUIT, DownloadErrorChoice::Quit},
        {IDCANCEL, DownloadErrorChoice::Quit},  // Escape or the close box
    };
    const std::string message = "Error - Unable to download the component 'setup.exe'";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        std::string shown;
        std::vector<std::string> labels;
        std::vector<LONG> lefts;
        DownloadErrorChoice choice;
        {
            User user([&] {
                HWND dialog = waitForDialog("Unabe to Download Component");
                if (!dialog) return;
                shown = storedText(GetDlgItem(dialog, IDC_DLERR_MESSAGE));
                for (int id : {IDC_DLERR_RETRY, IDC_DLERR_IGNORE, IDC_DLERR_IGNORE_ALL, IDC_DLERR_QUIT}) {
                    RECT r = {};
                    GetWindowRect(GetDlgItem(dialog, id), &r);
                    labels.push_back(storedText(GetDlgItem(dialog, id)));
                    lefts.push_back(r.left);
                }
                PostMessageA(dialog, WM_COMMAND, c.command, 0);
            });
            choice = dialogs.downloadError(message);
        }
        EXPECT_EQ(choice, c.choice);
        EXPECT_EQ(shown, message);
        EXPECT_EQ(labels, (std::vector<std::string>{"Retry", "Ignore", "Ignore All", "Quit"}));
        EXPECT_TRUE(std::is_sorted(lefts.begin(), lefts.end()) && lefts.front() < lefts.back());
    }
}

namespace {
bool refuses(platform::Machine&, const dvComponentInfo&) { return false; }
}  // namespace

TEST(OperationDialogsUninstall, FailedRuleStaysOpenWithTheBarAtZeroUntilAbortYes) {
    download::win32::Win32OperationDialogs dialogs(platform::win32::realMachine(), refuses);
    dvComponentInfo row("PerformanceTest 8.0", "", "petst.exe", "", "C:\\nowhere", false, false, nullptr, nullptr,
                        nullptr, "Utilities");
    std::string told, text;
    int positionAfterFailure = -1, positionLater = -1;
    bool openLater = false;
    DialogEnd end;
    {
        User user([&] {
            HWND dialog = waitForDialog(UninstallCaption);
            if (!dialog) return;
            text = storedText(GetDlgItem(dialog, IDC_UNI_TEXT));
            told = answerBox(WorkerBoxCaption, IDOK);
            Sleep(200);
            positionAfterFailure = int(SendDlgItemMessageA(dialog, IDC_UNI_PROGRESS, PBM_GETPOS, 0, 0));
            Sleep(1600);  // two periods of the creeping timer: it must have stopped
            positionLater = int(SendDlgItemMessageA(dialog, IDC_UNI_PROGRESS, PBM_GETPOS, 0, 0));
            openLater = IsWindow(dialog) && IsWindowVisible(dialog);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            answerBox("Confirmation", IDYES);
        });
        end = dialogs.uninstall(row, 1, 1);
    }
    EXPECT_EQ(text, "Uninstalling... Please wait...");
    EXPECT_EQ(told, "Unable to uninstall the product. Please click on the 'Abort' button to cancel the operation.");
    EXPECT_EQ(positionAfterFailure, 0);
    EXPECT_EQ(positionLater, 0);
    EXPECT_TRUE(openLater);
    EXPECT_EQ(end, DialogEnd::Cancel);
}

TEST(OperationDialogsWait, ProgramWatchBoxClosesAboutASecondAfterTheProgramEnds) {
    download::win32::Win32OperationDialogs dialogs(platform::win32::realMachine());
    const std::string helper = helperProgram("echo_args");
    ScopedVariable sleep("ECHO_ARGS_SLEEP_MS", "1500");
    STARTUPINFOA startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    std::string line = "\"" + helper + "\"";
    ASSERT_TRUE(CreateProcessA(helper.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    CloseHandle(process.hThread);
    std::atomic<DWORD> ended{0};
    std::thread reaper([&] {
        WaitForSingleObject(process.hProcess, INFINITE);
        ended = GetTickCount();
    });
    std::string text;
    {
        User user([&] {
            if (HWND box = waitForDialog("Please wait...")) text = storedText(GetDlgItem(box, IDC_OPC_SCOUT_WAIT_TEXT));
        });
        dialogs.waitForProgram(helper);
    }
    DWORD returned = GetTickCount();
    reaper.join();
    CloseHandle(process.hProcess);
    EXPECT_EQ(text, "Finishing the installation.\nPlease wait...");
    ASSERT_NE(ended.load(), 0u);
    // One poll of up to a second notices the end, then the box closes on its one-second timer.
    EXPECT_GE(returned - ended, 900u);
    EXPECT_LE(returned - ended, 3000u);
}

TEST(OperationDialogsWait, PleaseWaitBoxLivesWithItsObject) {
    download::win32::Win32OperationDialogs dialogs(platform::win32::realMachine());
    HWND box;
    {
        std::unique_ptr<components::PleaseWaitBox> wait = dialogs.pleaseWait();
        box = FindWindowA("#32770", "Please wait...");
        ASSERT_TRUE(box);
        EXPECT_TRUE(IsWindowVisible(box));
        EXPECT_EQ(storedText(GetDlgItem(box, IDC_PLEASE_WAIT_TEXT)), "Finishing the installation.\nPlease wait...");
    }
    EXPECT_FALSE(IsWindow(box));
}

// A dialog stands over the middle of its owner; without a visible owner over the middle of the work area; and
// never partly off the work area, however close to its edge the owner is.
TEST(OperationDialogsPlacement, ADialogIsCentredOnItsOwnerAndKeptOnTheWorkArea) {
    RECT work = {};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    const int width = 200, height = 100;
    struct Case {
        const char* name;
        bool owned, ownerVisible;
        int ownerLeft, ownerTop;  // relative to the work area's top left corner
        int expectedLeft, expectedTop;
    } cases[] = {
        {"owner in the middle", true, true, 100, 100, 100 + (400 - width) / 2, 100 + (300 - height) / 2},
        {"owner at the left and top edge", true, true, -350, -250, 0, 0},
        {"owner past the right and bottom edge", true, true, int(work.right - work.left) - 100,
         int(work.bottom - work.top) - 50, int(work.right - work.left) - width, int(work.bottom - work.top) - height},
        {"hidden owner", true, false, 100, 100, int(work.right - work.left - width) / 2,
         int(work.bottom - work.top - height) / 2},
        {"no owner", false, false, 0, 0, int(work.right - work.left - width) / 2,
         int(work.bottom - work.top - height) / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND owner = nullptr;
        if (c.owned) {
            owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | (c.ownerVisible ? WS_VISIBLE : 0),
                                    work.left + c.ownerLeft, work.top + c.ownerTop, 400, 300, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
            ASSERT_TRUE(owner);
        }
        HWND window = CreateWindowExA(0, "STATIC", "dialog", WS_POPUP, 0, 0, width, height, owner, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(window);
        download::win32::centreOn(window, owner);
        RECT placed = {};
        GetWindowRect(window, &placed);
        EXPECT_EQ(placed.left - work.left, c.expectedLeft);
        EXPECT_EQ(placed.top - work.top, c.expectedTop);
        DestroyWindow(window);
        if (owner) DestroyWindow(owner);
    }
}
