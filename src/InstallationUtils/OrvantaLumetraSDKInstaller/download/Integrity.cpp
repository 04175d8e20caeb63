#include "download/Integrity.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/TextCompare.h"

namespace download {
namespace {

constexpr const char* UrlKey = "url=";
constexpr const char* ValidatorKey = "validator=";

bool hasControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

std::string trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.substr(begin, end - begin);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.push_back(line);
        begin = end + 1;
    }
    return result;
}

// Digits only, without sign or blanks; nullopt when empty, not all digits, or too large.
std::optional<uint64_t> decimal(const std::string& text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) return std::nullopt;
    return std::stoull(text);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<Sha256Digest> hexDigest(const std::string& text) {
    if (text.size() != 64) return std::nullopt;
    Sha256Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i) {
        int high = hexValue(text[2 * i]), low = hexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return digest;
}

// The address without its fragment and query: where the path ends.
std::size_t pathEnd(const std::string& url) {
    std::size_t scheme = url.find("://");
    std::size_t from = scheme == std::string::npos ? 0 : scheme + 3;
    std::size_t end = url.find_first_of("?#", from);
    return end == std::string::npos ? url.size() : end;
}

}  // namespace

std::string resumeRecordPath(const std::string& temporaryPath) { return temporaryPath + ".resume"; }

std::string formatResumeRecord(const ResumeRecord& record) {
    return std::string(UrlKey) + record.url + "\r\n" + ValidatorKey + record.validator + "\r\n";
}

std::optional<ResumeRecord> parseResumeRecord(const std::string& text) {
    if (text.size() > MaxResumeRecordBytes) return std::nullopt;
    std::optional<std::string> url, validator;
    for (const std::string& line : lines(text)) {
        if (line.empty()) continue;
        if (hasControl(line)) return std::nullopt;
        if (line.rfind(UrlKey, 0) == 0 && !url) {
            url = line.substr(std::string(UrlKey).size());
        } else if (line.rfind(ValidatorKey, 0) == 0 && !validator) {
            validator = line.substr(std::string(ValidatorKey).size());
        } else {
            return std::nullopt;
        }
    }
    if (!url || url->empty() || !validator || validator->empty() || validator->size() > MaxValidatorChars)
        return std::nullopt;
    return ResumeRecord{*url, *validator};
}

std::optional<std::string> responseValidator(const std::optional<std::string>& etag,
                                             const std::optional<std::string>& lastModified) {
    auto usable = [](const std::optional<std::string>& value) -> std::optional<std::string> {
        if (!value) return std::nullopt;
        std::string text = trimmed(*value);
        if (text.empty() || text.size() > MaxValidatorChars || hasControl(text)) return std::nullopt;
        return text;
    };
    // A weak ETag ("W/...") only says two files are alike in meaning: a range of one must not be put
    // after bytes of the other, so If-Range does not accept it.
    if (std::optional<std::string> tag = usable(etag); tag && tag->size() >= 2 && tag->front() == '"' &&
                                                        tag->back() == '"')
        return tag;
    return usable(lastModified);
}

std::string resumeHeaders(uint64_t offset, const std::string& validator) {
    return "Range: bytes=" + std::to_string(offset) + "-\r\nIf-Range: " + validator + "\r\n";
}

ResumeAnswer judgeResumeAnswer(uint32_t status, uint64_t offset, const std::string& sentValidator,
                               const std::optional<std::string>& contentRange,
                               const std::optional<std::string>& validator) {
    if (status == 200) return ResumeAnswer::StartOver;
    if (status == 416) return ResumeAnswer::AskAgain;
    if (status != 206) return ResumeAnswer::NotResume;
    // "bytes <first>-<last>/<complete length or *>": the rest of the file means first == offset.
    if (!contentRange) return ResumeAnswer::AskAgain;
    std::string range = trimmed(*contentRange);
    const std::string unit = "bytes ";
    if (range.size() <= unit.size() || !text::equalsIgnoringCase(range.substr(0, unit.size()), unit))
        return ResumeAnswer::AskAgain;
    range = trimmed(range.substr(unit.size()));
    std::size_t dash = range.find('-'), slash = range.find('/');
    if (dash == std::string::npos || slash == std::string::npos || slash < dash) return ResumeAnswer::AskAgain;
    std::optional<uint64_t> first = decimal(range.substr(0, dash));
    std::optional<uint64_t> last = decimal(range.substr(dash + 1, slash - dash - 1));
    std::string completeText = range.substr(slash + 1);
    std::optional<uint64_t> complete = completeText == "*" ? std::nullopt : decimal(completeText);
    if (!first || !last || *first != offset || *last < *first) return ResumeAnswer::AskAgain;
    if (completeText != "*" && (!complete || *last >= *complete)) return ResumeAnswer::AskAgain;
    // A server that names its validator must name the one the range was asked on.
    if (validator && *validator != sentValidator) return ResumeAnswer::AskAgain;
    return ResumeAnswer::Append;
}

std::string checksumFileUrl(const std::string& url) {
    std::size_t end = pathEnd(url);
    return url.substr(0, end) + ChecksumFileSuffix;
}

std::string fileNameOfUrl(const std::string& url) {
    std::string path = url.substr(0, pathEnd(url));
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

ChecksumFile parseChecksumFile(const std::string& text, const std::string& fileName) {
    ChecksumFile malformed;
    if (text.size() > MaxChecksumFileBytes) return malformed;
    std::string body = text;
    if (body.rfind("\xEF\xBB\xBF", 0) == 0) body.erase(0, 3);
    std::optional<Sha256Digest> named, bare;
    int bareLines = 0;
    bool otherNames = false;
    for (const std::string& raw : lines(body)) {
        std::string line = trimmed(raw);
        if (line.empty()) continue;
        if (std::any_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x20 && c != '\t'; }) ||
            std::any_of(line.begin(), line.end(), [](unsigned char c) { return c == 0x7F; }))
            return malformed;
        std::size_t blank = line.find_first_of(" \t");
        std::optional<Sha256Digest> digest = hexDigest(line.substr(0, blank));
        if (!digest) return malformed;
        if (blank == std::string::npos) {
            ++bareLines;
            bare = digest;
            continue;
        }
        std::string name = trimmed(line.substr(blank));
        if (!name.empty() && name[0] == '*') name.erase(0, 1);
        if (name.empty()) return malformed;
        if (!text::equalsIgnoringCase(name, fileName)) {
            otherNames = true;
            continue;
        }
        if (named && *named != *digest) return {ChecksumFileStatus::Conflict, {}};
        named = digest;
    }
    if (named) return {ChecksumFileStatus::Digest, *named};
    if (bareLines == 1 && !otherNames) return {ChecksumFileStatus::Digest, *bare};
    return {ChecksumFileStatus::NoEntry, {}};
}

}  // namespace download
