// Fetching one file from the vendor server over plain HTTP.
//
// A download lands under a temporary name and is moved to its final name only once the whole body has
// arrived, so a half-transferred file never bears the final name. Two forms share the steps: the worker-
// thread form reports to its dialog and shows its failures; the synchronous form only returns a code.
//
// A transfer that broke off is continued by the next fetch of the same address where the server allows it,
// and a finished file is checked against the SHA-256 checksum file the server publishes beside it, if any,
// before it takes its final name (download/Integrity.h). An https address is fetched over TLS when it lies
// below an https vendor server base; other non-HTTP addresses are refused.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <cstdint>
#include <optional>
#include <string>

#include "app/UserInterface.h"
#include "download/CustomSession.h"
#include "platform/Machine.h"

namespace download {

// temporary = folder\file + "tmp", final = folder\file, backup = folder\file + "bk".
struct DownloadPaths {
    std::string temporary;
    std::string final;
    std::string backup;
};
DownloadPaths downloadPaths(const std::string& folder, const std::string& fileName);

// Windows' path limit: the temporary path (the longest of the three) must stay below it.
inline constexpr std::size_t MaxPathChars = 260;
bool pathTooLong(const DownloadPaths& paths);

// A byte that another thread sets to 1 to stop the fetch. Read afresh at every check; the fetch never clears
// it. A null pointer never asks to stop.
using AbortFlag = const std::atomic<uint8_t>*;

// How a dialog stops its worker's download at once. Setting the flag alone lets the worker stop at its next
// check, but a network read that is waiting for data (on Windows a read waits for the whole requested size)
// only returns when its request handle is closed; abort() does both, from any thread, any number of times.
class AbortSignal {
public:
    AbortSignal() = default;
    AbortSignal(const AbortSignal&) = delete;
    AbortSignal& operator=(const AbortSignal&) = delete;

    void abort();
    bool aborted() const { return flag_.load() != 0; }
    AbortFlag flag() const { return &flag_; }

    // The fetch announces the request it is working on and withdraws it before closing it itself.
    void attach(platform::HttpRequest* request);
    void detach();

private:
    std::atomic<uint8_t> flag_{0};
    std::mutex mutex_;
    platform::HttpRequest* request_ = nullptr;
};

// The worker's events to its dialog (the first parameter of its message).
enum WorkerEvent : int {
    DownloadStarted = 100,
    DownloadProgress = 101,
    DownloadCompleted = 102,
    DownloadFailed = 103,
    InstallCompleted = 104,
};

// Where the worker-thread form reports, synchronously: each call returns once the dialog has handled it.
class FetchEvents {
public:
    virtual ~FetchEvents() = default;
    // Once the temporary file is open: the announced size in whole KB (0 when the server gave none).
    virtual void downloadStarted(int32_t totalKilobytes) = 0;
    // At most once per 100 KiB received: the whole KB received so far.
    virtual void downloadProgress(int32_t kilobytes) = 0;
    virtual void downloadCompleted() = 0;
    virtual void downloadFailed() = 0;
};

// What the worker-thread form works from: the component record's address and flag, the dialog's paths,
// flags and abort byte.
struct FetchContext {
    std::string downloadUrl;
    bool alwaysDownload = false;  // bypass caches (does not by itself replace an existing file)
    DownloadPaths paths;
    bool forceDownload = false;   // replace an existing final file (it goes to the backup path first)
    bool reportErrors = true;     // show failures in the application's message box
    bool downloadOnly = false;    // only chooses the wording of an unexpected failure
    AbortFlag abortFlag = nullptr;
    // When set, the open request is attached to it so that an abort from another thread cancels it.
    AbortSignal* abortSignal = nullptr;
};

enum class FetchOutcome {
    Completed,       // the file was transferred and is in place                     -> DownloadCompleted
    MoveFailed,      // transferred, but it could not take its final name (told)     -> DownloadCompleted
    AlreadyPresent,  // the final file was there and stays; no network access        -> DownloadCompleted
    Failed,          // the transfer failed (told when reportErrors)                 -> DownloadFailed
    Unexpected,      // an unexpected failure (told when reportErrors)               -> DownloadFailed
    PathTooLong,     // DownloadFailed was sent already, then told, then 5 s pause   -> nothing more
    Aborted,         // the abort flag stopped it; a partial temporary file may stay -> nothing at all
};

struct FetchResult {
    FetchOutcome outcome = FetchOutcome::Failed;
    // After these the worker does not run the component's installer.
    bool skipInstall() const {
        return outcome == FetchOutcome::Unexpected || outcome == FetchOutcome::PathTooLong ||
               outcome == FetchOutcome::Aborted;
    }
};

// The download half of the download-and-install worker. Everything it opened is closed before it returns;
// the outcome event (DownloadCompleted / DownloadFailed) is left to the caller, except for a path that is
// too long, whose DownloadFailed goes out before the message.
FetchResult FetchComponentFile(platform::Machine& machine, const FetchContext& context, FetchEvents& events,
                               ui::UserInterface& ui);

// The synchronous form (no dialog, no message). Always replaces an existing final file, whose backup stays.
// 1 in place; 0 unexpected failure; -2004 path too long; -2005 aborted; -3001..-3004 as the worker's
// -1001..-1004; -3006 could not take its final name; -3007 internet error; -3008 any HTTP status but 200;
// -3009 the file arrived damaged (it does not match the checksum published beside it) and was deleted.
namespace downloadresult {
constexpr int Success = 1;
constexpr int Unexpected = 0;
constexpr int PathTooLong = -2004;
constexpr int Aborted = -2005;
constexpr int InvalidUrl = -3001;
constexpr int NotHttp = -3002;
constexpr int LoginRejected = -3003;
constexpr int Redirection = -3004;
constexpr int MoveFailed = -3006;
constexpr int InternetFailure = -3007;
constexpr int HttpStatus = -3008;
constexpr int Damaged = -3009;
}  // namespace downloadresult
int DownloadFile(platform::Machine& machine, const std::string& folder, const std::string& fileName,
                 AbortFlag abortFlag, const std::string& url);
// The same, stoppable from another thread through the signal (null: never stopped), the blocked network call
// included.
int DownloadFile(platform::Machine& machine, const std::string& folder, const std::string& fileName,
                 AbortSignal* abort, const std::string& url);

// The progress bar's position (0..1000) for received of total KB; nullopt when the total is unknown (0 or
// less), in which case the bar stays where it is.
std::optional<int> progressPosition(int32_t receivedKilobytes, int32_t totalKilobytes);

// The body is accounted and written in copy chunks of at most this many bytes, whatever the network
// delivers at once; progress marks and abort checks fall on chunk boundaries.
inline constexpr std::size_t CopyChunkBytes = 1023;
inline constexpr uint64_t ProgressStepBytes = 102400;

// A network read asks for a whole number of copy chunks: first FirstChunksPerRead, twice as many after a read
// that came back within FastReadMs, half as many after one that took longer than SlowReadMs, never more than
// maxChunksPerNetworkRead. Under Wine every read costs its own overhead, so a fast download wants large
// reads; on a slow link small reads keep the worker near its abort checks (its dialog waits only 5 s for it).
inline constexpr std::size_t FirstChunksPerRead = 8;
inline constexpr std::size_t DefaultMaxChunksPerRead = 256;
inline constexpr uint32_t FastReadMs = 20;
inline constexpr uint32_t SlowReadMs = 250;
// Changed only by benchmarks and tests that compare read sizes.
extern std::size_t maxChunksPerNetworkRead;

}  // namespace download
