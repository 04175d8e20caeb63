// Resuming a broken transfer and checking a finished one.
//
// A transfer that breaks off keeps its temporary file, and beside it a small record naming the address and the
// server's validator of the file (its ETag, else its Last-Modified date). The next attempt for the same address
// asks only for the rest, on condition that the file is still the same one; the server answers with the rest
// (206, appended), with the whole file (200, started over) or with a refusal of the range (416, asked again
// without a range). Where the server publishes "<file>.sha256" beside a file, the finished download is checked
// against it before it takes its final name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "download/Sha256.h"

namespace download {

// ---------------------------------------------------------------------------------------------------------
// Resume record

// The record beside the temporary file.
std::string resumeRecordPath(const std::string& temporaryPath);

struct ResumeRecord {
    std::string url;
    std::string validator;  // sent back as If-Range
    bool operator==(const ResumeRecord&) const = default;
};

// Longest record text read back; anything longer is not a record this program wrote.
inline constexpr std::size_t MaxResumeRecordBytes = 4096;
// Longest validator kept; a longer one is not used for resuming.
inline constexpr std::size_t MaxValidatorChars = 256;

std::string formatResumeRecord(const ResumeRecord& record);
// nullopt when the text is not a complete record (either line missing, control characters, too long).
std::optional<ResumeRecord> parseResumeRecord(const std::string& text);

// The validator a response offers for a later resume: its ETag when it is a strong one, else its Last-Modified
// date; nullopt when it has neither, or only values that could not be sent back as a header.
std::optional<std::string> responseValidator(const std::optional<std::string>& etag,
                                             const std::optional<std::string>& lastModified);

// What a resumed request sends: "Range: bytes=<offset>-" and "If-Range: <validator>", each ending in CRLF.
std::string resumeHeaders(uint64_t offset, const std::string& validator);

// What the answer to a resumed request means.
enum class ResumeAnswer {
    Append,     // 206 with exactly the rest: the body goes after the bytes already there
    StartOver,  // 200: the whole file (it changed, or the server does not resume); the body replaces them
    AskAgain,   // 416, or a 206 that is not the rest of this file: ask once more without a range
    NotResume,  // any other status: handled as for a plain request
};
// offset: the bytes already there; sentValidator: the If-Range value; contentRange and validator: the
// answer's Content-Range header and its own validator (see responseValidator).
ResumeAnswer judgeResumeAnswer(uint32_t status, uint64_t offset, const std::string& sentValidator,
                               const std::optional<std::string>& contentRange,
                               const std::optional<std::string>& validator);

// ---------------------------------------------------------------------------------------------------------
// Checksum file

// What a checksum file's name adds to the name of the file it checks.
inline constexpr const char* ChecksumFileSuffix = ".sha256";

// The address of the checksum file published beside the file at url (before any query).
std::string checksumFileUrl(const std::string& url);
// The name the checksum file may give: the last segment of the address's path.
std::string fileNameOfUrl(const std::string& url);

// A checksum file longer than this is refused unread.
inline constexpr std::size_t MaxChecksumFileBytes = 4096;

enum class ChecksumFileStatus {
    Digest,     // the digest for the file
    Malformed,  // not a checksum file: binary, too long, a line that is not "<64 hex digits>[  [*]name]"
    NoEntry,    // well formed, but it names only other files, or has several bare digests
    Conflict,   // it names the file twice with different digests
};
struct ChecksumFile {
    ChecksumFileStatus status = ChecksumFileStatus::Malformed;
    Sha256Digest digest{};
};
// Reads "<hex>  <name>" lines (as sha256sum writes them, "*" before the name allowed) or a single bare "<hex>";
// the name is compared with fileName without regard to ASCII case, as Windows does.
ChecksumFile parseChecksumFile(const std::string& text, const std::string& fileName);

}  // namespace download
