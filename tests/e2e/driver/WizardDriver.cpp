// Drives the installer through its windows, the way a person would: finds a window by caption, reads and clicks
// its controls, answers message boxes. One command per run; results go to standard output, failures to the exit
// code (0 = done, 1 = not found / timed out, 2 = usage).
//
//   WizardDriver wait <caption> [timeout-ms] [kind]   kind: any | sheet | messagebox
//   WizardDriver count <caption> [kind]               prints the number of visible top-level windows
//   WizardDriver text <caption> <control-id> [kind]   prints the control's text
//   WizardDriver messagebox <caption> [timeout-ms]    prints the text of a message box with that caption
//   WizardDriver answer <caption> <button-id>         answers a message box (IDOK = 1, IDYES = 6, IDNO = 7)
//   WizardDriver click <caption> <control-id|text> [kind]   posts BM_CLICK to a button
//   WizardDriver close <caption> [kind]               posts WM_CLOSE to the window
//   WizardDriver state <caption> <control-id|text> [kind]   prints "enabled=E checked=C visible=V" (0/1)
//   WizardDriver caption <kind> [timeout-ms]          prints the caption of the first visible window of kind
//   WizardDriver pick <caption> <control-id> <text> [kind]  selects a drop-down list's entry as a person does
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int MessageBoxTextId = 0xFFFF;  // the static that holds a message box's text
constexpr int WizardNextId = 0x3024;

enum class Kind { Any, Sheet, MessageBox };

Kind parseKind(const char* s) {
    std::string k = s ? s : "any";
    if (k == "sheet") return Kind::Sheet;
    if (k == "messagebox") return Kind::MessageBox;
    return Kind::Any;
}

std::string windowText(HWND w) {
    char buf[4096] = {};
    // WM_GETTEXT works across processes for window and control texts.
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buf;
}

bool isKind(HWND w, Kind kind) {
    switch (kind) {
        case Kind::Any: return true;
        case Kind::Sheet: return GetDlgItem(w, WizardNextId) != nullptr;
        case Kind::MessageBox: return GetDlgItem(w, MessageBoxTextId) != nullptr && GetDlgItem(w, WizardNextId) == nullptr;
    }
    return false;
}

struct Search {
    std::string caption;
    Kind kind;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(w)) return TRUE;
    if (windowText(w) == s->caption && isKind(w, s->kind)) s->found.push_back(w);
    return TRUE;
}

std::vector<HWND> findAll(const std::string& caption, Kind kind) {
    Search s{caption, kind, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND waitFor(const std::string& caption, DWORD timeoutMs, Kind kind) {
    DWORD start = GetTickCount();
    for (;;) {
        auto all = findAll(caption, kind);
        if (!all.empty()) return all.front();
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(50);
    }
}

struct FirstOfKind {
    Kind kind;
    HWND window;
};

BOOL CALLBACK collectFirstOfKind(HWND w, LPARAM param) {
    auto* f = reinterpret_cast<FirstOfKind*>(param);
    if (IsWindowVisible(w) && isKind(w, f->kind)) {
        f->window = w;
        return FALSE;
    }
    return TRUE;
}

struct ControlByText {
    std::string text;
    HWND found;
};

BOOL CALLBACK matchControlText(HWND child, LPARAM param) {
    auto* s = reinterpret_cast<ControlByText*>(param);
    std::string t = windowText(child);
    std::string plain;  // without the mnemonic markers
    for (char c : t)
        if (c != '&') plain += c;
    if (t == s->text || plain == s->text) {
        s->found = child;
        return FALSE;
    }
    return TRUE;
}

struct ControlById {
    int id;
    HWND found;
};

// A page's controls are children of the page, not of the sheet; pages that are not shown are hidden, and
// two pages may use the same identifiers, so only a visible control counts.
BOOL CALLBACK matchControlId(HWND child, LPARAM param) {
    auto* s = reinterpret_cast<ControlById*>(param);
    if (GetDlgCtrlID(child) == s->id && IsWindowVisible(GetParent(child))) {
        s->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND findControl(HWND parent, const std::string& idOrText) {
    char* end = nullptr;
    long id = std::strtol(idOrText.c_str(), &end, 0);
    if (end && *end == '\0' && !idOrText.empty()) {
        if (HWND direct = GetDlgItem(parent, static_cast<int>(id))) return direct;
        ControlById search{static_cast<int>(id), nullptr};
        EnumChildWindows(parent, matchControlId, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    ControlByText search{idOrText, nullptr};
    EnumChildWindows(parent, matchControlText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int usage() {
    std::fprintf(stderr, "usage: WizardDriver wait|count|text|messagebox|answer|click|close <caption> ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string command = argv[1];
    const std::string caption = argv[2];

    if (command == "wait") {
        DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 0) : 10000;
        return waitFor(caption, timeout, parseKind(argc > 4 ? argv[4] : nullptr)) ? 0 : 1;
    }
    if (command == "count") {
        std::printf("%u\n", static_cast<unsigned>(findAll(caption, parseKind(argc > 3 ? argv[3] : nullptr)).size()));
        return 0;
    }
    if (command == "text") {
        if (argc < 4) return usage();
        HWND w = waitFor(caption, 5000, parseKind(argc > 4 ? argv[4] : nullptr));
        HWND control = w ? findControl(w, argv[3]) : nullptr;
        if (!control) return 1;
        std::fputs(windowText(control).c_str(), stdout);
        return 0;
    }
    if (command == "messagebox") {
        DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 0) : 10000;
        HWND w = waitFor(caption, timeout, Kind::MessageBox);
        if (!w) return 1;
        std::fputs(windowText(GetDlgItem(w, MessageBoxTextId)).c_str(), stdout);
        return 0;
    }
    if (command == "answer") {
        if (argc < 4) return usage();
        HWND w = waitFor(caption, 5000, Kind::MessageBox);
        if (!w) return 1;
        PostMessageA(w, WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), BN_CLICKED), 0);
        return 0;
    }
    if (command == "click") {
        if (argc < 4) return usage();
        HWND w = waitFor(caption, 5000, parseKind(argc > 4 ? argv[4] : nullptr));
        HWND control = w ? findControl(w, argv[3]) : nullptr;
        if (!control) return 1;
        // Posted, not sent: a click that opens a modal box would otherwise block the driver.
        PostMessageA(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (command == "caption") {
        // Here the second argument is the kind.
        const Kind kind = parseKind(argv[2]);
        DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 0) : 5000;
        DWORD start = GetTickCount();
        for (;;) {
            FirstOfKind found{kind, nullptr};
            EnumWindows(collectFirstOfKind, reinterpret_cast<LPARAM>(&found));
            if (found.window) {
                std::printf("%s\n", windowText(found.window).c_str());
                return 0;
            }
            if (GetTickCount() - start >= timeout) return 1;
            Sleep(50);
        }
    }
    if (command == "state") {
        if (argc < 4) return usage();
        HWND w = waitFor(caption, 5000, parseKind(argc > 4 ? argv[4] : nullptr));
        HWND control = w ? findControl(w, argv[3]) : nullptr;
        if (!control) return 1;
        const LRESULT check = SendMessageA(control, BM_GETCHECK, 0, 0);
        std::printf("enabled=%d checked=%d visible=%d\n", IsWindowEnabled(control) ? 1 : 0, check == BST_CHECKED ? 1 : 0,
                    IsWindowVisible(control) ? 1 : 0);
        return 0;
    }
    if (command == "pick") {
        if (argc < 5) return usage();
        HWND w = waitFor(caption, 5000, parseKind(argc > 5 ? argv[5] : nullptr));
        HWND control = w ? findControl(w, argv[3]) : nullptr;
        if (!control) return 1;
        const LRESULT index = SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(argv[4]));
        if (index == CB_ERR) return 1;
        SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        // The list tells its owner as it does after a person's choice; posted, as the handling may open a box.
        PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        return 0;
    }
    if (command == "close") {
        HWND w = waitFor(caption, 5000, parseKind(argc > 3 ? argv[3] : nullptr));
        if (!w) return 1;
        PostMessageA(w, WM_CLOSE, 0, 0);
        return 0;
    }
    return usage();
}
