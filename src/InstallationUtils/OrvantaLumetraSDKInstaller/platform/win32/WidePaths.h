// Paths between the ANSI strings of the platform interfaces and the wide file API of kernel32.
//
// The engine speaks in strings of the ANSI code page, and so do the platform interfaces. The file layer itself
// calls the wide functions, because a directory entry whose name the ANSI code page cannot hold (a Greek or
// Chinese name on a Western system) is otherwise out of reach: FindFirstFileA hands it back with '?' for every
// character that does not fit, a name no other call accepts, and a tree removal walks past it while believing
// it done.
//
// A name found by a search that does not survive the trip to the ANSI code page and back is handed out with
// each run of characters that do not fit written as an escape: U+0001, the run's UTF-16 code units as four
// upper-case hexadecimal digits each, U+0002 ("\x01" "03A94E2D" "\x02" ".txt" for Greek Omega and a Chinese
// character followed by ".txt"). Control characters cannot occur in Windows file names, so an escape never
// collides with a real name; the characters around it stay as they are (an extension still matches), and every
// call of the file layer turns the escape back into the real characters, wherever it stands in a path. A name
// that fits the code page is handed out exactly as the ANSI functions did.
//
// The 8.3 alias is no alternative: volumes may have short names turned off (new data volumes have them off by
// default), and then there is none.
//
// Only the file layer knows the escape. An escaped name handed to another program (a command line, the shell)
// names nothing; the installer's own files all have ASCII names, so escaped names only come from listing
// folders the installer did not write, and the installer only ever removes those.
#pragma once

#include <string>

namespace platform::win32 {

// A path from a platform interface as the wide functions take it: converted from the code page the ANSI file
// functions use, with escapes turned back into the characters they stand for.
std::wstring widePath(const std::string& path);

// A directory entry's name as the platform interfaces hand it out: in the ANSI code page, with the characters
// that do not fit written as escapes.
std::string narrowName(const std::wstring& name);

}  // namespace platform::win32
