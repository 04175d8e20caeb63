#include "download/Fetch.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <vector>

#include "app/FileUtils.h"
#include "app/RunLog.h"
#include "app/RunLogTexts.h"
#include "components/ServerAddress.h"
#include "download/DownloadTexts.h"
#include "download/Integrity.h"
#include "download/Sha256.h"
#include "download/Url.h"
#include "platform/TextCompare.h"
#include "platform/TextFormat.h"

namespace download {

std::size_t maxChunksPerNetworkRead = DefaultMaxChunksPerRead;

namespace {

using platform::attr::Archive;
constexpr uint32_t ReplaceFlags = platform::moveflag::ReplaceExisting | platform::moveflag::WriteThrough;

// The synchronous form's codes are the worker's codes moved down by this much.
constexpr int32_t SynchronousCodeShift = -2000;
// The internet layer's code for a connection that broke off (ERROR_INTERNET_CONNECTION_ABORTED).
constexpr uint32_t ConnectionAborted = 12030;
// The platform's text goes into a 1024-byte buffer.
constexpr std::size_t MaxPlatformTextChars = 1023;

// A failure of the temporary file itself: no code of its own, an unexpected failure for both forms.
class FileFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool aborted(AbortFlag flag) { return flag != nullptr && flag->load() != 0; }

int32_t clampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// The C library's signed decimal conversion (blanks, sign, digits up to the first other character; 0 when
// there are none), saturating instead of overflowing.
int64_t signedDecimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        int digit = text[i] - '0';
        if (value > (std::numeric_limits<int64_t>::max() - digit) / 10) {
            value = std::numeric_limits<int64_t>::max();
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

// The announced length when the header is a plain number, which is when a short body can be told apart.
std::optional<uint64_t> announcedLength(const std::optional<std::string>& header) {
    if (!header) return std::nullopt;
    std::string text = *header;
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    text.erase(0, first);
    if (text.empty() || text.size() > 18 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    return std::stoull(text);
}

// Serves the body in copy chunks of at most CopyChunkBytes, reading the network a block of chunks at a time
// (the block grows and shrinks with the speed of the reads). Chunks handed back as written are kept in the
// block and go to the file in one write before the next network read (or on flush), so the file ends up
// with exactly the written chunks.
class ChunkedBody {
public:
    ChunkedBody(platform::HttpRequest& request, platform::File& file, platform::Clock& clock, std::size_t maxChunks)
        : request_(request), file_(file), clock_(clock), maxChunks_(std::max<std::size_t>(maxChunks, 1)),
          chunks_(std::min(FirstChunksPerRead, maxChunks_)), block_(maxChunks_ * CopyChunkBytes) {}

    // The next chunk's size; 0 at the end of the body.
    std::size_t next() {
        if (position_ == filled_) {
            flush();
            std::size_t asked = chunks_ * CopyChunkBytes;
            uint32_t before = clock_.tickCount();
            filled_ = std::min(request_.read(block_.data(), asked), asked);
            uint32_t took = clock_.tickCount() - before;
            if (took <= FastReadMs) {
                chunks_ = std::min(chunks_ * 2, maxChunks_);
            } else if (took > SlowReadMs) {
                chunks_ = std::max<std::size_t>(chunks_ / 2, 1);
            }
            position_ = pending_ = flushed_ = 0;
        }
        chunkBegin_ = position_;
        position_ += std::min(CopyChunkBytes, filled_ - position_);
        return position_ - chunkBegin_;
    }

    // Appends the current chunk to the file.
    void write() { pending_ = position_; }

    void flush() {
        if (pending_ > flushed_ && !file_.write(block_.data() + flushed_, pending_ - flushed_))
            throw FileFailure("cannot write the temporary file");
        flushed_ = pending_;
    }

private:
    platform::HttpRequest& request_;
    platform::File& file_;
    platform::Clock& clock_;
    std::size_t maxChunks_, chunks_;
    std::vector<char> block_;
    std::size_t filled_ = 0, position_ = 0, chunkBegin_ = 0, pending_ = 0, flushed_ = 0;
};

enum class TransferEnd { Transferred, Aborted };

// What a transfer got as far as it went, for the run log.
struct TransferReport {
    std::optional<uint32_t> status;
    uint64_t bytes = 0;
};

// Lets an abort from another thread cancel the request while it is open; withdrawn before the request closes.
class AttachedRequest {
public:
    AttachedRequest(AbortSignal* signal, platform::HttpRequest& request) : signal_(signal) {
        if (signal_) signal_->attach(&request);
    }
    ~AttachedRequest() {
        if (signal_) signal_->detach();
    }
    AttachedRequest(const AttachedRequest&) = delete;
    AttachedRequest& operator=(const AttachedRequest&) = delete;

private:
    AbortSignal* signal_;
};

// An https address is used (with TLS) only below a vendor server base that is itself https: the base is
// the one address the machine's administrator chose, so a list on the server cannot lead the installer to
// other secure hosts. Every other address of another service stays refused as not HTTP.
bool underSecureServerBase(platform::Machine& machine, const std::string& url) {
    const std::string base = components::serverBaseUrl(machine);
    const std::string scheme = "https://";
    if (base.size() <= scheme.size() || !text::equalsIgnoringCase(base.substr(0, scheme.size()), scheme)) return false;
    std::size_t begin = 0;
    while (begin < url.size() && (url[begin] == ' ' || url[begin] == '\t')) ++begin;
    if (url.size() - begin < base.size() || !text::equalsIgnoringCase(url.substr(begin, base.size()), base))
        return false;
    std::size_t next = begin + base.size();
    return next == url.size() || url[next] == '/' || url[next] == '?';
}

std::optional<std::string> readSmallFile(platform::Machine& machine, const std::string& path, std::size_t limit) {
    std::unique_ptr<platform::File> file = machine.files.open(path, platform::Access::Read, platform::Disposition::OpenExisting);
    if (!file) return std::nullopt;
    std::string text;
    char buffer[1024];
    for (;;) {
        long long got = file->read(buffer, sizeof(buffer));
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > limit) return std::nullopt;
    }
    return text;
}

// Writes a small text file; a file that could not be written whole is not left behind.
bool writeSmallFile(platform::Machine& machine, const std::string& path, const std::string& text) {
    std::unique_ptr<platform::File> file = machine.files.open(path, platform::Access::Write, platform::Disposition::CreateAlways);
    if (file && file->write(text.data(), text.size()) && file->close()) return true;
    file.reset();
    deleteFileIfPresent(machine, path);
    return false;
}

void writeResumeRecord(platform::Machine& machine, const std::string& path, const ResumeRecord& record) {
    // Without its record a temporary file is only started over, never resumed: a failure here costs nothing more.
    writeSmallFile(machine, path, formatResumeRecord(record));
}

// The resume a leftover temporary file allows: its size and the validator its record kept for this address.
struct ResumePlan {
    uint64_t offset = 0;
    std::string validator;
};

std::optional<ResumePlan> planResume(platform::Machine& machine, const std::string& url, const std::string& temporaryPath) {
    const std::string recordPath = resumeRecordPath(temporaryPath);
    if (!fileExists(machine, recordPath)) return std::nullopt;
    std::optional<std::string> text = readSmallFile(machine, recordPath, MaxResumeRecordBytes);
    std::optional<ResumeRecord> record = text ? parseResumeRecord(*text) : std::nullopt;
    if (!record || record->url != url || !fileExists(machine, temporaryPath)) return std::nullopt;
    std::unique_ptr<platform::File> file =
        machine.files.open(temporaryPath, platform::Access::Read, platform::Disposition::OpenExisting);
    std::optional<uint64_t> size = file ? file->size() : std::nullopt;
    if (!size || *size == 0) return std::nullopt;
    return ResumePlan{*size, record->validator};
}

// Steps from opening the session to the closed temporary file. Failures are thrown: platform::InternetError
// from the internet layer, CCustomException (worker codes) for what the fetch itself refuses, FileFailure
// for the temporary file. Everything opened here is closed when it returns or throws.
TransferEnd transfer(platform::Machine& machine, const std::string& url, uint32_t flags,
                     const std::string& temporaryPath, AbortFlag abortFlag, AbortSignal* signal,
                     FetchEvents* events, TransferReport& report) {
    CCustomSession session(machine.http);
    std::optional<ParsedUrl> parsed = parseUrl(url);
    if (!parsed) throw CCustomException(fetchcode::InvalidUrl);
    const bool secure = parsed->service == UrlService::Https && underSecureServerBase(machine, url);
    if (parsed->service != UrlService::Http && !secure) throw CCustomException(fetchcode::NotHttp);
    if (secure) flags |= platform::httpflag::Secure;

    const std::string recordPath = resumeRecordPath(temporaryPath);
    std::optional<ResumePlan> plan = planResume(machine, url, temporaryPath);
    std::unique_ptr<platform::HttpConnection> connection = session.session().connect(parsed->server, parsed->port);
    for (;;) {
        std::unique_ptr<platform::HttpRequest> request = connection->openRequest("GET", parsed->object, flags);
        AttachedRequest attached(signal, *request);
        if (aborted(abortFlag)) return TransferEnd::Aborted;

        auto send = [&] {
            if (plan)
                request->sendWithHeaders(resumeHeaders(plan->offset, plan->validator));
            else
                request->send();
        };
        send();
        uint32_t status = request->status();
        report.status = status;
        // A proxy that wants a login (407) is answered as the server's own request for one: the same prompt
        // (InternetErrorDlg handles both), then the request once more.
        if (status == 401 || status == 407) {
            if (aborted(abortFlag)) return TransferEnd::Aborted;
            if (request->promptCredentials() != platform::CredentialAnswer::Retry)
                throw CCustomException(fetchcode::LoginRejected);
            send();
            status = request->status();
            report.status = status;
        }
        request->rawHeaders();  // read as the framework does; nothing in it is used
        if (status == 301 || status == 302 || status == 303) throw CCustomException(fetchcode::Redirection);

        std::optional<std::string> validator =
            responseValidator(request->header("ETag"), request->header("Last-Modified"));
        bool append = false;
        if (plan) {
            ResumeAnswer answer = judgeResumeAnswer(status, plan->offset, plan->validator,
                                                    request->header("Content-Range"), validator);
            if (answer == ResumeAnswer::AskAgain) {
                // The leftover cannot be continued: forget it and ask for the whole file.
                runlog::line(std::string(downloadtexts::LogResumeRefused) + url + " (" + std::to_string(status) + ")");
                plan.reset();
                deleteFileIfPresent(machine, recordPath);
                continue;
            }
            append = answer == ResumeAnswer::Append;
            // Another answer than 206 needs no record of the old file any more; a new one is written below.
            if (!append) deleteFileIfPresent(machine, recordPath);
        }
        if (status != 200 && !append) throw HttpStatusError(status);

        if (aborted(abortFlag)) return TransferEnd::Aborted;
        const uint64_t offset = append ? plan->offset : 0;
        std::unique_ptr<platform::File> file =
            append ? machine.files.open(temporaryPath, platform::Access::Write, platform::Disposition::OpenExisting)
                   : machine.files.open(temporaryPath, platform::Access::Write, platform::Disposition::CreateAlways);
        if (!file) throw FileFailure("cannot create the temporary file");
        if (append && !file->seek(offset)) throw FileFailure("cannot continue the temporary file");
        if (append) runlog::line(std::string(downloadtexts::LogResumed) + url + " @" + std::to_string(offset));
        // The record goes beside the file before the body, so that a transfer that breaks off (or a program that
        // is ended) leaves what the next attempt needs to ask for the rest.
        if (validator)
            writeResumeRecord(machine, recordPath, {url, *validator});
        else
            deleteFileIfPresent(machine, recordPath);

        std::optional<std::string> lengthHeader = request->header("Content-Length");
        int64_t length = lengthHeader ? signedDecimal(*lengthHeader) : 0;
        if (events) events->downloadStarted(clampToInt32((length + static_cast<int64_t>(offset)) / 1024));

        ChunkedBody body(*request, *file, machine.clock, maxChunksPerNetworkRead);
        uint64_t received = 0;
        uint64_t total = offset, mark = offset - offset % ProgressStepBytes;
        std::size_t chunk = body.next();
        while (chunk > 0) {
            if (aborted(abortFlag)) {
                // Keep what was written so far; the file is only a leftover now, so a failure here changes nothing.
                try {
                    body.flush();
                } catch (const FileFailure&) {
                }
                file->close();
                return TransferEnd::Aborted;
            }
            body.write();
            std::size_t written = chunk;
            chunk = body.next();
            total += written;
            received += written;
            report.bytes = received;
            if (total > mark + ProgressStepBytes) {
                mark += ProgressStepBytes;
                if (events) events->downloadProgress(clampToInt32(static_cast<int64_t>(total / 1024)));
            }
        }
        body.flush();
        if (!file->close()) throw FileFailure("cannot close the temporary file");

        // A connection that breaks off can look like the end of the body; a file shorter than announced must not
        // take the final name (it would be run as an installer).
        std::optional<uint64_t> announced = announcedLength(lengthHeader);
        if (announced && received < *announced)
            throw platform::InternetError(ConnectionAborted, downloadtexts::BodyCutShort);
        // The whole body is there: nothing is left to resume.
        deleteFileIfPresent(machine, recordPath);
        return TransferEnd::Transferred;
    }
}

// The transfer with one run-log line saying how it ended: URL, HTTP status, bytes and duration.
TransferEnd loggedTransfer(platform::Machine& machine, const std::string& url, uint32_t flags,
                           const std::string& temporaryPath, AbortFlag abortFlag, AbortSignal* signal,
                           FetchEvents* events) {
    namespace texts = runlogtexts;
    TransferReport report;
    const uint32_t started = machine.clock.tickCount();
    auto log = [&](const std::string& outcome) {
        std::string line = std::string(texts::Download) + url + " ->";
        line += report.status ? std::string(texts::Status) + std::to_string(*report.status) : texts::NoStatus;
        line += std::string(",") + texts::Bytes + std::to_string(report.bytes) + ", " +
                std::to_string(machine.clock.tickCount() - started) + texts::Duration + " " + outcome;
        runlog::line(line);
    };
    try {
        TransferEnd end = transfer(machine, url, flags, temporaryPath, abortFlag, signal, events, report);
        log(end == TransferEnd::Aborted ? texts::Aborted : texts::Transferred);
        return end;
    } catch (const platform::InternetError& error) {
        log(std::string(texts::FailedInternet) + std::to_string(error.code) + " " + error.what());
        throw;
    } catch (const CCustomException& error) {
        log(std::string(texts::FailedRefused) + std::to_string(error.errorCode));
        throw;
    } catch (const HttpStatusError&) {
        log(texts::FailedStatus);
        throw;
    } catch (const FileFailure& error) {
        log(std::string(texts::FailedFile) + std::string(error.what()));
        throw;
    } catch (...) {
        log(texts::FailedUnexpected);
        throw;
    }
}

enum class Verification { Unverified, Verified, Damaged, Aborted };

// The checksum file beside url, as received: nullopt when there is none the fetch can use (absent, any status
// but 200, a login wanted, too long, the network failing). Aborted when the abort flag stopped it.
std::optional<std::string> fetchChecksumFile(platform::Machine& machine, const std::string& url, uint32_t flags,
                                             AbortFlag abortFlag, AbortSignal* signal, bool& stopped) {
    stopped = false;
    try {
        CCustomSession session(machine.http);
        std::optional<ParsedUrl> parsed = parseUrl(url);
        if (!parsed) return std::nullopt;
        const bool secure = parsed->service == UrlService::Https && underSecureServerBase(machine, url);
        if (parsed->service != UrlService::Http && !secure) return std::nullopt;
        if (secure) flags |= platform::httpflag::Secure;
        std::unique_ptr<platform::HttpConnection> connection = session.session().connect(parsed->server, parsed->port);
        std::unique_ptr<platform::HttpRequest> request = connection->openRequest("GET", parsed->object, flags);
        AttachedRequest attached(signal, *request);
        if (aborted(abortFlag)) {
            stopped = true;
            return std::nullopt;
        }
        request->send();
        if (request->status() != 200) return std::nullopt;
        std::optional<uint64_t> announced = announcedLength(request->header("Content-Length"));
        if (announced && *announced > MaxChecksumFileBytes) return std::nullopt;
        std::string text;
        char buffer[1024];
        // One byte more than a checksum file may hold tells a longer one without reading it all.
        while (text.size() <= MaxChecksumFileBytes) {
            std::size_t got = request->read(buffer, std::min(sizeof(buffer), MaxChecksumFileBytes + 1 - text.size()));
            if (got == 0) break;
            text.append(buffer, got);
        }
        if (text.size() > MaxChecksumFileBytes) return std::nullopt;
        if (announced && text.size() < *announced) return std::nullopt;
        return text;
    } catch (const platform::InternetError&) {
        stopped = aborted(abortFlag);
        return std::nullopt;
    }
}

std::optional<Sha256Digest> fileDigest(platform::Machine& machine, const std::string& path) {
    std::unique_ptr<platform::File> file = machine.files.open(path, platform::Access::Read, platform::Disposition::OpenExisting);
    if (!file) return std::nullopt;
    Sha256 hash;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        long long got = file->read(buffer.data(), buffer.size());
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        hash.update(buffer.data(), static_cast<std::size_t>(got));
    }
    return hash.finish();
}

// Checks the finished temporary file against the checksum file the server publishes beside it, if any.
// A damaged file is deleted here. A file without a usable checksum file goes on unchecked, as a server
// without checksum files has always been served.
// checksumText receives the checksum file of a verified download.
Verification verifyDownload(platform::Machine& machine, const std::string& url, uint32_t flags,
                            const std::string& temporaryPath, AbortFlag abortFlag, AbortSignal* signal,
                            std::string* checksumText = nullptr) {
    // An abort that came with the end of the body is the caller's to notice after the move, as it always was:
    // no further request is started for it.
    if (aborted(abortFlag)) return Verification::Unverified;
    bool stopped = false;
    std::optional<std::string> text =
        fetchChecksumFile(machine, checksumFileUrl(url), flags, abortFlag, signal, stopped);
    if (stopped || aborted(abortFlag)) return Verification::Aborted;
    ChecksumFile checksum = text ? parseChecksumFile(*text, fileNameOfUrl(url)) : ChecksumFile{};
    if (!text || checksum.status != ChecksumFileStatus::Digest) {
        runlog::line(std::string(downloadtexts::LogChecksumAbsent) + url);
        return Verification::Unverified;
    }
    std::optional<Sha256Digest> digest = fileDigest(machine, temporaryPath);
    if (digest && *digest == checksum.digest) {
        runlog::line(std::string(downloadtexts::LogChecksumMatches) + url);
        if (checksumText) *checksumText = *text;
        return Verification::Verified;
    }
    runlog::line(std::string(downloadtexts::LogChecksumMismatch) + url);
    deleteFileIfPresent(machine, temporaryPath);
    deleteFileIfPresent(machine, resumeRecordPath(temporaryPath));
    return Verification::Damaged;
}

// An existing final file goes to the backup path; if it is still there (the move failed), it is deleted.
void setAsideFinalFile(platform::Machine& machine, const DownloadPaths& paths) {
    if (!fileExists(machine, paths.final)) return;
    // A read-only backup would refuse to be replaced and the final file would then be deleted outright.
    if (fileExists(machine, paths.backup)) machine.files.setAttributes(paths.backup, Archive);
    machine.files.moveFile(paths.final, paths.backup, ReplaceFlags);
    if (fileExists(machine, paths.final)) {
        machine.files.setAttributes(paths.final, Archive);
        machine.files.deleteFile(paths.final);
    }
}

bool moveIntoPlace(platform::Machine& machine, const DownloadPaths& paths) {
    if (fileExists(machine, paths.final)) machine.files.setAttributes(paths.final, Archive);
    return machine.files.moveFile(paths.temporary, paths.final, ReplaceFlags);
}

// Installers are never copied into the user's internet cache, and a file that must be fresh is asked for past
// every cache on the way.
uint32_t requestFlags(bool reload) {
    uint32_t flags = platform::httpflag::ExistingConnect | platform::httpflag::NoAutoRedirect |
                     platform::httpflag::NoCacheWrite;
    if (reload) flags |= platform::httpflag::Reload | platform::httpflag::PragmaNoCache;
    return flags;
}

}  // namespace

void AbortSignal::abort() {
    flag_.store(1);
    std::lock_guard<std::mutex> lock(mutex_);
    if (request_) request_->cancel();
}

void AbortSignal::attach(platform::HttpRequest* request) {
    std::lock_guard<std::mutex> lock(mutex_);
    request_ = request;
    // An abort that came before the request existed must still stop it.
    if (request_ && flag_.load() != 0) request_->cancel();
}

void AbortSignal::detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    request_ = nullptr;
}

DownloadPaths downloadPaths(const std::string& folder, const std::string& fileName) {
    std::string final = folder + "\\" + fileName;
    return {final + "tmp", final, final + "bk"};
}

bool pathTooLong(const DownloadPaths& paths) { return paths.temporary.size() >= MaxPathChars; }

FetchResult FetchComponentFile(platform::Machine& machine, const FetchContext& context, FetchEvents& events,
                               ui::UserInterface& ui) {
    const DownloadPaths& paths = context.paths;
    const AbortFlag abortFlag = context.abortSignal ? context.abortSignal->flag() : context.abortFlag;
    if (pathTooLong(paths)) {
        events.downloadFailed();
        if (context.reportErrors) ui.applicationMessage(downloadtexts::DownloadPathTooLong);
        machine.clock.sleep(5000);
        return {FetchOutcome::PathTooLong};
    }
    if (context.forceDownload) setAsideFinalFile(machine, paths);
    if (fileExists(machine, paths.final)) return {FetchOutcome::AlreadyPresent};

    FetchOutcome failure = FetchOutcome::Failed;
    std::string message;
    std::string checksumText;
    try {
        uint32_t flags = requestFlags(context.forceDownload || context.alwaysDownload);
        if (loggedTransfer(machine, context.downloadUrl, flags, paths.temporary, abortFlag, context.abortSignal,
                     &events) == TransferEnd::Aborted)
            return {FetchOutcome::Aborted};
        switch (verifyDownload(machine, context.downloadUrl, flags, paths.temporary, abortFlag, context.abortSignal,
                               &checksumText)) {
            case Verification::Aborted: return {FetchOutcome::Aborted};
            case Verification::Damaged:
                message = text::format(downloadtexts::UnableToDownloadFile, downloadtexts::ArrivedDamaged);
                break;
            default: break;
        }
    } catch (const platform::InternetError& error) {
        // A request cancelled by the abort ends in an internet error; it is an abort, not a failure to tell.
        if (aborted(abortFlag)) return {FetchOutcome::Aborted};
        message = text::format(downloadtexts::UnableToDownloadFile,
                               std::string(error.what()).substr(0, MaxPlatformTextChars).c_str());
    } catch (const CCustomException& error) {
        message = text::format(downloadtexts::UnableToDownloadFile, fetchErrorText(error.errorCode).c_str());
    } catch (const HttpStatusError& error) {
        message = text::format(downloadtexts::UnableToDownloadFile, httpStatusText(error.status).c_str());
    } catch (...) {
        failure = FetchOutcome::Unexpected;
        message = context.downloadOnly ? downloadtexts::UnexpectedDownloadError : downloadtexts::UnexpectedInstallError;
    }
    if (!message.empty()) {
        if (context.reportErrors) ui.applicationMessage(message);
        return {failure};
    }

    FetchOutcome outcome = FetchOutcome::Completed;
    if (!moveIntoPlace(machine, paths)) {
        if (context.reportErrors) ui.applicationMessage(downloadtexts::UnableToProcessDownload);
        outcome = FetchOutcome::MoveFailed;
    } else {
        // The checksum file stays beside the download, so that a copied data folder (the offline copy) can still
        // be checked; one left from an earlier download of another file must not stay beside this one.
        const std::string kept = paths.final + ChecksumFileSuffix;
        if (checksumText.empty() || !writeSmallFile(machine, kept, checksumText)) deleteFileIfPresent(machine, kept);
    }
    if (aborted(abortFlag)) return {FetchOutcome::Aborted};
    return {outcome};
}

namespace {

int downloadFile(platform::Machine& machine, const std::string& folder, const std::string& fileName,
                 AbortFlag abortFlag, AbortSignal* signal, const std::string& url) {
    DownloadPaths paths = downloadPaths(folder, fileName);
    if (pathTooLong(paths)) return downloadresult::PathTooLong;
    setAsideFinalFile(machine, paths);
    if (fileExists(machine, paths.final)) return downloadresult::Success;

    try {
        if (loggedTransfer(machine, url, requestFlags(true), paths.temporary, abortFlag, signal, nullptr) ==
            TransferEnd::Aborted)
            return downloadresult::Aborted;
        switch (verifyDownload(machine, url, requestFlags(true), paths.temporary, abortFlag, signal)) {
            case Verification::Aborted: return downloadresult::Aborted;
            case Verification::Damaged: return downloadresult::Damaged;
            default: break;
        }
    } catch (const platform::InternetError&) {
        return downloadresult::InternetFailure;
    } catch (const CCustomException& error) {
        return error.errorCode + SynchronousCodeShift;
    } catch (const HttpStatusError&) {
        return downloadresult::HttpStatus;
    } catch (...) {
        return downloadresult::Unexpected;
    }

    int result = moveIntoPlace(machine, paths) ? downloadresult::Success : downloadresult::MoveFailed;
    if (aborted(abortFlag)) return downloadresult::Aborted;
    return result;
}

}  // namespace

int DownloadFile(platform::Machine& machine, const std::string& folder, const std::string& fileName,
                 AbortFlag abortFlag, const std::string& url) {
    return downloadFile(machine, folder, fileName, abortFlag, nullptr, url);
}

int DownloadFile(platform::Machine& machine, const std::string& folder, const std::string& fileName,
                 AbortSignal* abort, const std::string& url) {
    return downloadFile(machine, folder, fileName, abort ? abort->flag() : nullptr, abort, url);
}

std::optional<int> progressPosition(int32_t receivedKilobytes, int32_t totalKilobytes) {
    if (totalKilobytes <= 0) return std::nullopt;
    int64_t position = static_cast<int64_t>(std::max<int32_t>(receivedKilobytes, 0)) * 1000 / totalKilobytes;
    return static_cast<int>(std::min<int64_t>(position, 1000));
}

}  // namespace download
