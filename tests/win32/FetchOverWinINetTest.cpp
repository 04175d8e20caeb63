// Downloads through the real WinINet against the loopback vendor server (tools/vendor_server.py), which
// run-with-server.sh starts and describes in the environment. Without that environment the tests skip.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "PlatformTestSupport.h"
#include "app/RunLog.h"
#include "app/UserInterface.h"
#include "download/Fetch.h"
#include "platform/win32/Win32Machine.h"
#include "wizard/win32/Win32UserInterface.h"

using namespace download;
using namespace platform_test;

namespace {

std::string dosPathFromEnvironment(const char* name) { return dosPath(environmentValue(name)); }

// A tab-separated field of a request log line: 0 request line, 1 user agent, 2 authorization scheme.
std::string field(const std::string& line, int index) {
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        begin = line.find('\t', begin);
        if (begin == std::string::npos) return "";
        ++begin;
    }
    return line.substr(begin, line.find('\t', begin) - begin);
}

uint64_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The server started by run-with-server.sh: its address, its tree, its fault file and its request log.
class VendorServer {
public:
    bool available() const { return !url_.empty() && !root_.empty() && !faults_.empty() && !log_.empty(); }
    std::string url(const std::string& object) const { return url_ + object; }
    std::string deadUrl(const std::string& object) const { return deadUrl_ + object; }

    // Places a file at a server path ("/a/b c/x.msi").
    void put(const std::string& object, const std::string& content) const {
        std::string path = root_;
        std::size_t begin = 1;
        for (;;) {
            std::size_t slash = object.find('/', begin);
            if (slash == std::string::npos) break;
            path += "\\" + object.substr(begin, slash - begin);
            CreateDirectoryA(path.c_str(), nullptr);
            begin = slash + 1;
        }
        ASSERT_TRUE(writeRaw(path + "\\" + object.substr(begin), content)) << object;
    }
    // Replaces every fault rule (a JSON object text).
    void faults(const std::string& json) const { ASSERT_TRUE(writeRaw(faults_, json)); }
    std::vector<std::string> log() const {
        std::string text = readRaw(log_);
        return text == "<missing>" ? std::vector<std::string>{} : splitLines(text);
    }
    // Requests whose request line names the object (with its blanks raw or escaped).
    std::vector<std::string> requestsFor(const std::string& object) const {
        std::string escaped = object;
        for (std::size_t at = escaped.find(' '); at != std::string::npos; at = escaped.find(' ', at))
            escaped.replace(at, 1, "%20");
        std::vector<std::string> found;
        for (const std::string& line : log()) {
            std::string target = field(line, 0);
            if (target == "GET " + object + " HTTP/1.1" || target == "GET " + escaped + " HTTP/1.1")
                found.push_back(line);
        }
        return found;
    }

private:
    std::string url_ = environmentValue("INSTALLER_VENDOR_URL");
    std::string deadUrl_ = environmentValue("INSTALLER_VENDOR_DEAD_URL");
    std::string root_ = dosPathFromEnvironment("INSTALLER_VENDOR_ROOT");
    std::string faults_ = dosPathFromEnvironment("INSTALLER_VENDOR_FAULTS");
    std::string log_ = dosPathFromEnvironment("INSTALLER_VENDOR_LOG");
};

struct Event {
    int code;
    int32_t value;
    bool operator==(const Event& other) const { return code == other.code && value == other.value; }
};
std::ostream& operator<<(std::ostream& out, const Event& e) { return out << "{" << e.code << ", " << e.value << "}"; }

class RecordingEvents : public FetchEvents {
public:
    void downloadStarted(int32_t kb) override { events.push_back({DownloadStarted, kb}); }
    void downloadProgress(int32_t kb) override {
        events.push_back({DownloadProgress, kb});
        if (onProgress) onProgress(kb);
    }
    void downloadCompleted() override { events.push_back({DownloadCompleted, 0}); }
    void downloadFailed() override { events.push_back({DownloadFailed, 0}); }
    std::vector<Event> events;
    std::function<void(int32_t)> onProgress;
};

// Answers the credential dialog that InternetErrorDlg shows on this process's desktop: cancels it, or fills
// in a user name and password and confirms. Records what it saw.
class CredentialDialogAnswerer {
public:
    struct Login {
        std::string user, password;
    };
    explicit CredentialDialogAnswerer(std::optional<Login> login) : login_(std::move(login)) {
        thread_ = std::thread([this] { run(); });
    }
    ~CredentialDialogAnswerer() {
        stop_ = true;
        thread_.join();
    }
    std::string title() const { return title_; }
    bool answered() const { return answered_; }
    HWND owner() const { return owner_; }

private:
    static BOOL CALLBACK findDialog(HWND window, LPARAM param) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[64] = {};
        GetClassNameA(window, className, sizeof(className));
        if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::string(className) == "#32770") {
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK collectEdits(HWND window, LPARAM param) {
        char className[64] = {};
        GetClassNameA(window, className, sizeof(className));
        if (lstrcmpiA(className, "Edit") == 0 && IsWindowVisible(window))
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
    }
    void run() {
        DWORD start = GetTickCount();
        while (!stop_ && GetTickCount() - start < 20000) {
            HWND dialog = nullptr;
            EnumWindows(findDialog, reinterpret_cast<LPARAM>(&dialog));
            if (dialog) {
                char title[256] = {};
                GetWindowTextA(dialog, title, sizeof(title));
                title_ = title;
                owner_ = GetWindow(dialog, GW_OWNER);
                if (login_) {
                    std::vector<HWND> edits;
                    EnumChildWindows(dialog, collectEdits, reinterpret_cast<LPARAM>(&edits));
                    // The user name comes first in the tab order, the password (ES_PASSWORD) after it.
                    HWND user = nullptr, password = nullptr;
                    for (HWND edit : edits) {
                        if (GetWindowLongA(edit, GWL_STYLE) & ES_PASSWORD) {
                            password = edit;
                        } else if (!user) {
                            user = edit;
                        }
                    }
                    if (user) SendMessageA(user, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(login_->user.c_str()));
                    if (password)
                        SendMessageA(password, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(login_->password.c_str()));
                    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                } else {
                    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                }
                answered_ = true;
                return;
            }
            Sleep(50);
        }
    }

    std::optional<Login> login_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::string title_;
    std::atomic<HWND> owner_{nullptr};
    std::thread thread_;
};

class WinINetDownload : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.available()) GTEST_SKIP() << "needs the vendor server: run through tests/win32/run-with-server.sh";
        server.faults("{}");
    }

    // A worker-thread fetch of the object into the scratch folder.
    FetchResult fetch(const std::string& url, const std::string& fileName = "component.msi") {
        context.downloadUrl = url;
        context.paths = downloadPaths(scratch.path(), fileName);
        context.abortFlag = &abortFlag;
        return FetchComponentFile(platform::win32::realMachine(), context, events, ui);
    }
    int downloadFile(const std::string& url, const std::string& fileName = "upgrade.ini") {
        return DownloadFile(platform::win32::realMachine(), scratch.path(), fileName, &abortFlag, url);
    }
    std::string finalPath(const std::string& fileName = "component.msi") const { return scratch / fileName; }

    VendorServer server;
    ScratchFolder scratch;
    FetchContext context;
    RecordingEvents events;
    RecordingUi ui;
    std::atomic<uint8_t> abortFlag{0};
};

using FetchOverWinINet = WinINetDownload;
using DownloadFileOverWinINet = WinINetDownload;

}  // namespace

TEST_F(FetchOverWinINet, TransfersBodiesWithAndWithoutLength) {
    struct Case {
        const char* name;
        const char* rule;  // fault rule for the object, or nullptr
        std::size_t bytes;
        std::string expected;  // the final file
        std::vector<Event> events;
    } cases[] = {
        {"with length", nullptr, 1000, payload(1000), {{DownloadStarted, 0}}},
        {"without length", R"({"no_length": true})", 1000, payload(1000), {{DownloadStarted, 0}}},
        {"empty body", R"({"empty": true})", 500, "", {{DownloadStarted, 0}}},
        {"250000 bytes", nullptr, 250000, payload(250000),
         {{DownloadStarted, 244}, {DownloadProgress, 100}, {DownloadProgress, 200}}},
        {"250000 bytes without length", R"({"no_length": true})", 250000, payload(250000),
         {{DownloadStarted, 0}, {DownloadProgress, 100}, {DownloadProgress, 200}}},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string object = "/orvanta/files/InstallerDownloads/case" + std::to_string(++index) + ".msi";
        server.put(object, payload(c.bytes));
        server.faults(c.rule ? "{\"" + object + "\": " + c.rule + "}" : "{}");
        events.events.clear();
        std::string file = "case" + std::to_string(index) + ".msi";
        EXPECT_EQ(fetch(server.url(object), file).outcome, FetchOutcome::Completed);
        EXPECT_EQ(readRaw(finalPath(file)), c.expected);
        EXPECT_FALSE(pathPresent(finalPath(file) + "tmp"));
        EXPECT_EQ(events.events, c.events);
        EXPECT_TRUE(ui.messages.empty());

        std::vector<std::string> requests = server.requestsFor(object);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(field(requests[0], 1), "Internet Session");
        EXPECT_EQ(field(requests[0], 2), "-");  // no credentials are ever sent unasked

        std::string syncFile = "sync" + std::to_string(index) + ".ini";
        EXPECT_EQ(downloadFile(server.url(object), syncFile), 1);
        EXPECT_EQ(readRaw(scratch / syncFile), c.expected);
    }
}

TEST_F(FetchOverWinINet, RefusedAnswersAreToldWithTheirTextAndNothingIsFollowed) {
    struct Case {
        const char* rule;
        const char* text;
        int code;
    } cases[] = {
        {R"({"status": 302, "location": "/target.msi"})", "Error. Unable to download file - Error - Server Redirection", -3004},
        {R"({"status": 301, "location": "/target.msi"})", "Error. Unable to download file - Error - Server Redirection", -3004},
        {R"({"status": 303, "location": "/target.msi"})", "Error. Unable to download file - Error - Server Redirection", -3004},
        {R"({"status": 307, "location": "/target.msi"})",
         "Error. Unable to download file - Server responded with HTTP error - 307", -3008},
        {R"({"status": 404})", "Error. Unable to download file - Server responded with HTTP error - 404", -3008},
        {R"({"status": 500})", "Error. Unable to download file - Server responded with HTTP error - 500", -3008},
    };
    server.put("/target.msi", "redirected");
    server.put("/moved.msi", "original");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        server.faults(std::string("{\"/moved.msi\": ") + c.rule + "}");
        ui.messages.clear();
        events.events.clear();
        EXPECT_EQ(fetch(server.url("/moved.msi")).outcome, FetchOutcome::Failed);
        EXPECT_EQ(ui.messages, std::vector<std::string>{c.text});
        EXPECT_TRUE(events.events.empty());
        EXPECT_FALSE(pathPresent(finalPath()));
        EXPECT_EQ(downloadFile(server.url("/moved.msi")), c.code);
    }
    EXPECT_EQ(server.requestsFor("/moved.msi").size(), 12u);
    EXPECT_TRUE(server.requestsFor("/target.msi").empty());
}

TEST_F(FetchOverWinINet, NonHttpAddressesMakeNoConnection) {
    server.put("/secure.msi", "x");
    std::size_t before = server.log().size();
    std::string hostPort = server.url("").substr(std::string("http://").size());
    for (const std::string& url : {"https://" + hostPort + "/secure.msi", "ftp://" + hostPort + "/secure.msi"}) {
        SCOPED_TRACE(url);
        ui.messages.clear();
        EXPECT_EQ(fetch(url).outcome, FetchOutcome::Failed);
        EXPECT_EQ(ui.messages,
                  std::vector<std::string>{"Error. Unable to download file - Error - Server does not provide HTTP service"});
        EXPECT_EQ(downloadFile(url), -3002);
    }
    ui.messages.clear();
    EXPECT_EQ(fetch("127.0.0.1/secure.msi").outcome, FetchOutcome::Failed);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error. Unable to download file - Error - Invalid URL"});
    EXPECT_EQ(downloadFile("127.0.0.1/secure.msi"), -3001);
    Sleep(200);  // a stray connection would have been logged by now
    EXPECT_EQ(server.log().size(), before);
}

TEST_F(FetchOverWinINet, ServerNotListeningGivesThePlatformText) {
    const std::string prefix = "Error. Unable to download file - ";
    EXPECT_EQ(fetch(server.deadUrl("/x.msi")).outcome, FetchOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind(prefix, 0), 0u) << ui.messages[0];
    EXPECT_GT(ui.messages[0].size(), prefix.size());
    RecordProperty("platform_text", ui.messages[0].substr(prefix.size()));
    std::printf("platform text for a refused connection: \"%s\"\n", ui.messages[0].substr(prefix.size()).c_str());
    EXPECT_EQ(downloadFile(server.deadUrl("/x.msi")), -3007);
}

TEST_F(FetchOverWinINet, DeclinedLoginIsRejected) {
    server.put("/login.msi", "secret");
    server.faults(R"({"/login.msi": {"status": 401}})");
    {
        CredentialDialogAnswerer answerer(std::nullopt);
        EXPECT_EQ(fetch(server.url("/login.msi")).outcome, FetchOutcome::Failed);
        std::printf("credential prompt: %s \"%s\"\n", answerer.answered() ? "shown, cancelled" : "not seen",
                    answerer.title().c_str());
    }
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error. Unable to download file - Error - Login rejected by the server"});
    {
        CredentialDialogAnswerer answerer(std::nullopt);
        EXPECT_EQ(downloadFile(server.url("/login.msi")), -3003);
    }
    EXPECT_EQ(server.requestsFor("/login.msi").size(), 2u);  // one each, never resent
}

TEST_F(FetchOverWinINet, AcceptedLoginIsSentAgainAndDownloads) {
    server.put("/members/login.msi", "behind the login");
    server.faults(R"({"/members/login.msi": {"status": 401, "credentials": "vision:s3cret"}})");
    CredentialDialogAnswerer answerer(CredentialDialogAnswerer::Login{"vision", "s3cret"});
    // The run's log sees the whole exchange, and never the password typed into the prompt.
    const std::string logPath = scratch / "run.log";
    std::unique_ptr<runlog::RunLog> log = runlog::RunLog::create(platform::win32::realMachine(), logPath);
    ASSERT_NE(log, nullptr);
    runlog::setCurrent(log.get());
    FetchOutcome outcome = fetch(server.url("/members/login.msi")).outcome;
    runlog::setCurrent(nullptr);
    log.reset();
    std::printf("credential prompt: %s \"%s\"\n", answerer.answered() ? "shown, filled in" : "not seen",
                answerer.title().c_str());
    const std::string logged = readRaw(logPath);
    const std::string transfer = "Download " + server.url("/members/login.msi") + " -> status 200, bytes 16,";
    EXPECT_NE(logged.find(transfer), std::string::npos) << logged;
    EXPECT_EQ(logged.find("s3cret"), std::string::npos) << logged;
    EXPECT_TRUE(answerer.answered());
    EXPECT_EQ(outcome, FetchOutcome::Completed);
    EXPECT_EQ(readRaw(finalPath()), "behind the login");
    // The first request goes without credentials; the resend carries them. (Wine's WinINet sends the resend
    // once more without them and answers the new challenge itself, so three requests reach the server.)
    std::vector<std::string> requests = server.requestsFor("/members/login.msi");
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(field(requests.front(), 2), "-");
    EXPECT_EQ(field(requests.back(), 2), "Basic");
}

TEST_F(FetchOverWinINet, TheLoginIsOwnedByTheMainWindowWhileThereIsOne) {
    server.put("/owned.msi", "secret");
    server.faults(R"({"/owned.msi": {"status": 401}})");
    HWND main = CreateWindowExA(0, "STATIC", "wizard stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(main, nullptr);
    setMainWindow(main);
    {
        CredentialDialogAnswerer answerer(std::nullopt);
        EXPECT_EQ(fetch(server.url("/owned.msi")).outcome, FetchOutcome::Failed);
        EXPECT_TRUE(answerer.answered());
        EXPECT_EQ(answerer.owner(), main);
    }
    setMainWindow(nullptr);
    DestroyWindow(main);
    {
        CredentialDialogAnswerer answerer(std::nullopt);
        EXPECT_EQ(fetch(server.url("/owned.msi")).outcome, FetchOutcome::Failed);
        EXPECT_TRUE(answerer.answered());
        HWND owner = answerer.owner();
        EXPECT_TRUE(owner == nullptr || owner == GetDesktopWindow()) << owner;
    }
}

TEST_F(FetchOverWinINet, AbortDuringASlowBodyLeavesThePartialTemporaryFile) {
    const std::size_t size = 3 * 1024 * 1024;
    server.put("/slow.msi", payload(size));
    server.faults(R"({"/slow.msi": {"rate": 200000}})");
    std::string temporary = finalPath() + "tmp";
    std::atomic<bool> done{false};
    std::thread aborter([&] {
        waitFor([&] { return done || fileSize(temporary) >= 150000; }, 20000);
        abortFlag = 1;
    });
    DWORD start = GetTickCount();
    FetchOutcome outcome = fetch(server.url("/slow.msi")).outcome;
    DWORD elapsed = GetTickCount() - start;
    done = true;
    aborter.join();
    EXPECT_EQ(outcome, FetchOutcome::Aborted);
    EXPECT_LT(elapsed, 8000u);  // the whole body would take 15 s
    EXPECT_FALSE(pathPresent(finalPath()));
    uint64_t partial = fileSize(temporary);
    EXPECT_GE(partial, 150000u);
    EXPECT_LT(partial, size);
    EXPECT_EQ(readRaw(temporary), payload(size).substr(0, partial));
    EXPECT_TRUE(ui.messages.empty());
    for (const Event& e : events.events) EXPECT_TRUE(e.code == DownloadStarted || e.code == DownloadProgress);
}

TEST_F(FetchOverWinINet, AnAbortDuringAStalledBodyEndsAsAnAbortNotAsAFailure) {
    // The server sends the first bytes, then nothing while it keeps the connection for a few seconds, then
    // drops it. The abort comes during the silence. On Windows closing the request ends the wait at once;
    // Wine's WinINet does not end a blocked read when its handle is closed, so here the read ends when the
    // server lets go. Either way the error that ends the read after an abort is an abort: nothing is told,
    // no final file appears.
    const std::size_t size = 2 * 1024 * 1024;
    server.put("/stalled.msi", payload(size));
    server.faults(R"({"/stalled.msi": {"stall": 20000, "hold": 3}})");
    AbortSignal signal;
    context.abortSignal = &signal;
    std::string temporary = finalPath() + "tmp";
    std::atomic<bool> done{false};
    std::thread aborter([&] {
        waitFor([&] { return done || fileSize(temporary) >= 20000; }, 20000);
        Sleep(500);  // well inside the silence
        signal.abort();
    });
    DWORD start = GetTickCount();
    FetchOutcome outcome = fetch(server.url("/stalled.msi")).outcome;
    DWORD elapsed = GetTickCount() - start;
    done = true;
    aborter.join();
    context.abortSignal = nullptr;
    EXPECT_EQ(outcome, FetchOutcome::Aborted);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_FALSE(pathPresent(finalPath()));
    EXPECT_EQ(readRaw(temporary), payload(size).substr(0, 20000));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FetchOverWinINet, AnExistingFileIsUsedWithoutRequestUnlessForced) {
    server.put("/present.msi", "from the server");
    ASSERT_TRUE(writeRaw(finalPath(), "already here"));
    EXPECT_EQ(fetch(server.url("/present.msi")).outcome, FetchOutcome::AlreadyPresent);
    EXPECT_EQ(readRaw(finalPath()), "already here");
    EXPECT_TRUE(server.requestsFor("/present.msi").empty());

    // Forced: a read-only file is replaced all the same, and set aside as the backup.
    SetFileAttributesA(finalPath().c_str(), FILE_ATTRIBUTE_READONLY);
    context.forceDownload = true;
    EXPECT_EQ(fetch(server.url("/present.msi")).outcome, FetchOutcome::Completed);
    EXPECT_EQ(readRaw(finalPath()), "from the server");
    EXPECT_EQ(readRaw(finalPath() + "bk"), "already here");
    EXPECT_EQ(server.requestsFor("/present.msi").size(), 1u);
}

TEST_F(FetchOverWinINet, TemporaryPathOf259IsAcceptedAnd260Refused) {
    server.put("/p.msi", "short path");
    // Grow a folder below the scratch folder to the exact length: temporary = folder + "\p.msitmp".
    const std::string file = "p.msi";
    for (std::size_t length : {259u, 260u}) {
        SCOPED_TRACE(length);
        std::size_t folderLength = length - 1 - file.size() - 3;
        std::string folder = scratch / std::to_string(length);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        while (folder.size() < folderLength) {
            std::size_t remaining = folderLength - folder.size();  // each part costs its length plus a "\\"
            std::size_t part = remaining <= 101 ? remaining - 1 : (remaining == 102 ? 99 : 100);
            ASSERT_GE(part, 1u);
            folder += "\\" + std::string(part, 'd');
            ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
        }
        ASSERT_EQ(folder.size(), folderLength);
        ASSERT_EQ(downloadPaths(folder, file).temporary.size(), length);

        events.events.clear();
        ui.messages.clear();
        context.downloadUrl = server.url("/p.msi");
        context.paths = downloadPaths(folder, file);
        context.abortFlag = &abortFlag;
        FetchOutcome outcome = FetchComponentFile(platform::win32::realMachine(), context, events, ui).outcome;
        int sync = DownloadFile(platform::win32::realMachine(), folder, file, &abortFlag, server.url("/p.msi"));
        if (length == 259) {
            EXPECT_EQ(outcome, FetchOutcome::Completed);
            EXPECT_EQ(sync, 1);
            EXPECT_EQ(readRaw(folder + "\\" + file), "short path");
            EXPECT_EQ(readRaw(folder + "\\" + file + "bk"), "short path");
        } else {
            EXPECT_EQ(outcome, FetchOutcome::PathTooLong);
            EXPECT_EQ(events.events, (std::vector<Event>{{DownloadFailed, 0}}));
            EXPECT_EQ(ui.messages, std::vector<std::string>{"Error. Download path too long. Please copy the installer "
                                                            "EXE to shorter path and try again."});
            EXPECT_FALSE(pathPresent(folder + "\\" + file));
            EXPECT_EQ(sync, -2004);
        }
    }
    EXPECT_EQ(server.requestsFor("/p.msi").size(), 2u);  // none for the refused length
}

TEST_F(FetchOverWinINet, ABlankInTheServerPathReachesTheFile) {
    const std::string object = "/orvanta/files/python 26/python-2.6.6.msi";
    server.put(object, payload(4000));
    const std::size_t before = server.log().size();  // the log holds the whole test run
    EXPECT_EQ(fetch(server.url(object), "python-2.6.6.msi").outcome, FetchOutcome::Completed);
    EXPECT_EQ(readRaw(scratch / "python-2.6.6.msi"), payload(4000));
    // Exactly one request went out for the file, the blank escaped by WinINet (a raw blank would end the
    // request target early on a strict server), with the session's user agent; then one for the checksum file
    // beside it.
    std::vector<std::string> all = server.log();
    ASSERT_EQ(all.size(), before + 2);
    EXPECT_EQ(field(all[before], 0), "GET /orvanta/files/python%2026/python-2.6.6.msi HTTP/1.1");
    EXPECT_EQ(field(all[before], 1), "Internet Session");
    EXPECT_EQ(field(all[before + 1], 0), "GET /orvanta/files/python%2026/python-2.6.6.msi.sha256 HTTP/1.1");
}

TEST_F(FetchOverWinINet, ABodyCutShortIsAFailureAndKeepsTheFinalNameFree) {
    server.put("/cut.msi", payload(300000));
    server.faults(R"({"/cut.msi": {"cut": 120000}})");
    EXPECT_EQ(fetch(server.url("/cut.msi")).outcome, FetchOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    std::printf("cut body: \"%s\"\n", ui.messages[0].c_str());
    EXPECT_EQ(ui.messages[0].rfind("Error. Unable to download file - ", 0), 0u);
    EXPECT_FALSE(pathPresent(finalPath()));
    EXPECT_EQ(readRaw(finalPath() + "tmp"), payload(120000));
    EXPECT_EQ(downloadFile(server.url("/cut.msi")), -3007);
    EXPECT_FALSE(pathPresent(scratch / "upgrade.ini"));
}

TEST_F(DownloadFileOverWinINet, KeepsTheBackupOfTheEarlierFile) {
    server.put("/upgrade.ini", "[Upgrade]\nVersion=2\n");
    ASSERT_TRUE(writeRaw(scratch / "upgrade.ini", "[Upgrade]\nVersion=1\n"));
    EXPECT_EQ(downloadFile(server.url("/upgrade.ini")), 1);
    EXPECT_EQ(readRaw(scratch / "upgrade.ini"), "[Upgrade]\nVersion=2\n");
    EXPECT_EQ(readRaw(scratch / "upgrade.inibk"), "[Upgrade]\nVersion=1\n");

    server.faults(R"({"/upgrade.ini": {"status": 404}})");
    EXPECT_EQ(downloadFile(server.url("/upgrade.ini")), -3008);
    EXPECT_FALSE(pathPresent(scratch / "upgrade.ini"));
    EXPECT_EQ(readRaw(scratch / "upgrade.inibk"), "[Upgrade]\nVersion=2\n");
}

TEST_F(DownloadFileOverWinINet, AbortDuringASlowBodyReturnsAbort) {
    server.put("/slow.ini", payload(2 * 1024 * 1024));
    server.faults(R"({"/slow.ini": {"rate": 200000}})");
    std::string temporary = scratch / "upgrade.initmp";
    std::atomic<bool> done{false};
    std::thread aborter([&] {
        waitFor([&] { return done || fileSize(temporary) >= 100000; }, 20000);
        abortFlag = 1;
    });
    int result = downloadFile(server.url("/slow.ini"));
    done = true;
    aborter.join();
    EXPECT_EQ(result, -2005);
    EXPECT_FALSE(pathPresent(scratch / "upgrade.ini"));
    EXPECT_GE(fileSize(temporary), 100000u);
}
