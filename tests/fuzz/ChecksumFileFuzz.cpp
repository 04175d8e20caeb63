// Any bytes as a checksum file published beside a download, as the resume record kept beside a temporary
// file, and as the Content-Range of an answer: the readers must neither crash nor accept what they cannot
// stand behind, and what they accept must come back the same when written out again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "download/Integrity.h"
#include "download/Sha256.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The file name the checksum file is read for: the first line of the input, when it has one.
    const std::size_t newline = input.find('\n');
    const std::string name = newline == std::string::npos || newline > 64 ? "setup.exe" : input.substr(0, newline);

    const download::ChecksumFile parsed = download::parseChecksumFile(input, name);
    if (parsed.status == download::ChecksumFileStatus::Digest) {
        require(input.size() <= download::MaxChecksumFileBytes);
        const std::string hex = download::toHex(parsed.digest);
        std::string lower = input;
        for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        require(lower.find(hex) != std::string::npos);  // the digest came from the text
        if (name.find_first_of(" \t\r\n") == std::string::npos && !name.empty() && name[0] != '*') {
            const download::ChecksumFile again = download::parseChecksumFile(hex + "  " + name + "\n", name);
            require(again.status == download::ChecksumFileStatus::Digest && again.digest == parsed.digest);
        }
    }

    if (const std::optional<download::ResumeRecord> record = download::parseResumeRecord(input)) {
        require(!record->url.empty() && !record->validator.empty());
        require(record->validator.find_first_of("\r\n") == std::string::npos);  // never breaks a request header
        require(download::parseResumeRecord(download::formatResumeRecord(*record)) == record);
    }

    if (const std::optional<std::string> validator = download::responseValidator(input, input)) {
        require(validator->size() <= download::MaxValidatorChars);
        require(validator->find_first_of("\r\n") == std::string::npos);
    }

    const uint64_t offset = size > 0 ? data[0] * 1000u : 0;
    const download::ResumeAnswer answer = download::judgeResumeAnswer(206, offset, "\"v\"", input, std::nullopt);
    if (answer == download::ResumeAnswer::Append) require(input.find(std::to_string(offset)) != std::string::npos);
    return 0;
}
