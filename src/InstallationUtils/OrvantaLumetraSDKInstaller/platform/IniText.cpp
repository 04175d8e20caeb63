#include "platform/IniText.h"

#include <vector>

namespace platform::ini {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            if (start < text.size()) out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// "[name]" -> name; a line starting with "[" without "]" takes the rest of the line.
bool sectionHeader(const std::string& line, std::string& name) {
    std::string t = trim(line);
    if (t.empty() || t[0] != '[') return false;
    std::size_t close = t.find(']');
    name = trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

}  // namespace

std::string sectionNames(const std::string& text, std::size_t bufferBytes) {
    std::string out;
    if (bufferBytes < 2) return out;
    for (const std::string& line : lines(text)) {
        std::string name;
        if (!sectionHeader(line, name)) continue;
        if (out.size() + name.size() + 1 > bufferBytes - 1) break;
        out += name;
        out.push_back('\0');
    }
    return out;
}

std::string value(const std::string& text, const std::string& section, const std::string& key,
                  const std::string& defaultValue, std::size_t bufferBytes) {
    bool inSection = false;
    std::string found;
    bool have = false;
    for (const std::string& line : lines(text)) {
        std::string name;
        if (sectionHeader(line, name)) {
            if (have) break;
            inSection = equalNoCase(name, section);
            continue;
        }
        if (!inSection) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (!equalNoCase(trim(line.substr(0, eq)), key)) continue;
        found = trim(line.substr(eq + 1));
        have = true;
        break;
    }
    std::string result = have ? found : defaultValue;
    if (bufferBytes == 0) return std::string();
    if (result.size() > bufferBytes - 1) result.resize(bufferBytes - 1);
    return result;
}

}  // namespace platform::ini
