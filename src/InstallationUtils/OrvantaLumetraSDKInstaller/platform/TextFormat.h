// printf-style filling of the installer's message texts ("Downloading component %d of %d", "... '%s'").
#pragma once

#include <string>

namespace text {

// The format filled with the arguments, whatever its length.
std::string format(const char* format, ...);

}  // namespace text
