// Display names, product names and versions are compared as the platform compares them without regard to
// case. The catalogue's texts are plain ASCII, so ASCII case folding is that comparison.
#pragma once

#include <cstddef>
#include <string_view>

namespace components {

inline char foldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

}  // namespace components
