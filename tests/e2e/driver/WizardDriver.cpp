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
//   WizardDriver texts <caption> [timeout-ms] [kind]  prints the text of every child window, each ended by "\x1e"
//   WizardDriver press <caption> <control-id> [kind]  clicks a control that is no button (a link text)
//   WizardDriver tabs <caption> <control-id> [kind]   prints "count=N selected=S" of a tab control
//   WizardDriver treecheck <caption> <item> <0|1>     sets an item's check box of the window's tree view as a person
//                                                     does (selected, then the space key); waits until it shows
//   WizardDriver treestate <caption> <item>           prints "checked=C" (0/1) of a tree view item
//   (<item> is an item's text, or "Parent>Child" to tell apart items of the same text)
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
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
    if (!SendMessageTimeoutA(w, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000,
                             nullptr)) {
        // A program whose window thread is busy (a pause behind a "Please wait..." box) does not answer; the
        // caption of its top-level window is still readable without a message.
        buf[0] = '\0';
        GetWindowTextA(w, buf, sizeof(buf));
    }
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

// Visible top-level windows, for the report of a failed look-up.
BOOL CALLBACK listWindow(HWND w, LPARAM) {
    if (IsWindowVisible(w)) std::fprintf(stderr, "  visible window %p: '%s'\n", static_cast<void*>(w), windowText(w).c_str());
    return TRUE;
}

// The window and its control, waited for together: a page may be between two states for a moment (a status
// refresh, a box closing), and a control found on one look may be there on the next.
HWND waitForControl(const std::string& caption, const std::string& idOrText, DWORD timeoutMs, Kind kind) {
    const DWORD start = GetTickCount();
    HWND window = nullptr;
    for (;;) {
        auto all = findAll(caption, kind);
        window = all.empty() ? nullptr : all.front();
        if (window)
            if (HWND control = findControl(window, idOrText)) return control;
        if (GetTickCount() - start >= timeoutMs) break;
        Sleep(100);
    }
    if (!window) {
        std::fprintf(stderr, "no visible window '%s' of that kind after %lu ms\n", caption.c_str(),
                     static_cast<unsigned long>(timeoutMs));
        EnumWindows(listWindow, 0);
    } else {
        std::fprintf(stderr, "window '%s' has no visible control '%s' after %lu ms\n", caption.c_str(),
                     idOrText.c_str(), static_cast<unsigned long>(timeoutMs));
    }
    return nullptr;
}

BOOL CALLBACK printChildText(HWND child, LPARAM) {
    // A record separator, as texts may hold line breaks of their own.
    std::printf("%s\x1e", windowText(child).c_str());
    return TRUE;
}

// --- Tree views with check boxes: the tree lives in the installer's process, so an item's text is read through
// a buffer placed in that process; items are walked and selected by their handles, which need no buffer. ---

BOOL CALLBACK matchTreeView(HWND child, LPARAM param) {
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof(cls));
    if (lstrcmpiA(cls, "SysTreeView32") == 0) {
        *reinterpret_cast<HWND*>(param) = child;
        return FALSE;
    }
    return TRUE;
}

class RemoteTree {
public:
    explicit RemoteTree(HWND tree) : tree_(tree) {
        DWORD pid = 0;
        GetWindowThreadProcessId(tree, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            remote_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteTree() {
        if (remote_) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteTree(const RemoteTree&) = delete;
    RemoteTree& operator=(const RemoteTree&) = delete;

    bool ready() const { return remote_ != nullptr; }

    std::string text(HTREEITEM item) const {
        TVITEMA request = {};
        request.mask = TVIF_TEXT | TVIF_HANDLE;
        request.hItem = item;
        request.pszText = remote_ + sizeof(TVITEMA);
        request.cchTextMax = static_cast<int>(Size - sizeof(TVITEMA));
        char buf[Size] = {};
        if (!WriteProcessMemory(process_, remote_, &request, sizeof(request), nullptr)) return {};
        if (!SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote_))) return {};
        if (!ReadProcessMemory(process_, remote_ + sizeof(TVITEMA), buf, Size - sizeof(TVITEMA) - 1, nullptr))
            return {};
        return buf;
    }

    HTREEITEM next(HTREEITEM item, UINT how) const {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    }

    // "Parent>Child" names an item by the texts of its last ancestors; a plain text matches any item of that text.
    HTREEITEM find(const std::string& path) const {
        std::vector<std::string> parts;
        for (std::size_t start = 0;;) {
            const std::size_t sep = path.find('>', start);
            parts.push_back(path.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
            if (sep == std::string::npos) break;
            start = sep + 1;
        }
        return search(next(nullptr, TVGN_ROOT), parts, {});
    }

    // 1 = checked, 0 = unchecked, -1 = no check box.
    int checked(HTREEITEM item) const {
        const UINT image = static_cast<UINT>(SendMessageA(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                                          TVIS_STATEIMAGEMASK)) >> 12;
        return image == 2 ? 1 : image == 1 ? 0 : -1;
    }

private:
    static constexpr std::size_t Size = 1024;

    HTREEITEM search(HTREEITEM item, const std::vector<std::string>& parts, std::vector<std::string> chain) const {
        for (; item; item = next(item, TVGN_NEXT)) {
            chain.push_back(text(item));
            if (chain.size() >= parts.size() &&
                std::equal(parts.begin(), parts.end(), chain.end() - static_cast<std::ptrdiff_t>(parts.size())))
                return item;
            if (HTREEITEM found = search(next(item, TVGN_CHILD), parts, chain)) return found;
            chain.pop_back();
        }
        return nullptr;
    }

    HWND tree_;
    HANDLE process_ = nullptr;
    char* remote_ = nullptr;
};

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
        HWND control = waitForControl(caption, argv[3], 5000, parseKind(argc > 4 ? argv[4] : nullptr));
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
        HWND control = waitForControl(caption, argv[3], 5000, parseKind(argc > 4 ? argv[4] : nullptr));
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
        HWND control = waitForControl(caption, argv[3], 5000, parseKind(argc > 4 ? argv[4] : nullptr));
        if (!control) return 1;
        const LRESULT check = SendMessageA(control, BM_GETCHECK, 0, 0);
        std::printf("enabled=%d checked=%d visible=%d\n", IsWindowEnabled(control) ? 1 : 0, check == BST_CHECKED ? 1 : 0,
                    IsWindowVisible(control) ? 1 : 0);
        return 0;
    }
    if (command == "pick") {
        if (argc < 5) return usage();
        HWND control = waitForControl(caption, argv[3], 5000, parseKind(argc > 5 ? argv[5] : nullptr));
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
    if (command == "texts") {
        DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 0) : 5000;
        HWND w = waitFor(caption, timeout, parseKind(argc > 4 ? argv[4] : nullptr));
        if (!w) return 1;
        EnumChildWindows(w, printChildText, 0);
        return 0;
    }
    // --- Content pages: link texts (statics that report clicks) and the category tabs ---
    if (command == "press") {
        // A mouse click on a control that is no button (a link text): pressed and let go at its top left.
        if (argc < 4) return usage();
        HWND control = waitForControl(caption, argv[3], 5000, parseKind(argc > 4 ? argv[4] : nullptr));
        if (!control) return 1;
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        return 0;
    }
    if (command == "tabs") {
        // The number of tabs of a tab control and the selected one.
        if (argc < 4) return usage();
        HWND control = waitForControl(caption, argv[3], 5000, parseKind(argc > 4 ? argv[4] : nullptr));
        if (!control) return 1;
        std::printf("count=%d selected=%d\n", static_cast<int>(SendMessageA(control, 0x1304 /* TCM_GETITEMCOUNT */, 0, 0)),
                    static_cast<int>(SendMessageA(control, 0x130B /* TCM_GETCURSEL */, 0, 0)));
        return 0;
    }
    // --- Tree views with check boxes ---
    if (command == "treecheck" || command == "treestate") {
        const bool set = command == "treecheck";
        if (argc < (set ? 5 : 4)) return usage();
        HWND w = waitFor(caption, 5000, Kind::Any);
        HWND tree = nullptr;
        if (w) EnumChildWindows(w, matchTreeView, reinterpret_cast<LPARAM>(&tree));
        if (!tree) return 1;
        RemoteTree remote(tree);
        HTREEITEM item = remote.ready() ? remote.find(argv[3]) : nullptr;
        if (!item) return 1;
        if (!set) {
            std::printf("checked=%d\n", remote.checked(item));
            return 0;
        }
        const int wanted = std::atoi(argv[4]) ? 1 : 0;
        if (remote.checked(item) != wanted) {
            // Selected, then the space key pressed and let go: posted, so that the dialog's message loop turns
            // the key into its character as it does for a person, and the dialog hears of the toggle.
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            PostMessageA(tree, WM_KEYDOWN, VK_SPACE, 0x00390001);
            PostMessageA(tree, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
        }
        const DWORD start = GetTickCount();
        while (remote.checked(item) != wanted) {
            if (GetTickCount() - start >= 5000) return 1;
            Sleep(50);
        }
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
