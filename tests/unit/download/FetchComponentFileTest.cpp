// The worker-thread download: what reaches the server, which events the dialog gets, which message the
// user sees, and what lies on disk afterwards, for every way a download can end.
#include <atomic>
#include <gtest/gtest.h>

#include "download/DownloadTexts.h"
#include "download/Fetch.h"
#include "FetchTestSupport.h"

using namespace download;
using namespace fetchtest;
using platform::fake::FakeMachine;
using platform::fake::FakeResponse;
namespace attr = platform::attr;
namespace httpflag = platform::httpflag;

namespace {

const char* Object = "/orvanta/files/python 26/python-2.6.6.msi";
// Downloads never go into the user's internet cache; a fresh fetch is also asked for past every cache.
const uint32_t AlwaysFlags = httpflag::ExistingConnect | httpflag::NoAutoRedirect | httpflag::NoCacheWrite;
const uint32_t FreshFlags = httpflag::Reload | httpflag::PragmaNoCache;

// One worker-thread fetch of python-2.6.6.msi into the Python2D folder.
struct Fetch {
    FakeMachine m;
    RecordingEvents events;
    HandleCheckingUi ui{m.http};
    std::atomic<uint8_t> abortFlag{0};
    FetchContext context;
    DownloadPaths paths = downloadPaths(Folder, "python-2.6.6.msi");

    Fetch() {
        m.files.addFolder(Folder);
        context.downloadUrl = std::string("http://") + Server + Object;
        context.paths = paths;
        context.abortFlag = &abortFlag;
    }
    void serve(FakeResponse response) { m.http.serve(Server, 80, Object, std::move(response)); }
    FetchOutcome run() { return FetchComponentFile(m, context, events, ui).outcome; }

    std::optional<std::string> finalFile() { return m.files.content(paths.final); }
    std::optional<std::string> temporaryFile() { return m.files.content(paths.temporary); }
    bool allClosed() const { return m.http.sessionsOpen == 0 && m.http.connectionsOpen == 0 && m.http.requestsOpen == 0; }
};

std::vector<Event> startedOnly(int32_t kb) { return {{DownloadStarted, kb}}; }

}  // namespace

TEST(FetchComponentFile, TransfersIntoPlaceWithOneProgressEventPer100KiB) {
    // Whatever the network hands over at once, the dialog sees the same marks.
    struct Case {
        std::size_t maxChunksPerRead;
        std::size_t networkDelivers;
    } cases[] = {{256, 64 * 1024}, {1, 64 * 1024}, {1, 1023}, {64, 1000}, {64, 7}, {3, 5000}, {200, 1 << 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maxChunksPerRead << " chunks per read, network " << c.networkDelivers);
        MaxChunksPerRead chunks(c.maxChunksPerRead);
        Fetch f;
        f.m.http.maxReadBytes = c.networkDelivers;
        f.serve(ok(body(250000)));
        EXPECT_EQ(f.run(), FetchOutcome::Completed);
        EXPECT_EQ(f.events.events, (std::vector<Event>{{DownloadStarted, 244}, {DownloadProgress, 100}, {DownloadProgress, 200}}));
        EXPECT_EQ(f.finalFile(), body(250000));
        EXPECT_FALSE(f.temporaryFile());
        EXPECT_FALSE(f.m.files.exists(f.paths.backup));
        EXPECT_TRUE(f.ui.messages.empty());
        EXPECT_TRUE(f.allClosed());
    }
}

TEST(FetchComponentFile, SendsOnePlainGetAsInternetSession) {
    Fetch f;
    f.serve(ok("MSI"));
    ASSERT_EQ(f.run(), FetchOutcome::Completed);
    // The file's request, then the one for the checksum file the server may publish beside it.
    ASSERT_EQ(f.m.http.requests.size(), 2u);
    EXPECT_EQ(f.m.http.requests[1].object, std::string(Object) + ".sha256");
    EXPECT_EQ(f.m.http.requests[1].userAgent, "Internet Session");
    EXPECT_EQ(f.m.http.requests[1].headers, "");
    const auto& request = f.m.http.requests[0];
    EXPECT_EQ(request.server, Server);
    EXPECT_EQ(request.port, 80);
    EXPECT_EQ(request.verb, "GET");
    EXPECT_EQ(request.object, Object);  // the blank unescaped
    EXPECT_EQ(request.userAgent, "Internet Session");
    EXPECT_EQ(request.sends, 1);
    EXPECT_EQ(request.headers, "");  // no extra header without a leftover to resume
    EXPECT_EQ(f.m.http.credentialPrompts, 0);
}

TEST(FetchComponentFile, BypassesCachesOnlyWhenForcedOrAlwaysDownloaded) {
    struct Case {
        bool force, always;
        uint32_t flags;
    } cases[] = {{false, false, AlwaysFlags},
                 {true, false, AlwaysFlags | FreshFlags},
                 {false, true, AlwaysFlags | FreshFlags},
                 {true, true, AlwaysFlags | FreshFlags}};
    for (const Case& c : cases) {
        Fetch f;
        f.context.forceDownload = c.force;
        f.context.alwaysDownload = c.always;
        f.serve(ok("x"));
        ASSERT_EQ(f.run(), FetchOutcome::Completed);
        ASSERT_EQ(f.m.http.requests.size(), 2u);  // the file, then its checksum file
        EXPECT_EQ(f.m.http.requests[0].flags, c.flags) << c.force << c.always;
        EXPECT_EQ(f.m.http.requests[1].flags, c.flags) << c.force << c.always;
    }
}

TEST(FetchComponentFile, AnExistingFinalFileIsUsedWithoutNetworkUnlessForced) {
    for (bool always : {false, true}) {
        Fetch f;
        f.context.alwaysDownload = always;  // does not by itself replace the file
        f.m.files.addFile(f.paths.final, "earlier download");
        f.serve(ok("new"));
        EXPECT_EQ(f.run(), FetchOutcome::AlreadyPresent);
        EXPECT_TRUE(f.m.http.requests.empty());
        EXPECT_EQ(f.m.http.sessionsOpen + f.m.http.requestsOpen, 0);
        EXPECT_EQ(f.finalFile(), "earlier download");
        EXPECT_TRUE(f.events.events.empty());
        EXPECT_TRUE(f.ui.messages.empty());
    }
}

TEST(FetchComponentFile, ForcedDownloadMovesTheEarlierFileToTheBackupAndReplacesIt) {
    struct Case {
        const char* name;
        uint32_t finalAttributes;
        std::optional<uint32_t> olderBackup;  // attributes of an older backup, if there is one
    } cases[] = {{"plain", attr::Archive, std::nullopt},
                 {"read-only final", attr::ReadOnly | attr::Archive, std::nullopt},
                 {"older backup", attr::Archive, attr::Archive},
                 {"read-only older backup", attr::ReadOnly, attr::ReadOnly | attr::Hidden}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetch f;
        f.context.forceDownload = true;
        f.m.files.addFile(f.paths.final, "earlier", c.finalAttributes);
        if (c.olderBackup) f.m.files.addFile(f.paths.backup, "much earlier", *c.olderBackup);
        f.serve(ok("fresh"));
        EXPECT_EQ(f.run(), FetchOutcome::Completed);
        EXPECT_EQ(f.finalFile(), "fresh");
        EXPECT_EQ(f.m.files.content(f.paths.backup), "earlier");
        EXPECT_TRUE(f.ui.messages.empty());
    }
}

TEST(FetchComponentFile, ForcedDownloadDeletesAFinalFileThatCannotBeMovedAside) {
    Fetch f;
    f.context.forceDownload = true;
    f.m.files.addFile(f.paths.final, "earlier", attr::ReadOnly);
    f.m.files.fault = [&](const std::string& op, const std::string& path) {
        return op == "move" && path.find(f.paths.backup) != std::string::npos;
    };
    f.serve(ok("fresh"));
    EXPECT_EQ(f.run(), FetchOutcome::Completed);
    EXPECT_EQ(f.finalFile(), "fresh");
    EXPECT_FALSE(f.m.files.exists(f.paths.backup));
}

TEST(FetchComponentFile, ForcedDownloadKeepsAFinalFileThatCanNeitherMoveNorGo) {
    Fetch f;
    f.context.forceDownload = true;
    f.m.files.addFile(f.paths.final, "in use");
    f.m.files.fault = [&](const std::string& op, const std::string&) { return op == "move" || op == "delete"; };
    f.serve(ok("fresh"));
    EXPECT_EQ(f.run(), FetchOutcome::AlreadyPresent);
    EXPECT_TRUE(f.m.http.requests.empty());
    EXPECT_EQ(f.finalFile(), "in use");
}

TEST(FetchComponentFile, EveryFailureIsToldWithItsTextAfterEverythingIsClosed) {
    std::string longText(3000, 'w');
    struct Case {
        const char* name;
        std::function<void(Fetch&)> setUp;
        std::string message;
        FetchOutcome outcome = FetchOutcome::Failed;
        std::size_t requests = 1;
    } cases[] = {
        {"unparsable address", [](Fetch& f) { f.context.downloadUrl = "vendor.test/python-2.6.6.msi"; },
         "Error. Unable to download file - Error - Invalid URL", FetchOutcome::Failed, 0},
        {"https address", [](Fetch& f) { f.context.downloadUrl = std::string("https://") + Server + Object; },
         "Error. Unable to download file - Error - Server does not provide HTTP service", FetchOutcome::Failed, 0},
        {"ftp address", [](Fetch& f) { f.context.downloadUrl = std::string("ftp://") + Server + Object; },
         "Error. Unable to download file - Error - Server does not provide HTTP service", FetchOutcome::Failed, 0},
        {"301", [](Fetch& f) { f.serve(status(301)); }, "Error. Unable to download file - Error - Server Redirection"},
        {"302", [](Fetch& f) { f.serve(status(302)); }, "Error. Unable to download file - Error - Server Redirection"},
        {"303", [](Fetch& f) { f.serve(status(303)); }, "Error. Unable to download file - Error - Server Redirection"},
        {"307", [](Fetch& f) { f.serve(status(307)); },
         "Error. Unable to download file - Server responded with HTTP error - 307"},
        {"404", [](Fetch& f) { f.serve(status(404)); },
         "Error. Unable to download file - Server responded with HTTP error - 404"},
        {"500", [](Fetch& f) { f.serve(status(500)); },
         "Error. Unable to download file - Server responded with HTTP error - 500"},
        {"204", [](Fetch& f) { f.serve(status(204)); },
         "Error. Unable to download file - Server responded with HTTP error - 204"},
        // Statuses that a signed code would take for one of the fetch's own codes.
        {"2^31", [](Fetch& f) { f.serve(status(0x80000000u)); },
         "Error. Unable to download file - Server responded with HTTP error - 2147483648"},
        {"2^32-1001", [](Fetch& f) { f.serve(status(0xFFFFFC17u)); },
         "Error. Unable to download file - Server responded with HTTP error - 4294966295"},
        {"0", [](Fetch& f) { f.serve(status(0)); },
         "Error. Unable to download file - Server responded with HTTP error - 0"},
        {"line break in the address",
         [](Fetch& f) { f.context.downloadUrl = std::string("http://") + Server + "/a\r\nX-Injected: 1/b.msi"; },
         "Error. Unable to download file - Error - Invalid URL", FetchOutcome::Failed, 0},
        {"401 declined", [](Fetch& f) { f.serve(status(401)); },
         "Error. Unable to download file - Error - Login rejected by the server"},
        {"401 again after credentials",
         [](Fetch& f) {
             f.serve(status(401));
             f.m.http.credentialAnswer = platform::CredentialAnswer::Retry;
         },
         "Error. Unable to download file - Server responded with HTTP error - 401"},
        // A proxy's request for a login is the same question.
        {"407 declined", [](Fetch& f) { f.serve(status(407)); },
         "Error. Unable to download file - Error - Login rejected by the server"},
        {"407 again after credentials",
         [](Fetch& f) {
             f.serve(status(407));
             f.m.http.credentialAnswer = platform::CredentialAnswer::Retry;
         },
         "Error. Unable to download file - Server responded with HTTP error - 407"},
        {"302 after credentials",
         [](Fetch& f) {
             f.serve(status(401));
             f.m.http.credentialAnswer = platform::CredentialAnswer::Retry;
             f.m.http.afterCredentials = status(302);
         },
         "Error. Unable to download file - Error - Server Redirection"},
        {"server not listening", [](Fetch&) {},
         "Error. Unable to download file - A connection with the server could not be established"},
        {"connection breaks off",
         [](Fetch& f) {
             FakeResponse r = ok(body(5000));
             r.failAfter = 3000;
             f.serve(r);
         },
         "Error. Unable to download file - The connection with the server was terminated abnormally"},
        {"body shorter than announced",
         [](Fetch& f) {
             FakeResponse r = ok(body(3000));
             r.headers["Content-Length"] = "5000";
             f.serve(r);
         },
         "Error. Unable to download file - The connection with the server was terminated abnormally"},
    };
    for (const Case& c : cases) {
        for (bool report : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.name << (report ? " reported" : " silent"));
            Fetch f;
            f.context.reportErrors = report;
            c.setUp(f);
            EXPECT_EQ(f.run(), c.outcome);
            EXPECT_EQ(f.m.http.requests.size(), c.requests);
            EXPECT_FALSE(f.finalFile());
            EXPECT_TRUE(f.allClosed());
            if (report) {
                EXPECT_EQ(f.ui.texts(), std::vector<std::string>{c.message});
                EXPECT_EQ(f.ui.openHandlesAtMessage, std::vector<int>{0});
                ASSERT_EQ(f.ui.messages.size(), 1u);
                EXPECT_TRUE(f.ui.messages[0].applicationBox);
            } else {
                EXPECT_TRUE(f.ui.messages.empty());
            }
            // The outcome event is the worker's to send.
            for (const Event& e : f.events.events) EXPECT_TRUE(e.code == DownloadStarted || e.code == DownloadProgress);
        }
    }
}

TEST(FetchComponentFile, CredentialPromptComesOnceAndAnAcceptedLoginDownloads) {
    Fetch f;
    f.serve(status(401));
    f.m.http.credentialAnswer = platform::CredentialAnswer::Retry;
    f.m.http.afterCredentials = ok("behind the login");
    EXPECT_EQ(f.run(), FetchOutcome::Completed);
    EXPECT_EQ(f.m.http.credentialPrompts, 1);
    ASSERT_EQ(f.m.http.requests.size(), 2u);  // the file, then its checksum file (never a second prompt)
    EXPECT_EQ(f.m.http.requests[0].sends, 2);
    EXPECT_EQ(f.finalFile(), "behind the login");

    Fetch declined;
    declined.serve(status(401));
    EXPECT_EQ(declined.run(), FetchOutcome::Failed);
    EXPECT_EQ(declined.m.http.credentialPrompts, 1);
    EXPECT_EQ(declined.m.http.requests[0].sends, 1);
}

TEST(FetchComponentFile, PlatformTextIsCutAt1023Characters) {
    Fetch f;
    FailingHttp failing(12007, std::string(1023, 'a') + "TAIL");
    platform::Machine machine = withHttp(f.m, failing);
    EXPECT_EQ(FetchComponentFile(machine, f.context, f.events, f.ui).outcome, FetchOutcome::Failed);
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Error. Unable to download file - " + std::string(1023, 'a')});
}

TEST(FetchComponentFile, TroubleWithTheTemporaryFileIsUnexpectedAndWordedByRunKind) {
    struct Case {
        const char* failingOp;
        bool downloadOnly;
        const char* message;
    } cases[] = {
        {"open", true, "Error. Unable to download the component - Unexpected error"},
        {"open", false, "Error. Unable to install the component - Unexpected error"},
        {"write", true, "Error. Unable to download the component - Unexpected error"},
        {"write", false, "Error. Unable to install the component - Unexpected error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.failingOp << " " << c.downloadOnly);
        Fetch f;
        f.context.downloadOnly = c.downloadOnly;
        f.serve(ok(body(5000)));
        std::string op = c.failingOp;
        f.m.files.fault = [&f, op](const std::string& o, const std::string& path) {
            return o == op && path == f.paths.temporary;
        };
        FetchResult result = FetchComponentFile(f.m, f.context, f.events, f.ui);
        EXPECT_EQ(result.outcome, FetchOutcome::Unexpected);
        EXPECT_TRUE(result.skipInstall());
        EXPECT_EQ(f.ui.texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(f.ui.openHandlesAtMessage, std::vector<int>{0});
        EXPECT_FALSE(f.finalFile());
    }
}

TEST(FetchComponentFile, OnlyUnexpectedFailuresPathLengthAndAbortSkipTheInstallation) {
    EXPECT_FALSE(FetchResult{FetchOutcome::Completed}.skipInstall());
    EXPECT_FALSE(FetchResult{FetchOutcome::MoveFailed}.skipInstall());
    EXPECT_FALSE(FetchResult{FetchOutcome::AlreadyPresent}.skipInstall());
    EXPECT_FALSE(FetchResult{FetchOutcome::Failed}.skipInstall());  // an earlier file may come back
    EXPECT_TRUE(FetchResult{FetchOutcome::Unexpected}.skipInstall());
    EXPECT_TRUE(FetchResult{FetchOutcome::PathTooLong}.skipInstall());
    EXPECT_TRUE(FetchResult{FetchOutcome::Aborted}.skipInstall());
}

TEST(FetchComponentFile, AFileThatCannotTakeItsFinalNameIsToldButStillCompleted) {
    for (bool report : {true, false}) {
        Fetch f;
        f.context.reportErrors = report;
        f.serve(ok("whole"));
        f.m.files.fault = [&f](const std::string& op, const std::string& path) {
            return op == "move" && path.rfind(f.paths.temporary, 0) == 0;
        };
        EXPECT_EQ(f.run(), FetchOutcome::MoveFailed);
        EXPECT_EQ(f.temporaryFile(), "whole");
        EXPECT_FALSE(f.finalFile());
        EXPECT_EQ(f.ui.texts(), report ? std::vector<std::string>{"Error. Unable to process the downloaded file"}
                                       : std::vector<std::string>{});
    }
}

TEST(FetchComponentFile, TemporaryPathOf259IsAcceptedAnd260Refused) {
    // folder + "\" + "python-2.6.6.msi" + "tmp": the folder makes up the rest.
    const std::size_t suffix = std::string("\\python-2.6.6.msitmp").size();
    for (std::size_t length : {259u, 260u, 300u}) {
        for (bool report : {true, false}) {
            SCOPED_TRACE(testing::Message() << length << (report ? " reported" : " silent"));
            Fetch f;
            std::string folder = "C:\\" + std::string(length - suffix - 3, 'd');
            f.m.files.addFolder(folder);
            f.context.paths = downloadPaths(folder, "python-2.6.6.msi");
            ASSERT_EQ(f.context.paths.temporary.size(), length);
            f.context.reportErrors = report;
            f.context.forceDownload = true;
            f.m.files.addFile(f.context.paths.final, "earlier");
            f.serve(ok("fresh"));
            FetchOutcome outcome = f.run();
            if (length < 260) {
                EXPECT_EQ(outcome, FetchOutcome::Completed);
                EXPECT_EQ(f.m.files.content(f.context.paths.final), "fresh");
                EXPECT_TRUE(f.m.clock.sleeps.empty());
                continue;
            }
            EXPECT_EQ(outcome, FetchOutcome::PathTooLong);
            EXPECT_TRUE(f.m.http.requests.empty());
            EXPECT_EQ(f.m.files.content(f.context.paths.final), "earlier");  // nothing touched
            EXPECT_FALSE(f.m.files.exists(f.context.paths.backup));
            EXPECT_EQ(f.events.events, (std::vector<Event>{{DownloadFailed, 0}}));
            EXPECT_EQ(f.ui.texts(), report ? std::vector<std::string>{"Error. Download path too long. Please copy the "
                                                                      "installer EXE to shorter path and try again."}
                                           : std::vector<std::string>{});
            EXPECT_EQ(f.m.clock.sleeps, std::vector<uint32_t>{5000});
        }
    }
}

TEST(FetchComponentFile, PathTooLongSendsItsEventBeforeTheMessageAndPausesAfterIt) {
    struct OrderUi : RecordingUi {
        RecordingEvents* events;
        platform::fake::FakeClock* clock;
        std::size_t eventsAtMessage = 0, sleepsAtMessage = 0;
        void applicationMessage(const std::string& text) override {
            eventsAtMessage = events->events.size();
            sleepsAtMessage = clock->sleeps.size();
            RecordingUi::applicationMessage(text);
        }
    };
    Fetch f;
    OrderUi ui;
    ui.events = &f.events;
    ui.clock = &f.m.clock;
    f.context.paths = downloadPaths("C:\\" + std::string(260, 'x'), "a.exe");
    EXPECT_EQ(FetchComponentFile(f.m, f.context, f.events, ui).outcome, FetchOutcome::PathTooLong);
    EXPECT_EQ(ui.eventsAtMessage, 1u);
    EXPECT_EQ(ui.sleepsAtMessage, 0u);
    EXPECT_EQ(f.m.clock.sleeps, std::vector<uint32_t>{5000});
}

TEST(FetchComponentFile, EmptyBodyGivesAnEmptyFinalFile) {
    Fetch f;
    f.serve(ok(""));
    EXPECT_EQ(f.run(), FetchOutcome::Completed);
    EXPECT_EQ(f.finalFile(), "");
    EXPECT_EQ(f.events.events, startedOnly(0));
}

TEST(FetchComponentFile, TotalComesFromContentLengthAsASignedDecimal) {
    struct Case {
        std::optional<std::string> header;  // nullopt: no Content-Length at all
        std::size_t bodyBytes;
        int32_t totalKilobytes;
    } cases[] = {
        {std::nullopt, 250000, 0}, {"1023", 1023, 0},       {"1024", 1024, 1},     {" 5120", 5120, 5},
        {"abc", 10, 0},            {"-2048", 10, -2},       {"+4096", 10, 4},      {"1048576x", 10, 1024},
        {"99999999999999999999", 10, 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header.value_or("(none)"));
        Fetch f;
        FakeResponse r = ok(body(c.bodyBytes));
        if (c.header) {
            r.headers["Content-Length"] = *c.header;
        } else {
            r.sendContentLength = false;
        }
        f.serve(r);
        EXPECT_EQ(f.run(), FetchOutcome::Completed);
        ASSERT_FALSE(f.events.events.empty());
        EXPECT_EQ(f.events.events[0], (Event{DownloadStarted, c.totalKilobytes}));
        EXPECT_EQ(f.finalFile(), body(c.bodyBytes));
    }
    // Without a length, progress still counts what arrives.
    Fetch f;
    FakeResponse r = ok(body(250000));
    r.sendContentLength = false;
    f.serve(r);
    f.run();
    EXPECT_EQ(f.events.events, (std::vector<Event>{{DownloadStarted, 0}, {DownloadProgress, 100}, {DownloadProgress, 200}}));
}

TEST(FetchComponentFile, ProgressMarksFallOnChunkBoundaries) {
    // 101 chunks of 1023 bytes are the first total above 102400; 100 chunks are not.
    struct Case {
        std::size_t bodyBytes;
        std::vector<Event> events;
    } cases[] = {
        {100 * 1023, startedOnly(99)},
        {102400, startedOnly(100)},
        {102401, {{DownloadStarted, 100}, {DownloadProgress, 100}}},
        {101 * 1023, {{DownloadStarted, 100}, {DownloadProgress, 100}}},
        {1048576, {{DownloadStarted, 1024}, {DownloadProgress, 100}, {DownloadProgress, 200}, {DownloadProgress, 300},
                   {DownloadProgress, 400}, {DownloadProgress, 500}, {DownloadProgress, 600}, {DownloadProgress, 700},
                   {DownloadProgress, 800}, {DownloadProgress, 900}, {DownloadProgress, 1000}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bodyBytes);
        Fetch f;
        f.serve(ok(body(c.bodyBytes)));
        EXPECT_EQ(f.run(), FetchOutcome::Completed);
        EXPECT_EQ(f.events.events, c.events);
    }
}

TEST(FetchComponentFile, ALeftoverTemporaryFileIsOverwritten) {
    Fetch f;
    f.m.files.addFile(f.paths.temporary, std::string(10000, 'L'));
    f.serve(ok("short"));
    EXPECT_EQ(f.run(), FetchOutcome::Completed);
    EXPECT_EQ(f.finalFile(), "short");
}

TEST(FetchComponentFile, AbortStopsAtEachCheckWithoutAnyOutcome) {
    struct Case {
        const char* name;
        std::function<void(Fetch&)> setUp;
        std::optional<std::size_t> temporaryBytes;  // nullopt: no temporary file
        bool finalInPlace = false;
        std::size_t sends = 1;
    } cases[] = {
        {"before sending", [](Fetch& f) { f.abortFlag = 1; }, std::nullopt, false, 0},
        {"while sending, before the credential prompt",
         [](Fetch& f) {
             f.serve(status(401));
             f.m.http.onSend = [&f](const platform::fake::FakeRequestRecord&) { f.abortFlag = 1; };
         },
         std::nullopt},
        {"while sending, before the temporary file",
         [](Fetch& f) { f.m.http.onSend = [&f](const platform::fake::FakeRequestRecord&) { f.abortFlag = 1; }; },
         std::nullopt},
        {"after the first network read",
         [](Fetch& f) {
             f.serve([&f] {
                 FakeResponse r = ok(body(250000));
                 r.beforeRead = [&f](std::size_t delivered) {
                     if (delivered > 0) f.abortFlag = 1;
                 };
                 return r;
             }());
         },
         FirstChunksPerRead * 1023},
        {"at the end of the body",
         [](Fetch& f) {
             f.serve([&f] {
                 FakeResponse r = ok(body(250000));
                 r.beforeRead = [&f](std::size_t delivered) {
                     if (delivered == 250000) f.abortFlag = 1;
                 };
                 return r;
             }());
         },
         std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetch f;
        f.serve(ok(body(250000)));
        c.setUp(f);
        EXPECT_EQ(f.run(), FetchOutcome::Aborted);
        EXPECT_TRUE(f.ui.messages.empty());
        EXPECT_TRUE(f.allClosed());
        ASSERT_EQ(f.m.http.requests.size(), 1u);
        EXPECT_EQ(f.m.http.requests[0].sends, static_cast<int>(c.sends));
        EXPECT_EQ(f.m.http.credentialPrompts, 0);
        for (const Event& e : f.events.events) EXPECT_TRUE(e.code == DownloadStarted || e.code == DownloadProgress);
        if (c.temporaryBytes) {
            EXPECT_EQ(f.temporaryFile(), body(250000).substr(0, *c.temporaryBytes));
        } else {
            EXPECT_FALSE(f.temporaryFile());
        }
        EXPECT_EQ(f.finalFile().has_value(), c.finalInPlace);
    }
}

TEST(FetchComponentFile, AbortIsHonouredBeforeTheNextChunkIsWritten) {
    // Network reads of single chunks: the flag raised during the 11th read leaves exactly 10 chunks.
    MaxChunksPerRead chunks(1);
    Fetch f;
    f.m.http.maxReadBytes = 1023;
    f.context.forceDownload = true;
    f.m.files.addFile(f.paths.final, "earlier");
    FakeResponse r = ok(body(250000));
    r.beforeRead = [&f](std::size_t delivered) {
        if (delivered == 10 * 1023) f.abortFlag = 1;
    };
    f.serve(r);
    EXPECT_EQ(f.run(), FetchOutcome::Aborted);
    EXPECT_EQ(f.temporaryFile(), body(10 * 1023));
    EXPECT_FALSE(f.finalFile());  // set aside before the transfer; settling it is the dialog's business
    EXPECT_EQ(f.m.files.content(f.paths.backup), "earlier");
    EXPECT_EQ(f.events.events, startedOnly(244));
}

TEST(FetchComponentFile, AnAbortSignalCancelsTheRequestInFlightAndEndsAsAnAbort) {
    // The dialog aborts from its own thread while the worker waits inside a read: the signal closes the request
    // (the fake then fails every read as a closed handle does), and the worker ends quietly instead of telling
    // the user about a broken connection.
    struct Case {
        const char* name;
        std::size_t abortAt;  // bytes delivered when the abort comes
    } cases[] = {{"during the first read", 0}, {"in the middle of the body", 50 * 1023}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetch f;
        AbortSignal signal;
        f.context.abortFlag = nullptr;
        f.context.abortSignal = &signal;
        FakeResponse r = ok(body(250000));
        r.beforeRead = [&signal, &c](std::size_t delivered) {
            if (delivered >= c.abortAt) signal.abort();
        };
        f.serve(r);
        EXPECT_EQ(f.run(), FetchOutcome::Aborted);
        EXPECT_EQ(f.m.http.cancels, 1);
        EXPECT_TRUE(f.ui.messages.empty());
        EXPECT_FALSE(f.finalFile());
        EXPECT_TRUE(f.allClosed());
        // Abort again after the request is gone: nothing is left to cancel, and nothing breaks.
        signal.abort();
        EXPECT_EQ(f.m.http.cancels, 1);
    }
}

TEST(FetchComponentFile, AnAbortBeforeTheRequestOpensCancelsItAsSoonAsItExists) {
    Fetch f;
    AbortSignal signal;
    signal.abort();
    f.context.abortSignal = &signal;
    f.serve(ok("x"));
    EXPECT_EQ(f.run(), FetchOutcome::Aborted);
    EXPECT_EQ(f.m.http.cancels, 1);
    EXPECT_FALSE(f.finalFile());
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(FetchComponentFile, AbortDuringAProgressEventKeepsEveryChunkWrittenBeforeIt) {
    // The 100 KB mark follows the 101st chunk; the flag raised while the dialog handles it stops the copy
    // before the 102nd chunk, in the middle of a network block.
    for (std::size_t maxChunks : {1u, 8u, 256u}) {
        SCOPED_TRACE(maxChunks);
        MaxChunksPerRead chunks(maxChunks);
        Fetch f;
        f.serve(ok(body(250000)));
        f.events.onProgress = [&f](int32_t) { f.abortFlag = 1; };
        EXPECT_EQ(f.run(), FetchOutcome::Aborted);
        EXPECT_EQ(f.events.events, (std::vector<Event>{{DownloadStarted, 244}, {DownloadProgress, 100}}));
        EXPECT_EQ(f.temporaryFile(), body(101 * 1023));
        EXPECT_FALSE(f.finalFile());
    }
}

TEST(FetchComponentFile, NetworkReadsGrowWhileFastAndShrinkWhenSlow) {
    // The size of each read shows in how much had been delivered before the next one.
    struct Case {
        const char* name;
        std::function<uint32_t(std::size_t read)> readMs;  // how long the n-th read takes
        std::vector<std::size_t> chunksPerRead;           // the first reads' sizes, in copy chunks
    } cases[] = {
        {"fast", [](std::size_t) { return 0u; }, {8, 16, 32, 64, 128, 256, 256}},
        {"exactly fast enough", [](std::size_t) { return 20u; }, {8, 16, 32, 64, 128}},
        {"between", [](std::size_t) { return 100u; }, {8, 8, 8, 8}},
        {"slow", [](std::size_t) { return 251u; }, {8, 4, 2, 1, 1, 1}},
        {"slow then fast", [](std::size_t n) { return n < 3 ? 400u : 0u; }, {8, 4, 2, 1, 2, 4, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetch f;
        std::vector<std::size_t> delivered;
        FakeResponse r = ok(body(4 * 1024 * 1024));
        r.beforeRead = [&](std::size_t so_far) {
            f.m.clock.ticks += c.readMs(delivered.size());
            delivered.push_back(so_far);
        };
        f.m.http.maxReadBytes = std::size_t(1) << 30;
        f.serve(r);
        EXPECT_EQ(f.run(), FetchOutcome::Completed);
        EXPECT_EQ(f.finalFile(), body(4 * 1024 * 1024));
        ASSERT_GT(delivered.size(), c.chunksPerRead.size());
        for (std::size_t i = 0; i < c.chunksPerRead.size(); ++i)
            EXPECT_EQ(delivered[i + 1] - delivered[i], c.chunksPerRead[i] * 1023) << "read " << i;
    }
}

TEST(ProgressPosition, IsPerMilleAndLeavesTheBarAloneWithoutATotal) {
    struct Case {
        int32_t received, total;
        std::optional<int> position;
    } cases[] = {{0, 244, 0},        {100, 244, 409},     {244, 244, 1000},         {300, 244, 1000},
                 {100, 0, std::nullopt}, {100, -2, std::nullopt}, {-5, 10, 0},
                 {2147483647, 2147483647, 1000}, {2000000, 2147483647, 0}};
    for (const Case& c : cases) EXPECT_EQ(progressPosition(c.received, c.total), c.position) << c.received << "/" << c.total;
}

TEST(FetchErrorText, MapsEveryCodeOfTheTable) {
    struct Case {
        int32_t code;
        const char* text;
    } cases[] = {{-1001, "Error - Invalid URL"},
                 {-1002, "Error - Server does not provide HTTP service"},
                 {-1003, "Error - Login rejected by the server"},
                 {-1004, "Error - Server Redirection"},
                 {-1005, "Error - Insufficient buffers"},
                 {404, "Server responded with HTTP error - 404"},
                 {1, "Server responded with HTTP error - 1"},
                 {0, "Unexpected error"},
                 {-1006, "Unexpected error"},
                 {-3001, "Unexpected error"}};
    for (const Case& c : cases) EXPECT_EQ(fetchErrorText(c.code), c.text) << c.code;
}
