#include "platform/win32/WidePaths.h"

#include <windows.h>

namespace platform::win32 {

namespace {

constexpr wchar_t EscapeOpen = L'\x01';
constexpr wchar_t EscapeClose = L'\x02';
constexpr int DigitsPerUnit = 4;

// The code page the ANSI file functions use (the OEM one after SetFileApisToOEM).
UINT fileCodePage() { return AreFileApisANSI() ? CP_ACP : CP_OEMCP; }

std::wstring toWide(const char* text, int length, UINT codePage) {
    if (length == 0) return std::wstring();
    int needed = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text, length, wide.data(), needed);
    return wide;
}

std::string toNarrow(const wchar_t* text, int length, UINT codePage) {
    if (length == 0) return std::string();
    int needed = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text, length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

// The narrow form of text when it comes back unchanged from the code page; a best-fit replacement ('a' for
// 'ā') or the default character does not, and neither do the escape's own delimiters.
bool fitsCodePage(const wchar_t* text, int length, UINT codePage, std::string& narrow) {
    for (int i = 0; i < length; ++i)
        if (text[i] == EscapeOpen || text[i] == EscapeClose) return false;
    narrow = toNarrow(text, length, codePage);
    if (narrow.empty()) return false;
    const std::wstring back = toWide(narrow.data(), static_cast<int>(narrow.size()), codePage);
    return back.size() == static_cast<std::size_t>(length) && back.compare(0, back.size(), text, length) == 0;
}

int hexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

void appendEscape(std::string& out, const std::wstring& units) {
    static const char digits[] = "0123456789ABCDEF";
    out += static_cast<char>(EscapeOpen);
    for (wchar_t unit : units)
        for (int shift = 12; shift >= 0; shift -= 4) out += digits[(unit >> shift) & 0xF];
    out += static_cast<char>(EscapeClose);
}

// The code units of the escape that starts at text[open], and the position after it; false when what stands
// there is not a well-formed escape (it is then left as it is, and the file call fails on the control
// character as it would have anyway).
bool readEscape(const std::wstring& text, std::size_t open, std::wstring& units, std::size_t& next) {
    const std::size_t close = text.find(EscapeClose, open + 1);
    if (close == std::wstring::npos) return false;
    const std::size_t digits = close - open - 1;
    if (digits == 0 || digits % DigitsPerUnit != 0) return false;
    units.clear();
    for (std::size_t at = open + 1; at < close; at += DigitsPerUnit) {
        unsigned value = 0;
        for (int k = 0; k < DigitsPerUnit; ++k) {
            int digit = hexValue(text[at + k]);
            if (digit < 0) return false;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        units += static_cast<wchar_t>(value);
    }
    next = close + 1;
    return true;
}

}  // namespace

std::wstring widePath(const std::string& path) {
    std::wstring wide = toWide(path.data(), static_cast<int>(path.size()), fileCodePage());
    std::size_t open = wide.find(EscapeOpen);
    if (open == std::wstring::npos) return wide;
    std::wstring out;
    std::size_t from = 0;
    while (open != std::wstring::npos) {
        std::wstring units;
        std::size_t next = 0;
        if (readEscape(wide, open, units, next)) {
            out.append(wide, from, open - from);
            out += units;
            from = next;
            open = wide.find(EscapeOpen, next);
        } else {
            open = wide.find(EscapeOpen, open + 1);
        }
    }
    out.append(wide, from, std::wstring::npos);
    return out;
}

std::string narrowName(const std::wstring& name) {
    const UINT codePage = fileCodePage();
    std::string out;
    if (fitsCodePage(name.data(), static_cast<int>(name.size()), codePage, out) || name.empty()) return out;
    // Character by character (a surrogate pair is one character): what fits is kept, each run of what does
    // not becomes one escape.
    out.clear();
    std::wstring pending;
    for (std::size_t at = 0; at < name.size();) {
        int length = (IS_HIGH_SURROGATE(name[at]) && at + 1 < name.size() && IS_LOW_SURROGATE(name[at + 1])) ? 2 : 1;
        std::string piece;
        if (fitsCodePage(name.data() + at, length, codePage, piece)) {
            if (!pending.empty()) appendEscape(out, pending);
            pending.clear();
            out += piece;
        } else {
            pending.append(name, at, static_cast<std::size_t>(length));
        }
        at += static_cast<std::size_t>(length);
    }
    if (!pending.empty()) appendEscape(out, pending);
    return out;
}

}  // namespace platform::win32
