// Reading INI text the way GetPrivateProfileSectionNamesA and GetPrivateProfileStringA read a file, so that
// the installer's list files read the same on every machine (and can be tested anywhere).
//
// What the profile functions do with a file, and so what these functions do with its text:
// - A file that starts with the UTF-16LE byte-order mark FF FE is Unicode text, handed to the caller in the
//   ANSI code page (Windows-1252; characters it lacks become "?"). Any other file is ANSI text as it is; a
//   UTF-8 byte-order mark is not recognised and stays part of the first line, as on Windows (Wine drops it).
// - Lines end at "\n" or "\r". Blanks are space, tab, "\v", "\f", "\r" and ^Z (0x1A); they are trimmed from
//   both ends of every line, of section names, key names and values. Empty lines are skipped.
// - "[" starts a section header when the line also holds a "]": the name is the text up to the line's last "]".
//   A header with an empty name hides its keys. A "[" line without "]" is an ordinary line.
// - Other lines are "name=value" (split at the first "="); a line without "=" is a key that has no value, so it
//   reads as the default. Lines before the first header form a section without a name, found by asking for
//   the section "". A line starting with ";" is a comment only because nobody asks for a key of that name.
// - Section and key names compare without regard to case (ASCII letters only). Only the first section of a
//   name is searched, and in it the first key of a name. Text after a zero byte in a name or value is ignored.
// - A value (or the default) enclosed in matching single or double quotes loses them.
#pragma once

#include <cstddef>
#include <string>

namespace platform::ini {

// What GetPrivateProfileSectionNamesA leaves in a buffer of bufferBytes: the first "returned count"
// characters. Each name is followed by a zero byte. When the names do not all fit, the count is
// bufferBytes - 2 and the last name in it is cut short and has no zero byte within the count; names that
// fit exactly (with the list's final zero byte) are all returned.
std::string sectionNames(const std::string& text, std::size_t bufferBytes);

// What GetPrivateProfileStringA returns into a buffer of bufferBytes: the value of key in section, or
// defaultValue (without its trailing spaces) when the section, the key or the key's "=" is missing; quotes
// removed as described above; cut to bufferBytes - 1 characters. A file that cannot be read at all is passed
// as empty text: the result is then the default, as Windows gives it.
std::string value(const std::string& text, const std::string& section, const std::string& key,
                  const std::string& defaultValue, std::size_t bufferBytes);

}  // namespace platform::ini
