// The pieces of resumed and checked downloads on their own: SHA-256 against the standard's examples, the
// checksum file reader, the resume record, and what each answer to a resumed request means.
#include <gtest/gtest.h>

#include "download/Integrity.h"
#include "download/Sha256.h"

using namespace download;

namespace {

std::string hexOf(const std::string& data) { return toHex(sha256(data)); }

const char* AbcDigest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const char* Name = "python-2.6.6.msi";

}  // namespace

TEST(Sha256, MatchesTheStandardsExamples) {
    struct Case {
        std::string data;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", AbcDigest},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        // Lengths around the block and padding boundaries (55, 56, 63, 64 bytes).
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    };
    for (const Case& c : cases) EXPECT_EQ(hexOf(c.data), c.digest) << c.data.size() << " bytes";
}

TEST(Sha256, GivesTheSameDigestWhateverThePiecesItIsFedIn) {
    std::string data;
    for (int i = 0; i < 5000; ++i) data += static_cast<char>((i * 31 + i / 7) & 0xFF);
    const std::string whole = hexOf(data);
    for (std::size_t piece : {1u, 3u, 55u, 64u, 65u, 1023u}) {
        Sha256 hash;
        for (std::size_t at = 0; at < data.size(); at += piece) hash.update(data.data() + at, std::min(piece, data.size() - at));
        EXPECT_EQ(toHex(hash.finish()), whole) << piece;
    }
}

TEST(ChecksumFile, ReadsTheDigestForTheFileAndRefusesAnythingElse) {
    const std::string hex = AbcDigest;
    const std::string upper = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
    const std::string other = std::string(64, '0');
    using S = ChecksumFileStatus;
    struct Case {
        const char* name;
        std::string text;
        S status;
    } cases[] = {
        {"sha256sum line", hex + "  " + Name + "\n", S::Digest},
        {"binary-mode star", hex + " *" + Name + "\n", S::Digest},
        {"bare digest", hex + "\n", S::Digest},
        {"bare digest, no line end", hex, S::Digest},
        {"upper-case digits", upper + "  " + Name, S::Digest},
        {"name in another case", hex + "  PYTHON-2.6.6.MSI\r\n", S::Digest},
        {"byte order mark and blank lines", "\xEF\xBB\xBF\r\n" + hex + "\t" + Name + "\r\n\r\n", S::Digest},
        {"the file among others", other + "  a.exe\n" + hex + "  " + Name + "\n" + other + "  b.zip\n", S::Digest},
        {"same digest named twice", hex + "  " + Name + "\n" + hex + "  " + Name + "\n", S::Digest},
        {"only other files", other + "  a.exe\n", S::NoEntry},
        {"two bare digests", hex + "\n" + other + "\n", S::NoEntry},
        {"bare digest beside another file", hex + "\n" + other + "  a.exe\n", S::NoEntry},
        {"empty", "", S::NoEntry},
        {"different digests for the file", hex + "  " + Name + "\n" + other + "  " + Name + "\n", S::Conflict},
        {"digest one digit short", hex.substr(1) + "  " + Name, S::Malformed},
        {"digest one digit long", hex + "0  " + Name, S::Malformed},
        {"not hexadecimal", std::string(63, '0') + "g  " + Name, S::Malformed},
        {"star without a name", hex + " *", S::Malformed},
        {"html error page", "<html><body>404</body></html>", S::Malformed},
        {"binary", std::string("\x7f" "ELF\x01\x00\x00", 7) + hex, S::Malformed},
        {"a zero byte in the line", hex + "  " + Name + std::string(1, '\0'), S::Malformed},
        {"too long", hex + "  " + Name + "\n" + std::string(MaxChecksumFileBytes, ' '), S::Malformed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChecksumFile parsed = parseChecksumFile(c.text, Name);
        EXPECT_EQ(parsed.status, c.status);
        if (c.status == S::Digest) {
            EXPECT_EQ(toHex(parsed.digest), hex);
        }
    }
}

TEST(ChecksumFile, LiesBesideTheFileBeforeAnyQuery) {
    struct Case {
        const char* url;
        const char* checksum;
        const char* name;
    } cases[] = {
        {"http://h/a/python 26/x.msi", "http://h/a/python 26/x.msi.sha256", "x.msi"},
        {"http://h:8080/x.exe?v=2#top", "http://h:8080/x.exe.sha256", "x.exe"},
        {"https://h/p/setup.exe", "https://h/p/setup.exe.sha256", "setup.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checksumFileUrl(c.url), c.checksum);
        EXPECT_EQ(fileNameOfUrl(c.url), c.name);
    }
}

TEST(ResumeRecord, ReadsBackWhatItWroteAndNothingElse) {
    ResumeRecord record{"http://h/python 26/x.msi", "\"5f1e-2a\""};
    EXPECT_EQ(parseResumeRecord(formatResumeRecord(record)), record);
    ResumeRecord dated{"http://h/x.exe", "Wed, 21 Oct 2015 07:28:00 GMT"};
    EXPECT_EQ(parseResumeRecord(formatResumeRecord(dated)), dated);

    const char* refused[] = {
        "",
        "url=http://h/x\r\n",                                   // no validator
        "validator=\"a\"\r\n",                                  // no address
        "url=\r\nvalidator=\"a\"\r\n",                          // empty address
        "url=http://h/x\r\nvalidator=\r\n",                     // empty validator
        "url=http://h/x\r\nvalidator=\"a\"\r\nmore=1\r\n",      // a line of another kind
        "url=http://h/x\r\nvalidator=\"a\x01\"\r\n",            // a control character
        "\x00\x01\x02\x03",
    };
    for (const char* text : refused) EXPECT_EQ(parseResumeRecord(text), std::nullopt) << text;
    EXPECT_EQ(parseResumeRecord("url=http://h/x\r\nvalidator=\"" + std::string(MaxValidatorChars, 'a') + "\"\r\n"),
              std::nullopt);
    EXPECT_EQ(parseResumeRecord(formatResumeRecord({"http://h/" + std::string(MaxResumeRecordBytes, 'x'), "\"a\""})),
              std::nullopt);
}

TEST(ResumeRecord, KeepsAStrongETagElseTheDateAndNothingThatCouldBreakAHeader) {
    using V = std::optional<std::string>;
    struct Case {
        V etag, lastModified, kept;
    } cases[] = {
        {"\"abc\"", "Wed, 21 Oct 2015 07:28:00 GMT", "\"abc\""},
        {"  \"abc\" ", std::nullopt, "\"abc\""},
        {"W/\"abc\"", "Wed, 21 Oct 2015 07:28:00 GMT", "Wed, 21 Oct 2015 07:28:00 GMT"},
        {"W/\"abc\"", std::nullopt, std::nullopt},
        {"abc", std::nullopt, std::nullopt},  // not a quoted tag
        {std::nullopt, "Wed, 21 Oct 2015 07:28:00 GMT", "Wed, 21 Oct 2015 07:28:00 GMT"},
        {"\"a\r\nX-Injected: 1\"", std::nullopt, std::nullopt},
        {std::nullopt, "Wed\r\nX-Injected: 1", std::nullopt},
        {std::nullopt, std::nullopt, std::nullopt},
        {"\"" + std::string(MaxValidatorChars, 'a') + "\"", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(responseValidator(c.etag, c.lastModified), c.kept) << c.etag.value_or("-");
    EXPECT_EQ(resumeHeaders(1234, "\"abc\""), "Range: bytes=1234-\r\nIf-Range: \"abc\"\r\n");
}

TEST(ResumeAnswer, AppendsOnlyTheRestOfTheSameFile) {
    using A = ResumeAnswer;
    using V = std::optional<std::string>;
    const std::string tag = "\"v1\"";
    struct Case {
        const char* name;
        uint32_t status;
        V contentRange, validator;
        A answer;
    } cases[] = {
        {"206 with the rest", 206, "bytes 1000-4999/5000", tag, A::Append},
        {"206 without a validator of its own", 206, "bytes 1000-4999/5000", std::nullopt, A::Append},
        {"206 with an unknown complete length", 206, "bytes 1000-4999/*", tag, A::Append},
        {"206 with the unit in capitals", 206, "BYTES 1000-4999/5000", tag, A::Append},
        {"206 of another range", 206, "bytes 0-4999/5000", tag, A::AskAgain},
        {"206 past the end", 206, "bytes 1000-5000/5000", tag, A::AskAgain},
        {"206 backwards", 206, "bytes 1000-999/5000", tag, A::AskAgain},
        {"206 of another file version", 206, "bytes 1000-4999/5000", "\"v2\"", A::AskAgain},
        {"206 without Content-Range", 206, std::nullopt, tag, A::AskAgain},
        {"206 with another unit", 206, "items 1000-4999/5000", tag, A::AskAgain},
        {"206 with garbage", 206, "bytes x-y/z", tag, A::AskAgain},
        {"200: changed file or no ranges", 200, std::nullopt, "\"v2\"", A::StartOver},
        {"416: nothing left or a range refused", 416, "bytes */1000", std::nullopt, A::AskAgain},
        {"404", 404, std::nullopt, std::nullopt, A::NotResume},
        {"500", 500, std::nullopt, std::nullopt, A::NotResume},
    };
    for (const Case& c : cases) EXPECT_EQ(judgeResumeAnswer(c.status, 1000, tag, c.contentRange, c.validator), c.answer) << c.name;
}
