// The wizard's background check on the real machine against the loopback vendor server: a newer installer is
// announced to the window with WM_USER + 7, and a check that hangs on the network is stopped within the
// wizard's bounded wait, never killed.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "PlatformTestSupport.h"
#include "platform/win32/Win32Machine.h"
#include "versions/NewVersionInfo.h"
#include "wizard/win32/CheckThread.h"

using namespace platform_test;

namespace {

constexpr const char* InfoObject = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/578UpgradeInfoLumetraSDK.ini.txt";

class Server {
public:
    std::string url = environmentValue("INSTALLER_VENDOR_URL");
    std::string root = dosPath(environmentValue("INSTALLER_VENDOR_ROOT"));
    std::string faults = dosPath(environmentValue("INSTALLER_VENDOR_FAULTS"));
    void put(const std::string& object, const std::string& content) const {
        std::string path = root;
        for (std::size_t begin = 1, slash; (slash = object.find('/', begin)) != std::string::npos; begin = slash + 1) {
            path += "\\" + object.substr(begin, slash - begin);
            CreateDirectoryA(path.c_str(), nullptr);
        }
        ASSERT_TRUE(writeRaw(path + "\\" + object.substr(object.find_last_of('/') + 1), content)) << object;
    }
};

struct Announcements {
    int count = 0;
    WPARAM parameter = 0;
};

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 7) {
        auto* seen = reinterpret_cast<Announcements*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        ++seen->count;
        seen->parameter = wParam;
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND recordingWindow(Announcements* seen) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = recordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "CheckThreadTestWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("CheckThreadTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(seen));
    return window;
}

void pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < timeoutMs) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

TEST(CheckThreadOnWine, ANewerInstallerIsAnnouncedToTheWindow) {
    Server server;
    ASSERT_FALSE(server.url.empty()) << "run under run-with-server.sh";
    server.put(InfoObject, "[Version Upgrade Info]\r\nLatestVersionName=Orvanta Lumetra SDK Version X 10.2.1.600 "
                           "Installer\r\nLatestVersionNumber=10.2.1.600\r\nReleaseNotesFileName=notes.rtf\r\n"
                           "ReleaseNotesFilePath=" + server.url + "/orvanta/notes/\r\n");
    server.put("/orvanta/notes/notes.rtf", "{\\rtf1 What is new}");
    Announcements seen;
    HWND window = recordingWindow(&seen);
    auto checker = std::make_shared<NewVersionInfo>(platform::win32::realMachine(), server.url);
    const std::string temp = checker->tempFolder();
    ASSERT_FALSE(temp.empty());
    {
        CheckThread thread(checker, window);
        pumpUntil([&] { return seen.count > 0; }, 20000);
        EXPECT_TRUE(thread.stop(5000));
    }
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.parameter, CheckThread::NewerVersionFound);
    EXPECT_EQ(checker->checkState(), NewVersionInfo::NewerVersionAvailable);
    EXPECT_EQ(readRaw(checker->releaseNotesPath()), "{\\rtf1 What is new}");
    checker.reset();
    EXPECT_FALSE(pathPresent(temp)) << "the check's temporary folder goes with it";
    DestroyWindow(window);
}

TEST(CheckThreadOnWine, NoAnnouncementWithoutAnotherInstaller) {
    Server server;
    ASSERT_FALSE(server.url.empty());
    server.put(InfoObject, "[Version Upgrade Info]\r\nLatestVersionName=Orvanta Lumetra SDK Version X 10.2.1.578 "
                           "Installer\r\n");
    Announcements seen;
    HWND window = recordingWindow(&seen);
    auto checker = std::make_shared<NewVersionInfo>(platform::win32::realMachine(), server.url);
    CheckThread thread(checker, window);
    pumpUntil([&] { return checker->checkState() != NewVersionInfo::NotChecked; }, 20000);
    EXPECT_TRUE(thread.stop(5000));
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(checker->checkState(), NewVersionInfo::NoNewerVersion);
    EXPECT_EQ(seen.count, 0);
    DestroyWindow(window);
}

TEST(CheckThreadOnWine, AHangingCheckIsStoppedWithinTheBoundedWait) {
    Server server;
    ASSERT_FALSE(server.url.empty());
    server.put(InfoObject, std::string(4096, 'x'));
    ASSERT_TRUE(writeRaw(server.faults, std::string("{\"") + InfoObject + "\": {\"stall\": 100, \"hold\": 30}}"));
    Announcements seen;
    HWND window = recordingWindow(&seen);
    auto checker = std::make_shared<NewVersionInfo>(platform::win32::realMachine(), server.url);
    auto thread = std::make_unique<CheckThread>(checker, window);
    Sleep(500);  // the check is waiting for the rest of the body
    const DWORD start = GetTickCount();
    thread->stop(5000);
    thread.reset();
    const DWORD waited = GetTickCount() - start;
    EXPECT_LT(waited, 5500u) << "closing the wizard never waits longer than its bound";
    EXPECT_NE(checker->checkState(), NewVersionInfo::NewerVersionAvailable);
    EXPECT_EQ(seen.count, 0) << "a stopped check no longer knows the window";
    ASSERT_TRUE(writeRaw(server.faults, "{}"));
    DestroyWindow(window);
}

}  // namespace
