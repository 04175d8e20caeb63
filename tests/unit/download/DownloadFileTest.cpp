// The synchronous download: its result codes, and that an earlier file always goes to the backup path and
// stays there whatever happens to the new transfer.
#include <atomic>
#include <gtest/gtest.h>

#include "download/Fetch.h"
#include "FetchTestSupport.h"

using namespace download;
using namespace fetchtest;
using platform::fake::FakeMachine;
using platform::fake::FakeResponse;
namespace attr = platform::attr;
namespace httpflag = platform::httpflag;

namespace {

const char* Object = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/upgrade.ini";
const char* File = "upgrade.ini";

struct Download {
    FakeMachine m;
    std::atomic<uint8_t> abortFlag{0};
    std::string url = std::string("http://") + Server + Object;
    DownloadPaths paths = downloadPaths(Folder, File);

    Download() { m.files.addFolder(Folder); }
    void serve(FakeResponse response) { m.http.serve(Server, 80, Object, std::move(response)); }
    int run() { return DownloadFile(m, Folder, File, &abortFlag, url); }
    bool allClosed() const { return m.http.sessionsOpen == 0 && m.http.connectionsOpen == 0 && m.http.requestsOpen == 0; }
};

}  // namespace

TEST(DownloadFile, FetchesAlwaysFromTheServerIntoPlace) {
    Download d;
    d.serve(ok(body(250000)));
    EXPECT_EQ(d.run(), 1);
    EXPECT_EQ(d.m.files.content(d.paths.final), body(250000));
    EXPECT_FALSE(d.m.files.exists(d.paths.temporary));
    EXPECT_FALSE(d.m.files.exists(d.paths.backup));
    ASSERT_EQ(d.m.http.requests.size(), 2u);  // the file, then its checksum file
    EXPECT_EQ(d.m.http.requests[1].object, std::string(Object) + ".sha256");
    EXPECT_EQ(d.m.http.requests[0].flags, httpflag::ExistingConnect | httpflag::NoAutoRedirect | httpflag::Reload |
                                              httpflag::NoCacheWrite | httpflag::PragmaNoCache);
    EXPECT_EQ(d.m.http.requests[0].userAgent, "Internet Session");
    EXPECT_EQ(d.m.http.requests[0].verb, "GET");
    EXPECT_EQ(d.m.http.requests[0].object, Object);
    EXPECT_TRUE(d.allClosed());
}

TEST(DownloadFile, AnEarlierFileGoesToTheBackupAndStaysThere) {
    struct Case {
        const char* name;
        FakeResponse response;
        int result;
        std::optional<std::string> finalContent;
    } cases[] = {
        {"success", ok("fresh"), 1, "fresh"},
        {"404", status(404), -3008, std::nullopt},
        {"cut body", [] { FakeResponse r = ok(body(3000)); r.failAfter = 100; return r; }(), -3007, std::nullopt},
    };
    for (const Case& c : cases) {
        for (uint32_t attributes : {attr::Archive, attr::ReadOnly}) {
            SCOPED_TRACE(testing::Message() << c.name << " attributes " << attributes);
            Download d;
            d.m.files.addFile(d.paths.final, "earlier", attributes);
            d.m.files.addFile(d.paths.backup, "older backup", attr::ReadOnly);
            d.serve(c.response);
            EXPECT_EQ(d.run(), c.result);
            EXPECT_EQ(d.m.files.content(d.paths.final), c.finalContent);
            EXPECT_EQ(d.m.files.content(d.paths.backup), "earlier");
        }
    }
}

TEST(DownloadFile, AnEarlierFileThatCannotBeMovedIsDeletedAndOneThatCannotGoIsUsed) {
    Download moved;
    moved.m.files.addFile(moved.paths.final, "earlier", attr::ReadOnly);
    moved.m.files.fault = [](const std::string& op, const std::string& path) {
        return op == "move" && path.find("upgrade.inibk") != std::string::npos;
    };
    moved.serve(ok("fresh"));
    EXPECT_EQ(moved.run(), 1);
    EXPECT_EQ(moved.m.files.content(moved.paths.final), "fresh");
    EXPECT_FALSE(moved.m.files.exists(moved.paths.backup));

    Download stuck;
    stuck.m.files.addFile(stuck.paths.final, "in use");
    stuck.m.files.fault = [](const std::string& op, const std::string&) { return op == "move" || op == "delete"; };
    stuck.serve(ok("fresh"));
    EXPECT_EQ(stuck.run(), 1);
    EXPECT_TRUE(stuck.m.http.requests.empty());
    EXPECT_EQ(stuck.m.files.content(stuck.paths.final), "in use");
}

TEST(DownloadFile, ResultCodes) {
    struct Case {
        const char* name;
        std::function<void(Download&)> setUp;
        int result;
    } cases[] = {
        {"unparsable address", [](Download& d) { d.url = "upgrade.ini"; }, -3001},
        {"https address", [](Download& d) { d.url = std::string("https://") + Server + Object; }, -3002},
        {"ftp address", [](Download& d) { d.url = std::string("ftp://") + Server + Object; }, -3002},
        {"401 declined", [](Download& d) { d.serve(status(401)); }, -3003},
        {"407 declined", [](Download& d) { d.serve(status(407)); }, -3003},
        {"407 then success",
         [](Download& d) {
             d.serve(status(407));
             d.m.http.credentialAnswer = platform::CredentialAnswer::Retry;
             d.m.http.afterCredentials = ok("x");
         },
         1},
        {"401 answered again",
         [](Download& d) {
             d.serve(status(401));
             d.m.http.credentialAnswer = platform::CredentialAnswer::Retry;
         },
         -3008},
        {"401 then success",
         [](Download& d) {
             d.serve(status(401));
             d.m.http.credentialAnswer = platform::CredentialAnswer::Retry;
             d.m.http.afterCredentials = ok("x");
         },
         1},
        {"301", [](Download& d) { d.serve(status(301)); }, -3004},
        {"302", [](Download& d) { d.serve(status(302)); }, -3004},
        {"303", [](Download& d) { d.serve(status(303)); }, -3004},
        {"307", [](Download& d) { d.serve(status(307)); }, -3008},
        {"404", [](Download& d) { d.serve(status(404)); }, -3008},
        {"503", [](Download& d) { d.serve(status(503)); }, -3008},
        // Statuses a signed code would take for one of the fetch's own codes or for success.
        {"status 2^31", [](Download& d) { d.serve(status(0x80000000u)); }, -3008},
        {"status 2^32-1", [](Download& d) { d.serve(status(0xFFFFFFFFu)); }, -3008},
        {"status 2^32-2000", [](Download& d) { d.serve(status(0xFFFFF830u)); }, -3008},
        {"status 0", [](Download& d) { d.serve(status(0)); }, -3008},
        {"line break inside the address",
         [](Download& d) { d.url = std::string("http://") + Server + "/a\r\nX-Injected: 1/b.exe"; }, -3001},
        {"server not listening", [](Download&) {}, -3007},
        {"body shorter than announced",
         [](Download& d) {
             FakeResponse r = ok("abc");
             r.headers["Content-Length"] = "10";
             d.serve(r);
         },
         -3007},
        {"empty body", [](Download& d) { d.serve(ok("")); }, 1},
        {"temporary file cannot be created",
         [](Download& d) {
             d.serve(ok("x"));
             d.m.files.fault = [](const std::string& op, const std::string&) { return op == "open"; };
         },
         0},
        {"temporary file cannot be written",
         [](Download& d) {
             d.serve(ok("x"));
             d.m.files.fault = [](const std::string& op, const std::string&) { return op == "write"; };
         },
         0},
        {"final name cannot be taken",
         [](Download& d) {
             d.serve(ok("x"));
             d.m.files.fault = [&d](const std::string& op, const std::string& path) {
                 return op == "move" && path.rfind(d.paths.temporary, 0) == 0;
             };
         },
         -3006},
        {"aborted before sending", [](Download& d) { d.serve(ok("x")); d.abortFlag = 1; }, -2005},
        {"aborted while sending",
         [](Download& d) {
             d.serve(ok("x"));
             d.m.http.onSend = [&d](const platform::fake::FakeRequestRecord&) { d.abortFlag = 1; };
         },
         -2005},
        {"aborted during a 401",
         [](Download& d) {
             d.serve(status(401));
             d.m.http.onSend = [&d](const platform::fake::FakeRequestRecord&) { d.abortFlag = 1; };
         },
         -2005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Download d;
        c.setUp(d);
        EXPECT_EQ(d.run(), c.result);
        EXPECT_TRUE(d.allClosed());
        EXPECT_EQ(d.m.files.exists(d.paths.final), c.result == 1);
    }
}

TEST(DownloadFile, AbortMidBodyLeavesThePartialTemporaryFileAndNoFinalFile) {
    MaxChunksPerRead chunks(1);
    Download d;
    d.m.http.maxReadBytes = 1023;
    FakeResponse r = ok(body(50000));
    r.beforeRead = [&d](std::size_t delivered) {
        if (delivered == 3 * 1023) d.abortFlag = 1;
    };
    d.serve(r);
    EXPECT_EQ(d.run(), -2005);
    EXPECT_EQ(d.m.files.content(d.paths.temporary), body(3 * 1023));
    EXPECT_FALSE(d.m.files.exists(d.paths.final));
}

TEST(DownloadFile, AbortNoticedAfterTheMoveStillReportsAbort) {
    for (bool moveFails : {false, true}) {
        Download d;
        FakeResponse r = ok("whole");
        r.beforeRead = [&d](std::size_t delivered) {
            if (delivered == 5) d.abortFlag = 1;
        };
        d.serve(r);
        if (moveFails) d.m.files.fault = [](const std::string& op, const std::string&) { return op == "move"; };
        EXPECT_EQ(d.run(), -2005) << moveFails;
        EXPECT_EQ(d.m.files.content(d.paths.final).has_value(), !moveFails);
    }
}

TEST(DownloadFile, TemporaryPathOf259IsAcceptedAnd260RefusedUntouched) {
    for (std::size_t length : {259u, 260u}) {
        Download d;
        std::string folder = "C:\\" + std::string(length - std::string("\\upgrade.initmp").size() - 3, 'p');
        d.m.files.addFolder(folder);
        DownloadPaths paths = downloadPaths(folder, File);
        ASSERT_EQ(paths.temporary.size(), length);
        d.m.files.addFile(paths.final, "earlier");
        d.serve(ok("fresh"));
        int result = DownloadFile(d.m, folder, File, &d.abortFlag, d.url);
        if (length == 259) {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(d.m.files.content(paths.final), "fresh");
            EXPECT_EQ(d.m.files.content(paths.backup), "earlier");
        } else {
            EXPECT_EQ(result, -2004);
            EXPECT_EQ(d.m.files.content(paths.final), "earlier");
            EXPECT_FALSE(d.m.files.exists(paths.backup));
            EXPECT_TRUE(d.m.http.requests.empty());
        }
    }
}

TEST(DownloadFile, PathTripleAppendsSuffixesWithoutADot) {
    DownloadPaths p = downloadPaths("C:\\F", "setup.exe");
    EXPECT_EQ(p.temporary, "C:\\F\\setup.exetmp");
    EXPECT_EQ(p.final, "C:\\F\\setup.exe");
    EXPECT_EQ(p.backup, "C:\\F\\setup.exebk");
}
