// The check for a newer installer: once per run, in the background, the upgrade information file on the vendor
// server is compared with this installer's title; when it names another installer its release notes are
// fetched as well.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "components/OperationContext.h"
#include "components/OperationDialogs.h"
#include "download/Fetch.h"
#include "platform/Machine.h"

// What showing and fetching a newer installer asks of the window system.
class NewVersionView {
public:
    virtual ~NewVersionView() = default;
    // DNewVersionAvailable, modal: Ok when the user chose Download. The dialog ends as Cancel by itself when
    // the release notes cannot be shown.
    virtual components::DialogEnd newVersionAvailable(const std::string& releaseNotesFile,
                                                      const std::string& currentVersion,
                                                      const std::string& latestVersion) = 0;
    // The shell's folder browser with this title; nothing when the user cancelled or the choice is not a folder
    // of the file system.
    virtual std::optional<std::string> browseForFolder(const std::string& title) = 0;
    // Runs the wizard's current page's activation again (a welcome page on screen then lists the new copy).
    virtual void reactivateCurrentPage() = 0;
};

class NewVersionInfo {
public:
    // Makes the run's private temporary folder (tempFolder() stays empty when none could be made).
    NewVersionInfo(platform::Machine& machine, std::string serverBase);
    // Removes the temporary folder with what the check left in it.
    ~NewVersionInfo();
    NewVersionInfo(const NewVersionInfo&) = delete;
    NewVersionInfo& operator=(const NewVersionInfo&) = delete;

    enum CheckState { NotChecked = 0, NoNewerVersion = 1, NewerVersionAvailable = 2 };
    // The results of checkForNewVersion.
    static constexpr int Found = 1;
    static constexpr int UpgradeInfoUnavailable = -7880;
    static constexpr int NoDifferentVersion = -7881;
    static constexpr int ReleaseNotesUnavailable = -7882;

    // 1 when the server names another installer and its release notes arrived; otherwise one of the negative
    // results above, and the state becomes "no newer version". abort (may be null) stops a transfer from any
    // thread, its blocked network call included; a stopped check fails like an unreachable server.
    int checkForNewVersion(download::AbortSignal* abort);

    CheckState checkState() const { return checkState_.load(); }
    const std::string& tempFolder() const { return tempFolder_; }
    // Valid once checkState() is NewerVersionAvailable.
    const std::string& latestVersionName() const { return latestVersionName_; }
    const std::string& latestVersionNumber() const { return latestVersionNumber_; }
    const std::string& currentVersionName() const { return currentVersionName_; }
    const std::string& releaseNotesPath() const { return releaseNotesPath_; }

    // The welcome page's new-version link and icon. Shows the new version with its release notes and, on
    // Download, fetches it; 1, or -1 (after a message) when no newer version is known. context.appFolder is the
    // installer's folder; folderWritable says whether the new program may go into its copies folder.
    int showNewVersionDialog(const components::OperationContext& context, bool folderWritable, NewVersionView& view);
    // Fetches the announced installer into the copies folder, or into a folder the user picks when the
    // installer's folder is not writable. False when nothing was fetched (a failed download was reported by
    // the download dialogs).
    bool downloadNewInstaller(const components::OperationContext& context, bool folderWritable, NewVersionView& view);

private:
    int fail(int result);
    std::string read(const std::string& key);

    platform::Machine& machine_;
    std::string serverBase_;
    std::string tempFolder_;
    std::atomic<CheckState> checkState_{NotChecked};
    std::string latestVersionName_, latestVersionNumber_, currentVersionName_, releaseNotesPath_;
};
