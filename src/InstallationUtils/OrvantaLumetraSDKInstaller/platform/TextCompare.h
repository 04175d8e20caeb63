// Names, keys, versions and schemes are compared as Windows compares them without regard to case. The texts
// the installer compares are plain ASCII, so ASCII case folding is that comparison (and it does not depend on
// the C library's locale).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

inline char foldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

inline std::string toLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = foldCase(c);
    return out;
}

}  // namespace text
