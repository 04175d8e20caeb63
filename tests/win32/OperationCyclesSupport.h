// What the Wine tests of whole operations share: catalogue rows served by the loopback vendor server, a page's
// worth of rows on a real machine with the real dialogs, a person at the screen who answers the dialogs a test
// cannot answer through the engine, and the clean-up of everything a stand-in product can leave behind in the
// prefix that the whole Wine run shares.
#pragma once

#include "PlatformTestSupport.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/UserInterface.h"
#include "components/Catalogue.h"
#include "components/InstallManagerBase.h"
#include "components/Probes.h"
#include "components/StatusRules.h"
#include "download/win32/DownloadErrorDialogRes.h"
#include "download/win32/PleaseWaitDialogRes.h"
#include "download/win32/Win32OperationDialogs.h"
#include "platform/win32/Win32Machine.h"

namespace cycles {

using platform_test::pathPresent;

// The worker threads' message boxes carry the program's base name.
inline const char* const WorkerBoxCaption = "win32_tests";
inline const char* const UninstallDialogCaption =
    "Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Uninstall Components";
inline const char* const DownloadErrorCaption = "Unabe to Download Component";

inline std::optional<components::CatalogueRow> catalogueRow(const std::string& displayName, bool is64Bit) {
    for (components::CataloguePage page : components::AllCataloguePages)
        for (const components::CatalogueRow& row : components::catalogueRows(page, is64Bit))
            if (displayName == row.displayName) return row;
    return std::nullopt;
}

inline std::string backslashed(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

inline std::string environmentOr(const char* name, const char* fallback) {
    std::string value = platform_test::environmentValue(name);
    return value.empty() ? fallback : value;
}

// ---- windows on the screen ----------------------------------------------------------------------------------

// A window's text without sending it a message (its thread may be busy).
inline std::string storedText(HWND window) {
    WCHAR wide[1024] = {};
    int n = InternalGetWindowText(window, wide, 1024);
    char narrow[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, n, narrow, sizeof(narrow) - 1, nullptr, nullptr);
    return narrow;
}

inline BOOL CALLBACK firstStaticText(HWND child, LPARAM out) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof(cls));
    std::string value = storedText(child);
    if (lstrcmpiA(cls, "Static") == 0 && !value.empty()) {
        *reinterpret_cast<std::string*>(out) = value;
        return FALSE;
    }
    return TRUE;
}

inline std::string messageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, firstStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

inline HWND visibleDialog(const char* caption) {
    HWND found = FindWindowA("#32770", caption);
    return found && IsWindowVisible(found) ? found : nullptr;
}

// ---- the person in front of the machine ------------------------------------------------------------------

// The engine's own questions and reports, answered by script and recorded; an unscripted question is
// answered No, so that a test never waits on a box nobody reads.
class ScriptedUi : public ui::UserInterface {
public:
    std::deque<ui::Answer> answers;
    std::vector<std::string> shown;

    ui::Answer messageBox(const std::string& text, const std::string&, ui::Buttons buttons, ui::Icon, bool) override {
        shown.push_back(text);
        if (!answers.empty()) {
            ui::Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == ui::Buttons::Ok ? ui::Answer::Ok : ui::Answer::No;
    }
    void applicationMessage(const std::string& text) override { shown.push_back(text); }
};

// The real dialogs' boxes from their worker threads, and the download error dialog, answered from a thread of
// its own while the test's thread sits in the operation. Every box is recorded. An uninstall dialog left open
// by a failed removal is aborted, so that the operation comes back and reports its error.
class ScreenUser {
public:
    // What to do in the download error dialog: the button, and anything to do before pressing it.
    struct Choice {
        int button;
        std::function<void()> before;
    };

    explicit ScreenUser(std::vector<Choice> choices = {}) : choices_(std::move(choices)) {
        thread_ = std::thread([this] { run(); });
    }
    ~ScreenUser() { stop(); }
    ScreenUser(const ScreenUser&) = delete;
    ScreenUser& operator=(const ScreenUser&) = delete;

    void stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::vector<std::string> workerBoxes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return workerBoxes_;
    }
    std::vector<std::string> errorDialogs() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return errorDialogs_;
    }
    // The wait box that watches the OPC Scout clean-up program was on the screen.
    bool sawProgramWait() const { return sawProgramWait_; }

private:
    void run() {
        while (!stop_) {
            if (HWND box = visibleDialog(WorkerBoxCaption)) {
                std::string text = messageBoxText(box);
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    workerBoxes_.push_back(text);
                }
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                platform_test::waitFor([&] { return !IsWindow(box); }, 5000);
                abortFailedUninstall();
            }
            if (HWND dialog = visibleDialog(DownloadErrorCaption)) {
                std::string text = storedText(GetDlgItem(dialog, IDC_DLERR_MESSAGE));
                Choice choice{IDC_DLERR_QUIT, nullptr};
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    errorDialogs_.push_back(text);
                    if (next_ < choices_.size()) choice = choices_[next_++];
                }
                if (choice.before) choice.before();
                PostMessageA(dialog, WM_COMMAND, choice.button, 0);
                platform_test::waitFor([&] { return !IsWindow(dialog); }, 5000);
            }
            if (HWND wait = visibleDialog("Please wait..."))
                if (GetDlgItem(wait, IDC_OPC_SCOUT_WAIT_TEXT)) sawProgramWait_ = true;
            Sleep(20);
        }
    }

    void abortFailedUninstall() {
        HWND dialog = FindWindowA("#32770", UninstallDialogCaption);
        if (!dialog) return;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        HWND confirm = nullptr;
        if (platform_test::waitFor([&] { return (confirm = visibleDialog("Confirmation")) != nullptr; }, 5000))
            PostMessageA(confirm, WM_COMMAND, IDYES, 0);
    }

private:
    std::vector<Choice> choices_;
    std::size_t next_ = 0;
    std::vector<std::string> workerBoxes_, errorDialogs_;
    std::atomic<bool> stop_{false}, sawProgramWait_{false};
    mutable std::mutex mutex_;
    std::thread thread_;
};

// ---- the loopback vendor server ----------------------------------------------------------------------------

// The tree run-with-server.sh serves. A test copies the files it needs from the generated vendor tree into
// it, at the catalogue's server paths, and takes them away again.
class VendorTree {
public:
    bool available() const { return !url_.empty() && !root_.empty() && pathPresent(fixtureServer_); }
    const std::string& url() const { return url_; }

    std::string servedPath(const components::CatalogueRow& row) const {
        return root_ + backslashed(std::string(row.serverPath) + row.fileName);
    }
    std::string fixturePath(const components::CatalogueRow& row) const {
        return fixtureServer_ + backslashed(std::string(row.serverPath) + row.fileName);
    }

    bool publish(const components::CatalogueRow& row) {
        std::string folder = root_;
        const std::string path = backslashed(row.serverPath);
        for (std::size_t begin = 1, slash; (slash = path.find('\\', begin)) != std::string::npos; begin = slash + 1) {
            folder.append("\\").append(path, begin, slash - begin);
            CreateDirectoryA(folder.c_str(), nullptr);
        }
        published_.push_back(servedPath(row));
        return CopyFileA(fixturePath(row).c_str(), servedPath(row).c_str(), FALSE) != 0;
    }
    void withdraw(const components::CatalogueRow& row) const { DeleteFileA(servedPath(row).c_str()); }
    ~VendorTree() {
        for (const std::string& file : published_) DeleteFileA(file.c_str());
    }

private:
    std::string url_ = platform_test::environmentValue("INSTALLER_VENDOR_URL");
    std::string root_ = platform_test::dosPath(platform_test::environmentValue("INSTALLER_VENDOR_ROOT"));
    std::string fixtureServer_ = platform_test::fixturesFolder() + "\\server";
    std::vector<std::string> published_;
};

// ---- rows of a page on the real machine ----------------------------------------------------------------------

// A list of catalogue rows as a page holds them, with the page strings they write, working on the real
// machine through the real dialogs; the installer's folder is a scratch folder.
class RealPage {
public:
    RealPage(const VendorTree& vendor, const std::vector<std::string>& displayNames, bool is64Bit,
             ui::UserInterface& ui)
        : ui_(ui) {
        std::vector<dvComponentInfo> records;
        for (const std::string& name : displayNames) {
            auto row = catalogueRow(name, is64Bit);
            if (!row) throw std::invalid_argument(name + " is not in the catalogue");
            rows_.push_back(*row);
            labels_.push_back(std::make_unique<Labels>());
            Labels& l = *labels_.back();
            records.push_back(components::makeComponent(*row, app_.path(), vendor.url(), {&l.name, &l.status, &l.action}));
        }
        manager.setComponents(records);
        manager.setContext(components::OperationContext{machine, ui_, dialogs, app_.path()});
    }

    platform::Machine& machine = platform::win32::realMachine();
    download::win32::Win32OperationDialogs dialogs{machine};
    dvInstallManagerBase manager;

    const components::CatalogueRow& row(int i) const { return rows_.at(i); }
    std::string action(int i) const { return labels_.at(i)->action; }
    std::string status(int i) const { return labels_.at(i)->status; }
    // The status the probes give the row now (what the page shows after its next refresh).
    std::string probedStatus(int i) {
        components::refreshStatuses(machine, manager, i, i);
        return labels_.at(i)->status;
    }
    std::string downloaded(int i) const {
        const dvComponentInfo& record = manager.component(unsigned(i));
        return record.downloadFolder() + "\\" + record.fileName();
    }
    const std::string& appFolder() const { return app_.path(); }

private:
    struct Labels {
        std::string name, status, action;
    };
    ui::UserInterface& ui_;
    platform_test::ScratchFolder app_;
    std::vector<components::CatalogueRow> rows_;
    std::vector<std::unique_ptr<Labels>> labels_;
};

// ---- the machine before and after -----------------------------------------------------------------------

// Everything a case may leave in the prefix: Windows Installer products, Uninstall keys (both hives),
// folders and HKLM key trees. Cleared when the case starts (an interrupted earlier run) and when it ends.
struct Leftovers {
    std::vector<std::string> products;
    std::vector<std::string> uninstallKeys;
    std::vector<std::string> folders;
    std::vector<std::string> machineKeys;

    void clear(platform::Machine& machine) const {
        const std::string msiexec = machine.environment.systemFolder().value_or("C:\\windows\\system32") + "\\msiexec.exe";
        for (const std::string& code : products)
            for (int attempt = 0; attempt < 3 && components::msiRegistered(machine, code); ++attempt)
                if (auto process = machine.processes.start(msiexec, msiexec + " /x " + code + " /qn"))
                    process->wait(120000);
        for (const std::string& key : uninstallKeys)
            for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
                RegDeleteKeyA(hive, (std::string(components::UninstallRoot) + key).c_str());
        for (const std::string& folder : folders)
            if (folder.size() > 7) platform_test::removeTree(folder);
        for (const std::string& key : machineKeys) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    }
};

// The folder a stand-in product is installed in (its uninstaller stays there), in both places its setup
// may choose.
inline std::vector<std::string> standInFolders(const std::string& leaf) {
    return {environmentOr("ProgramFiles", "C:\\Program Files") + "\\Stand-ins\\" + leaf,
            environmentOr("SystemDrive", "C:") + "\\StandIns\\" + leaf};
}

// The machine PATH as it was; put back byte for byte (type included) when the guard ends.
class SystemPathGuard {
public:
    static constexpr const char* Key = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

    SystemPathGuard() { saved_ = read(type_); }
    ~SystemPathGuard() {
        DWORD type = 0;
        if (read(type) == saved_ && type == type_) return;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        if (saved_)
            RegSetValueExA(key, "Path", 0, type_, reinterpret_cast<const BYTE*>(saved_->data()), DWORD(saved_->size()));
        else
            RegDeleteValueA(key, "Path");
        RegCloseKey(key);
    }
    SystemPathGuard(const SystemPathGuard&) = delete;
    SystemPathGuard& operator=(const SystemPathGuard&) = delete;

    // The raw value (with its terminator) and its type.
    static std::optional<std::string> read(DWORD& type) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
        DWORD size = 0;
        std::optional<std::string> value;
        if (RegQueryValueExA(key, "Path", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            std::string bytes(size, '\0');
            if (RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) ==
                ERROR_SUCCESS) {
                bytes.resize(size);
                value = bytes;
            }
        }
        RegCloseKey(key);
        return value;
    }
    // The value as text.
    static std::string text(DWORD& type) {
        std::string raw = read(type).value_or("");
        return raw.substr(0, raw.find('\0'));
    }

private:
    std::optional<std::string> saved_;
    DWORD type_ = REG_EXPAND_SZ;
};

}  // namespace cycles
