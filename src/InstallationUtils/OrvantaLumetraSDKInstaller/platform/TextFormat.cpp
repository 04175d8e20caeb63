#include "platform/TextFormat.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace text {

std::string format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::vector<char> filled(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    std::vsnprintf(filled.data(), filled.size(), format, args);
    va_end(args);
    return filled.data();
}

}  // namespace text
