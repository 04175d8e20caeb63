// The portable profile reader (platform::ini) against the real GetPrivateProfileSectionNamesA and
// GetPrivateProfileStringA, file by file: awkward hand-written files, then seeded random ones.
//
// Where Microsoft documents an answer that Wine does not give, the reader follows the documentation, and the
// comparison expects exactly that difference (and no other):
//  - section names that fit the buffer exactly with the list's final zero byte are all returned; Wine cuts the
//    last one as if the buffer were full;
//  - "trailing blanks" of the default are stripped even when the default is nothing but blanks; Wine keeps a
//    default made of one blank;
//  - a UTF-8 byte-order mark is not recognised (Windows reads it as three ANSI characters of the first line;
//    Wine drops it): such a file is compared with Wine reading the same file with the mark's last byte
//    changed, which Wine then also reads as ANSI characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "PlatformTestSupport.h"
#include "platform/IniText.h"

using namespace platform_test;

namespace {

std::string realValue(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& fallback, DWORD size) {
    std::vector<char> buffer(size + 8, '*');
    DWORD count = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(), size,
                                           path.c_str());
    return std::string(buffer.data(), std::min<DWORD>(count, size));
}

std::string realNames(const std::string& path, DWORD size) {
    std::vector<char> buffer(size + 8, '*');
    DWORD count = GetPrivateProfileSectionNamesA(buffer.data(), size, path.c_str());
    return std::string(buffer.data(), std::min<DWORD>(count, size));
}

std::string visible(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(char(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out.size() > 200 ? out.substr(0, 200) + "...(" + std::to_string(s.size()) + " bytes)" : out;
}

bool onlyBlanks(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

class IniDifferential : public ::testing::Test {
protected:
    // Writes the text to a file of its own (the profile functions cache files by name) and compares the
    // readers on every query. Returns the number of comparisons.
    int compare(const std::string& what, const std::string& text, const std::vector<std::string>& sections,
                const std::vector<std::string>& keys, const std::vector<std::string>& defaults,
                const std::vector<DWORD>& valueSizes, const std::vector<DWORD>& nameSizes) {
        std::string wineText = text;
        const bool utf8Mark = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
        if (utf8Mark) wineText[2] = '\xBE';
        const std::string path = scratch / (uniqueName("list") + ".ini");
        EXPECT_TRUE(writeRaw(path, wineText));
        int comparisons = 0;

        for (DWORD size : nameSizes) {
            std::string ours = platform::ini::sectionNames(text, size);
            std::string real = realNames(path, size);
            ++comparisons;
            if (ours == real) continue;
            // The documented exact fit: every name and its zero byte, plus the final zero, fill the buffer.
            bool exactFit = ours.size() + 1 == size && ours.back() == '\0' &&
                            real == ours.substr(0, ours.size() - 1);
            EXPECT_TRUE(exactFit) << what << ": section names, buffer " << size << "\n  ours: " << visible(ours)
                                  << "\n  real: " << visible(real);
        }
        for (const std::string& section : sections)
            for (const std::string& key : keys)
                for (const std::string& fallback : defaults)
                    for (DWORD size : valueSizes) {
                        std::string ours = platform::ini::value(text, section, key, fallback, size);
                        std::string real = realValue(path, section, key, fallback, size);
                        ++comparisons;
                        if (ours == real) continue;
                        bool blankDefault = onlyBlanks(fallback) && ours.empty() && real == fallback.substr(0, 1);
                        EXPECT_TRUE(blankDefault)
                            << what << ": [" << visible(section) << "] " << visible(key) << " default \""
                            << visible(fallback) << "\" buffer " << size << "\n  ours: \"" << visible(ours)
                            << "\"\n  real: \"" << visible(real) << "\"";
                    }
        return comparisons;
    }

    // Every section and key name a line of the text could mean, as written and with other case and blanks.
    static void candidates(const std::string& text, std::vector<std::string>& sections, std::vector<std::string>& keys) {
        std::set<std::string> s = {"", "missing", " "}, k = {"", "missing", ";"};
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of("\r\n", start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            start = end + 1;
            std::size_t open = line.find('['), close = line.rfind(']');
            if (open != std::string::npos && close != std::string::npos && close > open)
                s.insert(line.substr(open + 1, close - open - 1));
            k.insert(line.substr(0, line.find('=')));
        }
        for (const std::string& name : std::set<std::string>(s)) {
            std::string upper = name, lower = name;
            for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
            for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
            s.insert(upper);
            s.insert(" " + lower + "\t");
        }
        for (const std::string& name : std::set<std::string>(k)) {
            std::string upper = name;
            for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
            k.insert(upper);
            k.insert("  " + name + " ");
        }
        sections = spread(s);
        keys = spread(k);
    }

    // At most 40 of the names, spread over the whole set (a list of 900 sections is not asked 900 x 900 times).
    static std::vector<std::string> spread(const std::set<std::string>& names) {
        std::vector<std::string> all(names.begin(), names.end()), some;
        std::size_t step = all.size() / 40 + 1;
        for (std::size_t i = 0; i < all.size(); i += step) some.push_back(all[i]);
        return some;
    }

    ScratchFolder scratch;
};

TEST_F(IniDifferential, AwkwardFiles) {
    std::string manySections;
    for (int i = 0; i < 900; ++i) manySections += "[Tutorial " + std::to_string(i) + " Getting Started]\nCaption=c" + std::to_string(i) + "\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : std::u16string(u"[T1 Caf\u00E9]\r\nCaption= \u00C9t\u00E9 \u20AC \r\nURL=\"http://x/y.zip\"\r\n"))
        utf16 += std::string{char(c & 0xFF), char(c >> 8)};

    struct File {
        const char* what;
        std::string text;
    } files[] = {
        {"blanks around names and values", "  [  Sec One  ]  \r\n  key  =  value with  inner  blanks \t \r\n\tK2\t=\t\tv2\r\n"},
        {"duplicate sections and keys", "[A]\nk=1\nk=2\nK=3\n[a]\nk=4\nj=5\n[B]\nk=6\n[A]\nj=7\n"},
        {"mixed case", "[MiXeD CaSe]\nCaption=Yes\nCAPTION=No\n[mixed case]\ncaption=Never\n"},
        {"long values", "[L]\nplain=" + std::string(1500, 'p') + "\nq1022=\"" + std::string(1022, 'a') +
                            "\"\nq1023=\"" + std::string(1023, 'b') + "\"\nexact=" + std::string(1023, 'e') +
                            "\nover=" + std::string(1024, 'o') + "\n"},
        {"empty sections", "[Empty]\n[Also Empty]\n\n\n[Full]\nk=v\n[]\nk=hidden\n[ ]\nk=hidden too\n"},
        {"comments", "; top comment\n[S]\n;k=commented\nk=real\n ; indented=comment\n#hash=x\n"},
        {"no trailing line end", "[S]\na=1\nlast=end"},
        {"UTF-8 byte-order mark before the first header", "\xEF\xBB\xBF[First]\nk=1\n[Second]\nk=2\n"},
        {"UTF-8 byte-order mark before a blank line", "\xEF\xBB\xBF\r\n[First]\nk=1\n"},
        {"CRLF", "[S]\r\nk=crlf\r\nj=2\r\n"},
        {"LF", "[S]\nk=lf\nj=2\n"},
        {"CR only", "[S]\rk=cr\rj=2\r[T]\rk=3"},
        {"mixed line ends", "[S]\r\nk=1\n\r[T]\n\rk=2\r\r\nj=3"},
        {"quoted values", "[Q]\nd=\"double\"\ns='single'\nm=\"mixed'\nlone=\"\nempty=\"\"\nspaced= \" in \" \n"
                          "inner=\"a\"b\"\nleft=\"left\nright=right\"\n"},
        {"keys without equals sign", "[K]\nflag\nflag=later\nother\n=nameless\n"},
        {"lines before the first section", "orphan=1\nk=0\n\n[S]\nk=1\n"},
        {"brackets", "[A]x]\nk=1\n[B\nk=2\n[C] ; note\nk=3\n[[D]]\nk=4\n]E[\nk=5\n"},
        {"control characters", "[S]\nz=\x1A" "1\x1A\nt=\t2\t\nv=\v3\f\nnb=\xA0" "4\xA0\n"},
        {"zero bytes", std::string("[S]\nk=a\0b\n[T\0U]\nk=2\n", 21)},
        {"ANSI letters", "[Caf\xE9]\nCl\xE9=\xC9t\xE9\n[CAF\xC9]\nk=1\n"},
        {"UTF-16LE", utf16},
        {"more sections than the buffer holds", manySections},
    };
    int comparisons = 0;
    for (const File& f : files) {
        std::vector<std::string> sections, keys;
        candidates(f.text, sections, keys);
        comparisons += compare(f.what, f.text, sections, keys, {"D", "", "\"dq\"", "x  ", " "}, {1024, 1, 2, 5},
                               {8192, 1, 2, 3, 7, 16});
    }
    // Names of the big list around the 8192-byte limit.
    for (DWORD size = 8100; size <= 8300; ++size)
        comparisons += compare("names near the limit", manySections, {}, {}, {}, {}, {size});
    std::printf("%d comparisons\n", comparisons);
}

TEST_F(IniDifferential, ExactFitOfSectionNamesIsTheDocumentedOne) {
    // "abc\0de\0" and the final zero byte fill 8 bytes.
    const std::string text = "[abc]\n[de]\n";
    EXPECT_EQ(platform::ini::sectionNames(text, 8), std::string("abc\0de\0", 7));
    const std::string path = scratch / "exact.ini";
    ASSERT_TRUE(writeRaw(path, text));
    std::string real = realNames(path, 8);
    if (real != std::string("abc\0de\0", 7))
        std::printf("this system cuts the last name at an exact fit: \"%s\"\n", visible(real).c_str());
}

TEST_F(IniDifferential, SeededRandomFiles) {
    const char* pieces[] = {"[", "]", "=", " ", "\t", "\r\n", "\n", "\r", ";", "\"", "'", "a", "A", "b", "B",
                            "key", "KEY", "sec", "Sec", "\x1A", "\xE9", "\xC9", "x", "1", "[sec]", "[A b]", "k=v"};
    std::mt19937 random(20140411);
    int comparisons = 0;
    for (int file = 0; file < 300; ++file) {
        std::string text;
        int length = int(random() % 60);
        for (int i = 0; i < length; ++i) text += pieces[random() % (sizeof pieces / sizeof *pieces)];
        std::vector<std::string> sections, keys;
        candidates(text, sections, keys);
        comparisons += compare("random file " + std::to_string(file) + " \"" + visible(text) + "\"", text, sections,
                               keys, {"D", "\"q\""}, {1024, 3}, {8192, 4, 9});
    }
    std::printf("%d comparisons\n", comparisons);
}

}  // namespace
