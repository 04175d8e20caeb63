// Reading INI text the way GetPrivateProfileSectionNamesA and GetPrivateProfileStringA read a file, so that
// the installer's list files can be read (and tested) anywhere.
#pragma once

#include <cstddef>
#include <string>

namespace platform::ini {

// The section names in file order, each followed by a zero byte, as GetPrivateProfileSectionNamesA leaves
// them in a buffer of bufferBytes (names that do not fit are not returned).
std::string sectionNames(const std::string& text, std::size_t bufferBytes);

// The value of key in section as GetPrivateProfileStringA returns it into a buffer of bufferBytes: section
// and key compared without regard to case, surrounding blanks removed, cut to bufferBytes - 1 characters;
// defaultValue when the section or the key is missing.
std::string value(const std::string& text, const std::string& section, const std::string& key,
                  const std::string& defaultValue, std::size_t bufferBytes);

}  // namespace platform::ini
