// Resumed, checked and secure downloads through the real WinINet against the loopback vendor server
// (run-with-server.sh): the bytes the server really sent, the checksum files beside the files, and TLS with a
// test authority in the Wine prefix's trusted roots. Without the server's environment the tests skip.
#include <windows.h>
#include <wincrypt.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "PlatformTestSupport.h"
#include "app/UserInterface.h"
#include "components/ServerAddress.h"
#include "download/DownloadTexts.h"
#include "download/Fetch.h"
#include "download/Integrity.h"
#include "download/Sha256.h"
#include "platform/win32/Win32Machine.h"

using namespace download;
using namespace platform_test;

namespace {

// Compares file contents without printing megabytes of binary when they differ.
::testing::AssertionResult holds(const std::string& path, const std::string& expected) {
    std::string actual = readRaw(path);
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path << " holds " << actual.size() << " bytes, not the expected "
                                         << expected.size() << (actual.size() < 200 ? ": " + actual : "");
}

struct Answer {
    int status;
    uint64_t bytes;
    bool operator==(const Answer& other) const { return status == other.status && bytes == other.bytes; }
};
std::ostream& operator<<(std::ostream& out, const Answer& a) { return out << "{" << a.status << ", " << a.bytes << "}"; }

class Server {
public:
    bool available() const { return !url_.empty() && !root_.empty() && !faults_.empty() && !bytesLog_.empty(); }
    std::string url(const std::string& object) const { return url_ + object; }

    void put(const std::string& object, const std::string& content) const {
        std::string path = root_;
        std::size_t begin = 1;
        for (std::size_t slash; (slash = object.find('/', begin)) != std::string::npos; begin = slash + 1) {
            path += "\\" + object.substr(begin, slash - begin);
            CreateDirectoryA(path.c_str(), nullptr);
        }
        ASSERT_TRUE(writeRaw(path + "\\" + object.substr(begin), content)) << object;
    }
    void faults(const std::string& json) const { ASSERT_TRUE(writeRaw(faults_, json)); }
    // The server's answers for the object: status and body bytes actually sent. The server writes the line once
    // the answer is over, which can be a moment after the client has what it needs.
    std::vector<Answer> answers(const std::string& object, std::size_t expected) const {
        std::vector<Answer> found;
        waitFor([&] {
            found.clear();
            for (const std::string& line : splitLines(readRaw(bytesLog_))) {
                std::size_t tab = line.find('\t'), second = line.find('\t', tab + 1);
                if (tab == std::string::npos || second == std::string::npos || line.substr(0, tab) != object) continue;
                found.push_back({std::stoi(line.substr(tab + 1, second - tab - 1)), std::stoull(line.substr(second + 1))});
            }
            return found.size() >= expected;
        }, 5000);
        return found;
    }

private:
    std::string url_ = environmentValue("INSTALLER_VENDOR_URL");
    std::string root_ = dosPath(environmentValue("INSTALLER_VENDOR_ROOT"));
    std::string faults_ = dosPath(environmentValue("INSTALLER_VENDOR_FAULTS"));
    std::string bytesLog_ = dosPath(environmentValue("INSTALLER_VENDOR_BYTES_LOG"));
};

class NoEvents : public FetchEvents {
public:
    void downloadStarted(int32_t) override {}
    void downloadProgress(int32_t) override {}
    void downloadCompleted() override {}
    void downloadFailed() override {}
};

// Sets the server base override for the test's duration.
class ServerBase {
public:
    explicit ServerBase(const std::string& base) { SetEnvironmentVariableA(components::ServerOverrideVariable, base.c_str()); }
    ~ServerBase() { SetEnvironmentVariableA(components::ServerOverrideVariable, nullptr); }
};

class Download : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.available()) GTEST_SKIP() << "needs the vendor server: run through tests/win32/run-with-server.sh";
        server.faults("{}");
    }
    FetchOutcome fetch(const std::string& url, const std::string& fileName) {
        FetchContext context;
        context.downloadUrl = url;
        context.paths = downloadPaths(scratch.path(), fileName);
        context.abortFlag = &abortFlag;
        NoEvents events;
        return FetchComponentFile(platform::win32::realMachine(), context, events, ui).outcome;
    }
    int downloadFile(const std::string& url, const std::string& fileName) {
        return DownloadFile(platform::win32::realMachine(), scratch.path(), fileName, &abortFlag, url);
    }

    Server server;
    ScratchFolder scratch;
    RecordingUi ui;
    std::atomic<uint8_t> abortFlag{0};
};

using ResumedDownload = Download;
using CheckedDownload = Download;
using SecureDownload = Download;

}  // namespace

TEST_F(ResumedDownload, ATransferCutAtHalfIsResumedWithOnlyTheRestSent) {
    const std::size_t size = 1 << 20, half = size / 2;
    const std::string object = "/orvanta/files/InstallerDownloads/resume/setup.exe";
    const std::string content = payload(size);
    server.put(object, content);
    server.put(object + ".sha256", toHex(sha256(content)) + "  setup.exe\n");
    server.faults("{\"" + object + "\": {\"cut\": " + std::to_string(half) + "}}");
    const DownloadPaths paths = downloadPaths(scratch.path(), "setup.exe");

    EXPECT_EQ(fetch(server.url(object), "setup.exe"), FetchOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind("Error. Unable to download file - ", 0), 0u) << ui.messages[0];
    EXPECT_FALSE(pathPresent(paths.final));
    EXPECT_TRUE(holds(paths.temporary, content.substr(0, half)));
    EXPECT_TRUE(pathPresent(resumeRecordPath(paths.temporary)));

    server.faults("{}");
    ui.messages.clear();
    EXPECT_EQ(fetch(server.url(object), "setup.exe"), FetchOutcome::Completed);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(holds(paths.final, content));
    EXPECT_FALSE(pathPresent(paths.temporary));
    EXPECT_FALSE(pathPresent(resumeRecordPath(paths.temporary)));
    // Measured where it is sent: the second answer carried only the half that was missing.
    EXPECT_EQ(server.answers(object, 2), (std::vector<Answer>{{200, half}, {206, size - half}}));

    // A server that does not resume sends all of it again, and the file is whole all the same.
    server.faults("{\"" + object + "\": {\"cut\": " + std::to_string(half) + "}}");
    EXPECT_EQ(downloadFile(server.url(object), "again.exe"), downloadresult::InternetFailure);
    server.faults("{\"" + object + "\": {\"no_ranges\": true}}");
    EXPECT_EQ(downloadFile(server.url(object), "again.exe"), downloadresult::Success);
    EXPECT_TRUE(holds(scratch / "again.exe", content));
    std::vector<Answer> answers = server.answers(object, 4);
    ASSERT_EQ(answers.size(), 4u);
    EXPECT_EQ(answers[3], (Answer{200, size}));
}

TEST_F(CheckedDownload, ADamagedFileIsRefusedWithItsMessageAndNothingIsLeft) {
    const std::string object = "/orvanta/files/InstallerDownloads/checked/module.zip";
    const std::string content = payload(300000);
    server.put(object, content);
    const DownloadPaths paths = downloadPaths(scratch.path(), "module.zip");
    struct Case {
        const char* name;
        std::string checksumFile;  // empty: none published
        bool damaged;
    } cases[] = {
        {"matching", toHex(sha256(content)) + "  module.zip\n", false},
        {"none published", "", false},
        {"hostile: binary", std::string("\x00\x01\xfe\xff", 4), false},
        {"not matching", toHex(sha256(content + "x")) + "  module.zip\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.checksumFile.empty()) {
            DeleteFileA((dosPath(environmentValue("INSTALLER_VENDOR_ROOT")) +
                         "\\orvanta\\files\\InstallerDownloads\\checked\\module.zip.sha256").c_str());
        } else {
            server.put(object + ".sha256", c.checksumFile);
        }
        DeleteFileA(paths.final.c_str());
        ui.messages.clear();
        EXPECT_EQ(fetch(server.url(object), "module.zip"), c.damaged ? FetchOutcome::Failed : FetchOutcome::Completed);
        if (c.damaged) {
            EXPECT_EQ(ui.messages, std::vector<std::string>{std::string("Error. Unable to download file - ") +
                                                            downloadtexts::ArrivedDamaged});
        } else {
            EXPECT_TRUE(ui.messages.empty());
            EXPECT_TRUE(holds(paths.final, content));
        }
        EXPECT_EQ(pathPresent(paths.final), !c.damaged);
        EXPECT_FALSE(pathPresent(paths.temporary));
        EXPECT_FALSE(pathPresent(resumeRecordPath(paths.temporary)));
        EXPECT_EQ(downloadFile(server.url(object), "module-sync.zip"),
                  c.damaged ? downloadresult::Damaged : downloadresult::Success);
        EXPECT_EQ(pathPresent(scratch / "module-sync.zip"), !c.damaged);
    }
}

namespace {

// The test authority in the local machine's trusted roots (the registry store Wine's crypt32 reads) for the
// object's lifetime. crypt32 is loaded at run time: the program itself never needs it.
// Every change is committed at once: Wine's registry store otherwise keeps it in memory until the store's last
// reference goes, so the chain engine WinINet uses (which opens the roots itself) would not see the authority,
// and a removal would never reach the registry (the authority would stay trusted in the prefix for good).
class TrustedAuthority {
public:
    explicit TrustedAuthority(const std::string& der) {
        module_ = LoadLibraryA("crypt32.dll");
        if (!module_) return;
        open_ = reinterpret_cast<OpenStore>(GetProcAddress(module_, "CertOpenStore"));
        add_ = reinterpret_cast<AddEncoded>(GetProcAddress(module_, "CertAddEncodedCertificateToStore"));
        delete_ = reinterpret_cast<DeleteCertificate>(GetProcAddress(module_, "CertDeleteCertificateFromStore"));
        close_ = reinterpret_cast<CloseStore>(GetProcAddress(module_, "CertCloseStore"));
        control_ = reinterpret_cast<ControlStore>(GetProcAddress(module_, "CertControlStore"));
        if (!open_ || !add_ || !delete_ || !close_ || !control_) return;
        store_ = open_(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
        if (!store_) return;
        added_ = add_(store_, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()),
                      CERT_STORE_ADD_REPLACE_EXISTING, &certificate_) != FALSE &&
                 control_(store_, 0, CERT_STORE_CTRL_COMMIT, nullptr) != FALSE;
    }
    ~TrustedAuthority() {
        if (certificate_) {
            delete_(certificate_);  // also frees the context
            control_(store_, 0, CERT_STORE_CTRL_COMMIT, nullptr);
        }
        if (store_) close_(store_, 0);
        if (module_) FreeLibrary(module_);
    }
    bool added() const { return added_; }

private:
    using OpenStore = HCERTSTORE(WINAPI*)(LPCSTR, DWORD, HCRYPTPROV_LEGACY, DWORD, const void*);
    using AddEncoded = BOOL(WINAPI*)(HCERTSTORE, DWORD, const BYTE*, DWORD, DWORD, PCCERT_CONTEXT*);
    using DeleteCertificate = BOOL(WINAPI*)(PCCERT_CONTEXT);
    using CloseStore = BOOL(WINAPI*)(HCERTSTORE, DWORD);
    using ControlStore = BOOL(WINAPI*)(HCERTSTORE, DWORD, DWORD, const void*);
    HMODULE module_ = nullptr;
    OpenStore open_ = nullptr;
    AddEncoded add_ = nullptr;
    DeleteCertificate delete_ = nullptr;
    CloseStore close_ = nullptr;
    ControlStore control_ = nullptr;
    HCERTSTORE store_ = nullptr;
    PCCERT_CONTEXT certificate_ = nullptr;
    bool added_ = false;
};

// What the user is shown for a WinINet error: wininet.dll's own text for the code where it has one (Windows),
// otherwise the code (Wine's wininet.dll carries no message texts).
std::string internetErrorText(DWORD code) {
    char buffer[1024] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  GetModuleHandleA("wininet.dll"), code, 0, buffer, sizeof(buffer), nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text.empty() ? std::string("Internet error ") + std::to_string(code) : text;
}

}  // namespace

TEST_F(SecureDownload, AnUntrustedCertificateIsRefusedAndNothingIsKept) {
    const std::string untrustedUrl = environmentValue("INSTALLER_VENDOR_UNTRUSTED_URL");
    if (untrustedUrl.empty()) GTEST_SKIP() << "run-with-server.sh started no TLS server";
    const std::string object = "/orvanta/files/InstallerDownloads/secure/untrusted.msi";
    server.put(object, payload(200000));

    // Without an https server base the address stays refused as not HTTP, before any connection.
    EXPECT_EQ(downloadFile(untrustedUrl + object, "plain.msi"), downloadresult::NotHttp);

    // The test authority is trusted meanwhile: trusting one private authority must not let another one's
    // certificate through. (It also keeps the secure test below working when both run in one process: Wine's
    // chain engine reads the trusted roots once, at the process's first certificate check.)
    TrustedAuthority trusted(readRaw(dosPath(environmentValue("INSTALLER_VENDOR_TLS_AUTHORITY"))));
    ASSERT_TRUE(trusted.added());
    ServerBase base(untrustedUrl);
    EXPECT_EQ(fetch(untrustedUrl + object, "untrusted.msi"), FetchOutcome::Failed);
    // The server sends its whole chain, so it is refused for the one thing wrong with it: nobody trusts its root.
    EXPECT_EQ(ui.messages, std::vector<std::string>{std::string("Error. Unable to download file - ") +
                                                    internetErrorText(ERROR_INTERNET_INVALID_CA)});
    EXPECT_FALSE(pathPresent(scratch / "untrusted.msi"));
    EXPECT_FALSE(pathPresent(scratch / "untrusted.msitmp"));
    EXPECT_EQ(downloadFile(untrustedUrl + object, "untrusted.ini"), downloadresult::InternetFailure);
    EXPECT_FALSE(pathPresent(scratch / "untrusted.ini"));
    // The handshake failed before any request: the server answered nothing.
    EXPECT_TRUE(server.answers(object, 0).empty());
}

TEST_F(SecureDownload, AnHttpsServerBaseIsFetchedOverTls) {
    const std::string secureUrl = environmentValue("INSTALLER_VENDOR_TLS_URL");
    if (secureUrl.empty()) GTEST_SKIP() << "run-with-server.sh started no TLS server";
    const std::string object = "/orvanta/files/InstallerDownloads/secure/driver.msi";
    const std::string content = payload(200000);
    server.put(object, content);
    TrustedAuthority trusted(readRaw(dosPath(environmentValue("INSTALLER_VENDOR_TLS_AUTHORITY"))));
    ASSERT_TRUE(trusted.added());

    ServerBase base(secureUrl);
    // The server sends its own certificate only: the chain reaches the authority through the trusted roots.
    EXPECT_EQ(fetch(secureUrl + object, "driver.msi"), FetchOutcome::Completed);
    EXPECT_TRUE(ui.messages.empty()) << (ui.messages.empty() ? "" : ui.messages[0]);
    EXPECT_TRUE(holds(scratch / "driver.msi", content));
    EXPECT_EQ(server.answers(object, 1), (std::vector<Answer>{{200, content.size()}}));
}
