// The program's entry: the application object on the real machine, then the wizard.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <prsht.h>

#include <optional>

#include "app/AppTexts.h"
#include "components/ServerAddress.h"
#include "download/win32/Win32OperationDialogs.h"
#include "pages/components/win32/VexlibVersionDialog.h"
#include "pages/welcome/WelcomePage.h"
#include "pages/welcome/win32/WelcomeHost.h"
#include "pages/content/TutorialsPage.h"
#include "versions/InstallerCopyTexts.h"
#include "versions/PageCopySteps.h"
#include "versions/win32/NewVersionAvailable.h"
#include "versions/win32/SelectInstallerComponents.h"
#include "wizard/InstallerSheet.h"
#include "wizard/win32/SheetHost.h"
#include "app/InstallerApp.h"
#include "platform/win32/Win32Machine.h"
#include "resources/resource.h"
#include "wizard/win32/Win32UserInterface.h"
#include "wizard/win32/Win32Unattended.h"

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
        if (!app_) return;
        components::OperationDialogs& dialogs = dialogs_.emplace(app_->machine());
        wizard::PageEnvironment environment{app_->machine(),
                                            app_->ui(),
                                            dialogs,
                                            app_->appFolder(),
                                            app_->folderWritable(),
                                            components::serverBaseUrl(app_->machine()),
                                            app_->machine().environment.nativeArchitecture() ==
                                                platform::arch::Amd64};
        vexlib::win32::VexlibVersionDialog vexlibDialog(app_->ui());
        environment.vexlibDialog = &vexlibDialog;
        wizard::ovDLumetraSDKInstallerSheet sheet(environment);
        auto checker = std::make_shared<NewVersionInfo>(app_->machine(), environment.serverBase);
        SheetHost host(sheet, checker);
        // The welcome page: its window's own controls, and the news of the check.
        auto& welcome = static_cast<ovDInstallWelcomeBase&>(sheet.page(0));
        WelcomeHost welcomeHost(welcome, host.pageHost(0));
        welcome.newerVersion = [checker]() -> std::optional<std::string> {
            if (checker->checkState() != NewVersionInfo::NewerVersionAvailable) return std::nullopt;
            return checker->latestVersionNumber();
        };
        // The newer installer (its icon and link) and "Create Installer Copy" on the welcome page.
        welcome.openNewVersionDialog = [&environment, checker] {
            versions::win32::Win32NewVersionView view;
            checker->showNewVersionDialog(environment.operationContext(), environment.folderWritable, view);
        };
        versions::DownloadCategoryList copyCategories;
        copyCategories.buildFromComponents(welcome.components());
        welcome.componentsChanged = [&copyCategories](const dvInstallManagerBase& rows) {
            copyCategories.buildFromComponents(rows);
        };
        welcome.createInstallerCopy = [&] {
            versions::win32::DSelectInstallerComponents dialog(app_->ui(), host.window());
            versions::PageCopySteps steps(welcome, dialog, [&sheet](bool force, unsigned char* ignoreAll) {
                return sheet.prepareHelpFiles(force, ignoreAll);
            });
            // A tutorials page without a window lists the tutorial archives; their records write into its strings.
            ovDInstallTutorials tutorials(environment, installercopytexts::TutorialsTitle);
            versions::createInstallerCopy(copyCategories, steps, environment.operationContext(),
                                          [&tutorials](dvInstallManagerBase& target) {
                                              return tutorials.collectTutorialArchives(target);
                                          });
        };
        host.run();
    }
    void setApplication(COrvantaLumetraSDKInstallerApp* app) { app_ = app; }

private:
    bool oleStarted_ = false;
    COrvantaLumetraSDKInstallerApp* app_ = nullptr;
    std::optional<download::win32::Win32OperationDialogs> dialogs_;
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
    shell.setApplication(&app);
    app.InitInstance();
    return app.ExitInstance();
}
