// Downloads that continue a broken transfer, downloads checked against the checksum file beside them, and
// secure addresses, through both download forms against the in-memory internet layer.
#include <atomic>
#include <gtest/gtest.h>

#include "components/ServerAddress.h"
#include "download/DownloadTexts.h"
#include "download/Fetch.h"
#include "download/Integrity.h"
#include "download/Sha256.h"
#include "FetchTestSupport.h"

using namespace download;
using namespace fetchtest;
using platform::fake::FakeMachine;
using platform::fake::FakeRequestRecord;
using platform::fake::FakeResponse;
namespace httpflag = platform::httpflag;

namespace {

const char* Object = "/orvanta/files/python 26/python-2.6.6.msi";
const char* FileName = "python-2.6.6.msi";
const std::size_t Size = 250000;

// A server for the one file that honours Range with If-Range as HTTP/1.1 says, and remembers what it sent.
struct RangeServer {
    std::string content = body(Size);
    std::optional<std::string> etag = std::string("\"v1\"");
    std::optional<std::string> lastModified;
    bool ranges = true;                         // false: Range is ignored (whole file, 200)
    std::optional<FakeResponse> checksumFile;   // the answer for "<file>.sha256"; nullopt: 404
    std::size_t cutAfter = std::string::npos;   // the body of the next answer breaks off after this many bytes
    std::vector<uint32_t> statuses;             // of the file's answers, in order
    std::size_t bodyBytesSent = 0;              // of the file's answers

    std::optional<FakeResponse> answer(const FakeRequestRecord& r) {
        if (r.object == std::string(Object) + ".sha256") {
            if (checksumFile) return checksumFile;
            return status(404);
        }
        if (r.object != Object) return std::nullopt;
        FakeResponse response;
        if (etag) response.headers["ETag"] = *etag;
        if (lastModified) response.headers["Last-Modified"] = *lastModified;
        std::size_t from = 0;
        std::string range = header(r.headers, "Range"), ifRange = header(r.headers, "If-Range");
        bool sameFile = ifRange.empty() || (etag && ifRange == *etag) || (!etag && lastModified && ifRange == *lastModified);
        if (ranges && !range.empty() && sameFile) {
            from = std::stoul(range.substr(range.find('=') + 1));
            if (from >= content.size()) {
                response.status = 416;
                response.headers["Content-Range"] = "bytes */" + std::to_string(content.size());
                statuses.push_back(416);
                return response;
            }
            response.status = 206;
            response.headers["Content-Range"] = "bytes " + std::to_string(from) + "-" +
                                                std::to_string(content.size() - 1) + "/" + std::to_string(content.size());
        }
        response.body = content.substr(from);
        response.failAfter = cutAfter;
        cutAfter = std::string::npos;
        bodyBytesSent += std::min(response.body.size(), response.failAfter);
        statuses.push_back(response.status);
        return response;
    }

    static std::string header(const std::string& headers, const std::string& name) {
        std::size_t at = headers.find(name + ": ");
        if (at == std::string::npos) return {};
        std::size_t end = headers.find("\r\n", at);
        return headers.substr(at + name.size() + 2, end - at - name.size() - 2);
    }
};

struct Fetch {
    FakeMachine m;
    RangeServer server;
    RecordingEvents events;
    HandleCheckingUi ui{m.http};
    std::atomic<uint8_t> abortFlag{0};
    FetchContext context;
    DownloadPaths paths = downloadPaths(Folder, FileName);
    std::string url = std::string("http://") + Server + Object;

    Fetch() {
        m.files.addFolder(Folder);
        m.http.addServer(Server, 80);
        m.http.respond = [this](const FakeRequestRecord& r) { return server.answer(r); };
        context.downloadUrl = url;
        context.paths = paths;
        context.abortFlag = &abortFlag;
    }
    FetchOutcome run() { return FetchComponentFile(m, context, events, ui).outcome; }
    int runSynchronous() { return DownloadFile(m, Folder, FileName, &abortFlag, url); }

    std::optional<std::string> finalFile() { return m.files.content(paths.final); }
    std::optional<std::string> temporaryFile() { return m.files.content(paths.temporary); }
    std::optional<std::string> record() { return m.files.content(resumeRecordPath(paths.temporary)); }
    bool allClosed() const { return m.http.sessionsOpen == 0 && m.http.connectionsOpen == 0 && m.http.requestsOpen == 0; }
    std::vector<std::string> fileRequestHeaders() const {
        std::vector<std::string> out;
        for (const auto& r : m.http.requests)
            if (r.object == Object) out.push_back(r.headers);
        return out;
    }
    // A first attempt that breaks off after `bytes`, leaving its temporary file and record.
    void breakOffAfter(std::size_t bytes) {
        server.cutAfter = bytes;
        ASSERT_EQ(run(), FetchOutcome::Failed);
        ASSERT_EQ(temporaryFile()->size(), bytes);
        ui.messages.clear();
        events.events.clear();
    }
};

FakeResponse checksumAnswer(const std::string& text) {
    FakeResponse response;
    response.body = text;
    return response;
}

}  // namespace

TEST(ResumedFetch, ABrokenTransferLeavesItsFileAndRecordAndTheNextAsksOnlyForTheRest) {
    Fetch f;
    f.breakOffAfter(100000);
    EXPECT_EQ(f.record(), formatResumeRecord({f.url, "\"v1\""}));
    EXPECT_FALSE(f.finalFile());

    EXPECT_EQ(f.run(), FetchOutcome::Completed);
    EXPECT_EQ(f.finalFile(), f.server.content);
    EXPECT_FALSE(f.temporaryFile());
    EXPECT_FALSE(f.record());
    EXPECT_EQ(f.server.statuses, (std::vector<uint32_t>{200, 206}));
    EXPECT_EQ(f.server.bodyBytesSent, Size);  // 100000 the first time, the rest the second
    ASSERT_EQ(f.fileRequestHeaders().size(), 2u);
    EXPECT_EQ(f.fileRequestHeaders()[0], "");
    EXPECT_EQ(f.fileRequestHeaders()[1], "Range: bytes=100000-\r\nIf-Range: \"v1\"\r\n");
    // The dialog sees the whole file's size, and the marks go on from where the first attempt stopped (it
    // stopped short of the first one).
    EXPECT_EQ(f.events.events, (std::vector<Event>{{DownloadStarted, 244}, {DownloadProgress, 100}, {DownloadProgress, 200}}));
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_TRUE(f.allClosed());
}

TEST(ResumedFetch, EachAnswerToAResumedRequestDecidesBetweenAppendingAndStartingOver) {
    struct Case {
        const char* name;
        std::function<void(Fetch&)> between;  // after the break, before the second attempt
        std::vector<uint32_t> statuses;
        std::size_t secondAttemptBytes;
        std::size_t fileRequests;
    } cases[] = {
        {"206: the rest is appended", [](Fetch&) {}, {200, 206}, Size - 100000, 2},
        {"the server ignores ranges: 200, started over", [](Fetch& f) { f.server.ranges = false; }, {200, 200}, Size, 2},
        {"the file changed (new ETag): 200, started over",
         [](Fetch& f) {
             f.server.etag = "\"v2\"";
             f.server.content = body(Size + 10).substr(10);
         },
         {200, 200}, Size, 2},
        {"the server now names only a date, not the kept ETag: 200, started over",
         [](Fetch& f) {
             f.server.etag.reset();
             f.server.lastModified = "Wed, 21 Oct 2015 07:28:00 GMT";
         },
         {200, 200}, Size, 2},
        {"a leftover as long as the file: 416, asked again without a range",
         [](Fetch& f) {
             f.m.files.addFile(f.paths.temporary, f.server.content);
         },
         {200, 416, 200}, Size, 3},
        {"a leftover longer than the file: 416, asked again",
         [](Fetch& f) {
             f.m.files.addFile(f.paths.temporary, f.server.content + "extra");
         },
         {200, 416, 200}, Size, 3},
        {"no record beside the leftover: the plain request, which overwrites it",
         [](Fetch& f) { f.m.files.deleteFile(resumeRecordPath(f.paths.temporary)); }, {200, 200}, Size, 2},
        {"a record of another address: not resumed",
         [](Fetch& f) {
             f.m.files.addFile(resumeRecordPath(f.paths.temporary),
                               formatResumeRecord({"http://elsewhere.test/x.msi", "\"v1\""}));
         },
         {200, 200}, Size, 2},
        {"a damaged record: not resumed",
         [](Fetch& f) { f.m.files.addFile(resumeRecordPath(f.paths.temporary), std::string("\x00\xff garbage", 10)); },
         {200, 200}, Size, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetch f;
        f.breakOffAfter(100000);
        const std::size_t firstAttempt = f.server.bodyBytesSent;
        c.between(f);
        EXPECT_EQ(f.run(), FetchOutcome::Completed);
        EXPECT_EQ(f.finalFile(), f.server.content);
        EXPECT_FALSE(f.temporaryFile());
        EXPECT_FALSE(f.record());
        EXPECT_EQ(f.server.statuses, c.statuses);
        EXPECT_EQ(f.server.bodyBytesSent - firstAttempt, c.secondAttemptBytes);
        EXPECT_EQ(f.fileRequestHeaders().size(), c.fileRequests);
        EXPECT_TRUE(f.ui.messages.empty());
        EXPECT_TRUE(f.allClosed());
    }
}

TEST(ResumedFetch, ResumesOnTheDateWithoutAnETagAndNotAtAllWithoutEither) {
    const std::string date = "Wed, 21 Oct 2015 07:28:00 GMT";
    for (bool dated : {true, false}) {
        SCOPED_TRACE(dated ? "Last-Modified only" : "no validator");
        Fetch f;
        f.server.etag.reset();
        if (dated) f.server.lastModified = date;
        f.breakOffAfter(100000);
        EXPECT_EQ(f.record().has_value(), dated);
        EXPECT_EQ(f.run(), FetchOutcome::Completed);
        EXPECT_EQ(f.fileRequestHeaders(),
                  (std::vector<std::string>{"", dated ? resumeHeaders(100000, date) : std::string()}));
        EXPECT_EQ(f.server.statuses, (std::vector<uint32_t>{200, dated ? 206u : 200u}));
        EXPECT_EQ(f.finalFile(), f.server.content);
    }
}

TEST(ResumedFetch, AnAbortedTransferIsResumedByTheSynchronousFormToo) {
    Fetch f;
    f.m.http.respond = [&f](const FakeRequestRecord& r) {
        std::optional<FakeResponse> answer = f.server.answer(r);
        if (answer && r.headers.empty() && r.object == Object)
            answer->beforeRead = [&f](std::size_t delivered) {
                if (delivered >= 60000) f.abortFlag = 1;
            };
        return answer;
    };
    EXPECT_EQ(f.runSynchronous(), downloadresult::Aborted);
    ASSERT_TRUE(f.temporaryFile());
    const std::size_t kept = f.temporaryFile()->size();
    EXPECT_GE(kept, 60000u);
    EXPECT_TRUE(f.record());

    f.abortFlag = 0;
    EXPECT_EQ(f.runSynchronous(), downloadresult::Success);
    EXPECT_EQ(f.finalFile(), f.server.content);
    EXPECT_EQ(f.fileRequestHeaders().back(), resumeHeaders(kept, "\"v1\""));
    EXPECT_EQ(f.server.statuses.back(), 206u);
}

TEST(CheckedFetch, AMatchingChecksumFileLetsTheFileInAndAMismatchDeletesIt) {
    const std::string good = toHex(sha256(body(Size)));
    const std::string bad = toHex(sha256("something else"));
    struct Case {
        const char* name;
        std::optional<std::string> checksumFile;  // nullopt: 404
        bool damaged;
        bool verified;
    } cases[] = {
        {"no checksum file", std::nullopt, false, false},
        {"matching, sha256sum form", good + "  " + FileName + "\n", false, true},
        {"matching, bare digest", good, false, true},
        {"not matching", bad + "  " + FileName + "\n", true, false},
        {"not matching, bare digest", bad + "\r\n", true, false},
        {"hostile: binary", std::string("\x00\x01\x02\xff", 4), false, false},
        {"hostile: huge", std::string(1 << 20, 'a'), false, false},
        {"hostile: digest of the wrong length", good.substr(0, 40) + "  " + FileName, false, false},
        {"only for another file", bad + "  other.msi\n", false, false},
    };
    for (const Case& c : cases) {
        for (bool synchronous : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (synchronous ? " (synchronous)" : " (worker)"));
            Fetch f;
            if (c.checksumFile) f.server.checksumFile = checksumAnswer(*c.checksumFile);
            // A checksum file left beside an earlier download.
            const std::string kept = f.paths.final + ".sha256";
            f.m.files.addFile(kept, bad + "  " + FileName + "\n");
            if (synchronous) {
                EXPECT_EQ(f.runSynchronous(), c.damaged ? downloadresult::Damaged : downloadresult::Success);
            } else {
                EXPECT_EQ(f.run(), c.damaged ? FetchOutcome::Failed : FetchOutcome::Completed);
                if (c.damaged) {
                    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{std::string("Error. Unable to download file - ") +
                                                                     downloadtexts::ArrivedDamaged});
                } else {
                    EXPECT_TRUE(f.ui.messages.empty());
                }
            }
            EXPECT_EQ(f.finalFile().has_value(), !c.damaged);
            EXPECT_FALSE(f.temporaryFile());
            EXPECT_FALSE(f.record());
            EXPECT_TRUE(f.allClosed());
            if (!synchronous && !c.damaged) {
                // A component download keeps the checksum it was checked against beside it (the offline copy
                // carries it along), and never an earlier one that no longer belongs to it.
                EXPECT_EQ(f.m.files.content(kept), c.verified ? c.checksumFile : std::nullopt);
            }
            // The checksum file is asked for once, after the file, with the file's flags.
            ASSERT_EQ(f.m.http.requests.size(), 2u);
            EXPECT_EQ(f.m.http.requests[1].object, std::string(Object) + ".sha256");
            EXPECT_EQ(f.m.http.requests[1].flags, f.m.http.requests[0].flags);
        }
    }
}

TEST(CheckedFetch, AResumedFileIsCheckedAsAWhole) {
    for (bool appendedBytesDamaged : {false, true}) {
        Fetch f;
        f.server.checksumFile = checksumAnswer(toHex(sha256(f.server.content)));
        f.breakOffAfter(100000);
        if (appendedBytesDamaged) f.server.content[200000] ^= 0x55;  // the rest arrives damaged
        EXPECT_EQ(f.run(), appendedBytesDamaged ? FetchOutcome::Failed : FetchOutcome::Completed);
        EXPECT_EQ(f.finalFile().has_value(), !appendedBytesDamaged);
        EXPECT_EQ(f.server.statuses.back(), 206u);
        EXPECT_FALSE(f.temporaryFile());
        EXPECT_FALSE(f.record());
    }
}

TEST(CheckedFetch, NoChecksumIsAskedForAFileAlreadyThereOrAFailedTransfer) {
    Fetch present;
    present.m.files.addFile(present.paths.final, "kept");
    EXPECT_EQ(present.run(), FetchOutcome::AlreadyPresent);
    EXPECT_TRUE(present.m.http.requests.empty());

    Fetch failed;
    failed.server.cutAfter = 5000;
    EXPECT_EQ(failed.run(), FetchOutcome::Failed);
    ASSERT_EQ(failed.m.http.requests.size(), 1u);
}

TEST(SecureFetch, HttpsIsUsedWithTlsOnlyBelowAnHttpsServerBase) {
    struct Case {
        std::optional<std::string> base;
        std::string url;
        bool secure;
    } cases[] = {
        {std::nullopt, std::string("https://") + Server + Object, false},
        {std::string("http://") + Server, std::string("https://") + Server + Object, false},
        {std::string("https://") + Server, std::string("https://") + Server + Object, true},
        {std::string("HTTPS://") + Server + "/", std::string("https://") + Server + Object, true},
        {std::string("https://") + Server, std::string("https://") + Server + ".evil.test" + Object, false},
        {std::string("https://") + Server, std::string("https://other.test") + Object, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url + " under " + c.base.value_or("(default)"));
        Fetch f;
        f.m.http.addServer(Server, 443);
        if (c.base) f.m.environment.setVariable(components::ServerOverrideVariable, c.base);
        f.url = f.context.downloadUrl = c.url;
        EXPECT_EQ(f.runSynchronous(), c.secure ? downloadresult::Success : downloadresult::NotHttp);
        if (c.secure) {
            ASSERT_EQ(f.m.http.requests.size(), 2u);
            EXPECT_EQ(f.m.http.requests[0].port, 443);
            EXPECT_TRUE(f.m.http.requests[0].flags & httpflag::Secure);
            EXPECT_TRUE(f.m.http.requests[1].flags & httpflag::Secure);
            EXPECT_EQ(f.finalFile(), f.server.content);
        } else {
            EXPECT_TRUE(f.m.http.requests.empty());
        }
    }
}

TEST(SecureFetch, PlainAddressesNeverAskForTls) {
    Fetch f;
    EXPECT_EQ(f.run(), FetchOutcome::Completed);
    for (const auto& r : f.m.http.requests) EXPECT_FALSE(r.flags & httpflag::Secure);
}
