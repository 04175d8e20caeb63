// The check for a newer installer: once per run, in the background, the upgrade information file on the vendor
// server is compared with this installer's title; when it names another installer its release notes are
// fetched as well.
#pragma once

#include <atomic>
#include <string>

#include "download/Fetch.h"
#include "platform/Machine.h"

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

private:
    int fail(int result);
    std::string read(const std::string& key);

    platform::Machine& machine_;
    std::string serverBase_;
    std::string tempFolder_;
    std::atomic<CheckState> checkState_{NotChecked};
    std::string latestVersionName_, latestVersionNumber_, currentVersionName_, releaseNotesPath_;
};
