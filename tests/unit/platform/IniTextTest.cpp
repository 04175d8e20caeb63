// The portable profile reader against answers taken from GetPrivateProfileStringA and
// GetPrivateProfileSectionNamesA (under Wine 8, where Microsoft documents nothing else; the documented Windows
// answers where the two differ). The Wine differential test checks the same reader against the real calls.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/IniText.h"

namespace ini = platform::ini;

namespace {

std::string names(std::initializer_list<const char*> list) {
    std::string out;
    for (const char* n : list) {
        out += n;
        out.push_back('\0');
    }
    return out;
}

TEST(IniText, Values) {
    struct Case {
        const char* what;
        std::string text;
        const char* section;
        const char* key;
        const char* fallback;
        std::string expected;
    } cases[] = {
        {"plain", "[A]\nk=v\n", "A", "k", "D", "v"},
        {"blanks around names and value", "[A]\n  k  =  v  w \t\n", "  a  ", " K ", "D", "v  w"},
        {"blanks inside the brackets", "[ \tA\t ]\nk=1\n", "A", "k", "D", "1"},
        {"text after the closing bracket", "[A] ; note\nk=1\n", "A", "k", "D", "1"},
        {"the last bracket closes", "[A]x]\nk=1\n", "A]x", "k", "D", "1"},
        {"no closing bracket: not a header", "[A]\nk=1\n[B\nk=2\n", "A", "k", "D", "1"},
        {"mixed case", "[SeCtIoN]\nKeY=1\n", "section", "KEY", "D", "1"},
        {"non-ASCII letters keep their case", "[\xC9t\xE9]\nk=1\n", "\xE9T\xC9", "k", "D", "D"},
        {"missing section", "[A]\nk=1\n", "B", "k", "D", "D"},
        {"missing key", "[A]\nk=1\n", "A", "j", "D", "D"},
        {"key without equals sign", "[A]\nk\n", "A", "k", "D", "D"},
        {"first key without equals sign hides a later one", "[A]\nk\nk=2\n", "A", "k", "D", "D"},
        {"empty value is not the default", "[A]\nk=\n", "A", "k", "D", ""},
        {"second equals sign is value", "[A]\nk=a=b\n", "A", "k", "D", "a=b"},
        {"duplicate key: first wins", "[A]\nk=1\nK=2\n", "A", "k", "D", "1"},
        {"duplicate section: only the first is searched", "[A]\nk=1\n[a]\nk=2\nj=3\n", "A", "j", "D", "D"},
        {"empty section", "[A]\n[B]\nk=1\n", "A", "k", "D", "D"},
        {"comment line is a key nobody asks for", "[A]\n;k=1\nk=2\n", "A", "k", "D", "2"},
        {"lines before the first section form a nameless one", "k=0\n[A]\nk=1\n", " ", "k", "D", "0"},
        {"an empty header is not that nameless section", "k=0\n[]\nj=1\n", "", "j", "D", "D"},
        {"empty section name hides its keys", "[]\nk=1\n", "", "k", "D", "D"},
        {"CRLF", "[A]\r\nk=1\r\n", "A", "k", "D", "1"},
        {"CR alone ends a line", "[A]\rk=1\rj=2", "A", "j", "D", "2"},
        {"no line end at the end", "[A]\nk=last", "A", "k", "D", "last"},
        {"control-Z is a blank", "[A]\nk=1\x1A\n", "A", "k", "D", "1"},
        {"non-breaking space is not", "[A]\nk=\xA0" "1\n", "A", "k", "D", "\xA0" "1"},
        {"double quotes", "[A]\nk=\"q\"\n", "A", "k", "D", "q"},
        {"single quotes", "[A]\nk='q'\n", "A", "k", "D", "q"},
        {"quotes keep inner blanks", "[A]\nk= \" a \" \n", "A", "k", "D", " a "},
        {"unmatched quotes stay", "[A]\nk=\"a'\n", "A", "k", "D", "\"a'"},
        {"lone quote stays", "[A]\nk=\"\n", "A", "k", "D", "\""},
        {"empty quotes", "[A]\nk=\"\"\n", "A", "k", "D", ""},
        {"inner quote", "[A]\nk=\"x\"y\"\n", "A", "k", "D", "x\"y"},
        {"default loses quotes", "[A]\n", "A", "k", "\"dq\"", "dq"},
        {"default loses trailing spaces", "[A]\n", "A", "k", "  x   ", "  x"},
        {"default of one space is empty (documented)", "[A]\n", "A", "k", " ", ""},
        {"default keeps a trailing tab", "[A]\n", "A", "k", "x\t", "x\t"},
        {"no file at all", "", "A", "k", "\"q\" ", "q"},
        {"zero byte ends a value", std::string("[A]\nk=a\0b\n", 10), "A", "k", "D", "a"},
        {"UTF-8 byte-order mark hides the first header (as on Windows)", "\xEF\xBB\xBF[A]\nk=1\n[B]\nk=2\n", "A",
         "k", "D", "D"},
        {"UTF-8 byte-order mark: later sections read", "\xEF\xBB\xBF[A]\nk=1\n[B]\nk=2\n", "B", "k", "D", "2"},
        {"empty key name finds a key with an empty name", "[A]\n=v\n", "A", "", "D", "v"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini::value(c.text, c.section, c.key, c.fallback, 1024), c.expected) << c.what;
}

TEST(IniText, Utf16LittleEndianFilesReadInTheAnsiCodePage) {
    std::string text = "\xFF\xFE";
    const std::u16string u = u"[A]\r\nk=v\u00E9\u20AC\r\n[B\u00C9]\r\n";
    for (char16_t c : u) {
        text.push_back(char(c & 0xFF));
        text.push_back(char(c >> 8));
    }
    EXPECT_EQ(ini::value(text, "A", "k", "D", 1024), "v\xE9\x80");
    EXPECT_EQ(ini::sectionNames(text, 8192), names({"A", "B\xC9"}));
}

TEST(IniText, ValuesAreCutToTheBuffer) {
    const std::string x1030(1030, 'x');
    struct Case {
        std::string value;  // as written after "k="
        std::size_t buffer;
        std::string expected;
    } cases[] = {
        {x1030, 1024, std::string(1023, 'x')},
        {"\"" + std::string(1022, 'x') + "\"", 1024, std::string(1022, 'x')},
        // A quoted value that just fits loses one more character, as on Windows.
        {"\"" + std::string(1023, 'x') + "\"", 1024, std::string(1022, 'x')},
        {"\"abcdef\"", 5, "abcd"},
        {"\"abcdef\"", 6, "abcde"},
        {"\"abcdef\"", 7, "abcde"},
        {"\"abcdef\"", 8, "abcdef"},
        {"abc", 1, ""},
        {"abc", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini::value("[A]\nk=" + c.value + "\n", "A", "k", "D", c.buffer), c.expected)
            << c.value.size() << " chars into " << c.buffer;
    EXPECT_EQ(ini::value("[A]\n", "A", "k", "\"abcdef\"", 4), "abc");
}

TEST(IniText, SectionNames) {
    struct Case {
        const char* what;
        std::string text;
        std::size_t buffer;
        std::string expected;
    } cases[] = {
        {"file order, duplicates kept", "[b]\n[A]\n[a]\nk=1\n[c]\n", 8192, names({"b", "A", "a", "c"})},
        {"trimmed", "  [ x y ]  \n", 8192, names({"x y"})},
        {"empty names skipped", "[]\n[ ]\n[B]\n", 8192, names({"B"})},
        {"not headers", "[A\n;[B]\nk=[C]\n", 8192, ""},
        {"no file", "", 8192, ""},
        // "abc\0de\0" plus the list's final zero: 8 bytes.
        {"all fit exactly (documented; Wine cuts the last name)", "[abc]\n[de]\n", 8, names({"abc", "de"})},
        {"one byte more than needed", "[abc]\n[de]\n", 9, names({"abc", "de"})},
        {"last name cut, no zero byte in the count", "[abc]\n[de]\n", 7, std::string("abc\0d", 5)},
        {"first name cut", "[ABCDEFGH]\n", 5, "ABC"},
        {"two-byte buffer", "[A]\n", 2, ""},
        {"one-byte buffer", "[A]\n", 1, ""},
        {"UTF-8 mark glued to the first header", "\xEF\xBB\xBF[A]\n[B]\n", 8192, names({"B"})},
        {"zero byte ends a name", std::string("[A\0B]\n[C]\n", 10), 8192, names({"A", "C"})},
    };
    for (const Case& c : cases) EXPECT_EQ(ini::sectionNames(c.text, c.buffer), c.expected) << c.what;
}

TEST(IniText, SectionNamesBeyondTheBuffer) {
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Section%04d", i);
        text += "[" + std::string(name) + "]\nk=" + std::to_string(i) + "\n";
    }
    // Each name takes 12 bytes with its zero; the count is 8190 = 682 names and 6 bytes of the next.
    std::string got = ini::sectionNames(text, 8192);
    ASSERT_EQ(got.size(), 8190u);
    EXPECT_EQ(got.substr(681 * 12, 12), std::string("Section0681") + '\0');
    EXPECT_EQ(got.substr(682 * 12), "Sectio");
    EXPECT_EQ(ini::value(text, "section0999", "k", "", 1024), "999");
}

}  // namespace
