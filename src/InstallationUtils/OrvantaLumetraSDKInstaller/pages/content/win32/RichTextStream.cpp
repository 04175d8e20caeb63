#include "pages/content/win32/RichTextStream.h"

#include <richedit.h>

namespace {

struct StreamState {
    const std::function<long long(char*, long long)>* read;
    long long total = 0;
};

DWORD CALLBACK streamBlock(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* state = reinterpret_cast<StreamState*>(cookie);
    *given = 0;
    try {
        const long long got = (*state->read)(reinterpret_cast<char*>(buffer), wanted);
        if (got < 0) return 1;  // a failed read ends the stream with what came so far
        *given = static_cast<LONG>(got);
        state->total += got;
        return 0;
    } catch (...) {
        return 1;
    }
}

}  // namespace

long long streamIntoRichEdit(HWND control, const std::function<long long(char*, long long)>& read) {
    if (!control) return 0;
    SendMessageA(control, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(RichEditTextLimit));
    StreamState state{&read};
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&state);
    stream.pfnCallback = streamBlock;
    SendMessageA(control, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return state.total;
}
