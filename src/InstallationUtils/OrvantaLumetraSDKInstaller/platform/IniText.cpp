#include "platform/IniText.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/TextCompare.h"

namespace platform::ini {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The profile functions handle names and values as C strings.
std::string_view upToZero(std::string_view s) {
    std::size_t zero = s.find('\0');
    return zero == std::string_view::npos ? s : s.substr(0, zero);
}

bool sameName(std::string_view stored, std::string_view wanted) {
    return text::equalsIgnoringCase(upToZero(stored), wanted);
}

// Windows-1252 for the UTF-16 code units 0x80..0x9F (0 = not in the code page).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char toAnsi(uint16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return char(unit);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == unit) return char(0x80 + i);
    return '?';
}

// The file's text as the ANSI functions see it.
std::string ansiText(const std::string& text) {
    if (text.size() < 2 || uint8_t(text[0]) != 0xFF || uint8_t(text[1]) != 0xFE) return text;
    std::string out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 2; i + 1 < text.size(); i += 2)
        out.push_back(toAnsi(uint16_t(uint8_t(text[i]) | (uint8_t(text[i + 1]) << 8))));
    return out;
}

struct Line {
    enum Kind { Header, Key } kind;
    std::string_view name;
    bool hasValue = false;
    std::string_view value;
};

// Calls visit(line) for every non-empty line in order; visit returns false to stop.
template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = trim(text.substr(start, end - start));
        start = end + 1;
        if (raw.empty()) continue;

        Line line{};
        line.kind = Line::Key;
        std::size_t close = raw.rfind(']');
        if (raw.front() == '[' && close != std::string_view::npos && close > 0) {
            line.kind = Line::Header;
            line.name = trim(raw.substr(1, close - 1));
        } else {
            std::size_t eq = raw.find('=');
            if (eq == std::string_view::npos) {
                line.name = raw;
            } else {
                line.name = trim(raw.substr(0, eq));
                line.hasValue = true;
                line.value = trim(raw.substr(eq + 1));
            }
        }
        if (!visit(line)) return;
    }
}

// Copies a value into a buffer of bufferBytes, dropping enclosing quotes. A quoted value that only just
// fits loses its last character as well; Windows' profile functions do the same.
std::string copyEntry(std::string_view value, std::size_t bufferBytes) {
    value = upToZero(value);
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string out(value.substr(0, std::min(bufferBytes - 1, value.size())));
    if (quoted && bufferBytes >= value.size() && !out.empty()) out.pop_back();
    return out;
}

}  // namespace

std::string sectionNames(const std::string& file, std::size_t bufferBytes) {
    if (bufferBytes < 2) return std::string();
    const std::string text = ansiText(file);
    std::vector<std::string_view> names;
    std::size_t total = 0;
    forEachLine(text, [&](const Line& line) {
        std::string_view name = upToZero(line.name);
        if (line.kind == Line::Header && !name.empty()) {
            names.push_back(name);
            total += name.size() + 1;
        }
        return true;
    });

    std::string out;
    if (total + 1 <= bufferBytes) {
        for (std::string_view name : names) {
            out.append(name);
            out.push_back('\0');
        }
        return out;
    }
    // Too many: the names that fit, then as much of the next one as leaves room for two zero bytes.
    std::size_t room = bufferBytes - 1;
    for (std::string_view name : names) {
        if (name.size() + 1 >= room) {
            out.append(name.substr(0, room - 1));
            break;
        }
        out.append(name);
        out.push_back('\0');
        room -= name.size() + 1;
    }
    return out;
}

std::string value(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& defaultValue, std::size_t bufferBytes) {
    if (bufferBytes == 0) return std::string();
    const std::string text = ansiText(file);
    const std::string_view wantedSection = trim(upToZero(section));
    const std::string_view wantedKey = trim(upToZero(key));

    // The lines before the first header form a section without a name: asking for "" finds them.
    bool inSection = wantedSection.empty(), sectionSeen = inSection, found = false;
    std::string_view foundValue;
    forEachLine(text, [&](const Line& line) {
        if (line.kind == Line::Header) {
            if (sectionSeen) return false;  // only the first section of the name counts
            inSection = !upToZero(line.name).empty() && sameName(line.name, wantedSection);
            sectionSeen = inSection;
            return true;
        }
        if (!inSection || !sameName(line.name, wantedKey)) return true;
        found = line.hasValue;
        foundValue = line.value;
        return false;  // the first key of the name decides, with or without a value
    });
    if (found) return copyEntry(foundValue, bufferBytes);

    std::string_view fallback = upToZero(defaultValue);
    while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
    return copyEntry(fallback, bufferBytes);
}

}  // namespace platform::ini
