// The program's entry: the application object on the real machine, then the wizard.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <prsht.h>

#include "app/AppTexts.h"
#include "app/InstallerApp.h"
#include "platform/win32/Win32Machine.h"
#include "resources/resource.h"
#include "wizard/Win32UserInterface.h"
#include "wizard/Win32Unattended.h"

namespace {

// GDI+ flat API (gdiplus.dll), as much of it as start-up and shutdown need.
struct GdiplusStartupInput {
    UINT32 GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};
extern "C" int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
extern "C" void WINAPI GdiplusShutdown(ULONG_PTR token);

int CALLBACK sheetCallback(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) setMainWindow(sheet);
    return 0;
}

INT_PTR CALLBACK placeholderPage(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PSN_SETACTIVE) {
        PropSheet_SetWizButtons(GetParent(page), 0);
        return TRUE;
    }
    return FALSE;
}

// The program runs elevated from wherever it was copied, Downloads included: a DLL dropped beside it must never
// be loaded. SetDefaultDllDirectories is looked up because Windows 7 has it only with KB2533623; without it the
// current folder at least leaves the search, and libraries the program loads itself are named by full path.
bool restrictDllSearchToSystem32() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    SetDllDirectoryA("");
    return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE loadSystemLibrary(const char* name) {
    if (HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    char path[MAX_PATH + 32];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

class Win32ApplicationShell : public ApplicationShell {
public:
    ~Win32ApplicationShell() override {
        if (oleStarted_) OleUninitialize();
    }
    uintptr_t startGraphics() override {
        GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return GdiplusStartup(&token, &input, nullptr) == 0 ? token : 0;
    }
    void stopGraphics(uintptr_t token) override {
        if (token) GdiplusShutdown(token);
    }
    void registerControlClasses() override {
        loadSystemLibrary("RICHED20.DLL");
        INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
        InitCommonControlsEx(&controls);
        oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
    }
    void runWizard() override {
        // The sheet holds one empty page until the wizard's pages are in place.
        PROPSHEETPAGEA page = {};
        page.dwSize = sizeof(page);
        page.hInstance = GetModuleHandleA(nullptr);
        page.pszTemplate = MAKEINTRESOURCEA(IDD_WIZARD_PLACEHOLDER);
        page.pfnDlgProc = placeholderPage;
        HPROPSHEETPAGE pages[] = {CreatePropertySheetPageA(&page)};

        PROPSHEETHEADERA header = {};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_WIZARD | PSH_USECALLBACK;
        header.hInstance = GetModuleHandleA(nullptr);
        header.pszCaption = apptexts::InstallerTitle;
        header.nPages = 1;
        header.phpage = pages;
        header.pfnCallback = sheetCallback;
        PropertySheetA(&header);
        setMainWindow(nullptr);
    }

private:
    bool oleStarted_ = false;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything else: the delay-loaded DLLs resolve through this search order.
    restrictDllSearchToSystem32();
    // Arguments are a fleet tool's or a script's request; without them the wizard opens as it always did.
    if (auto exitCode = runCommandLineRequest()) return *exitCode;
    Win32UserInterface ui;
    Win32ApplicationShell shell;
    COrvantaLumetraSDKInstallerApp app(platform::win32::realMachine(), ui, shell);
    app.InitInstance();
    return app.ExitInstance();
}
