// Streams a rich-text document into a rich edit control (EM_STREAMIN with SF_RTF), block by block as the
// control asks for them; the document replaces the control's contents.
#pragma once

#include <windows.h>

#include <functional>

// The most text the control holds; the default of a rich edit control (32 767 characters) would cut a long
// readme short.
inline constexpr long long RichEditTextLimit = 4LL * 1024 * 1024;

// read fills at most size bytes and returns how many it wrote (0: end, below 0: failure). Returns the bytes
// the control took.
long long streamIntoRichEdit(HWND control, const std::function<long long(char*, long long)>& read);
