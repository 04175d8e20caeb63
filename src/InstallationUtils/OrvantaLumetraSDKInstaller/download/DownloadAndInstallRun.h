// One component downloaded and, unless the run is download-only, installed: the behaviour of the download-
// and-install progress dialog behind its window, and the worker body that runs on the dialog's thread.
//
// The worker never touches the dialog: it reports events (WorkerEvent codes) through a sink that delivers
// them synchronously to the run, on the window's thread.
#pragma once

#include <cstdint>
#include <string>

#include "app/UserInterface.h"
#include "components/ComponentInfo.h"
#include "components/OperationDialogs.h"
#include "download/Fetch.h"
#include "download/RunView.h"
#include "platform/Machine.h"

namespace download {

// Where a worker reports; each call returns once the dialog has handled the event.
class WorkerEventSink {
public:
    virtual ~WorkerEventSink() = default;
    virtual void send(int code, int32_t value) = 0;
};

// Creates folder and every missing parent: each leading part (split at "\" and "/") in turn, passing over
// parts that exist or cannot be created, then the whole folder when it is still missing.
void createDownloadFolder(platform::Machine& machine, const std::string& folder);

// After a download phase at most the final file remains: a backup comes back as the final file when the new
// download produced none, and any backup left is deleted.
void settleBackup(platform::Machine& machine, const DownloadPaths& paths);

class DDownloadAndInstallComponent {
public:
    // Derives the path triple from the record and creates its download folder.
    DDownloadAndInstallComponent(platform::Machine& machine, int componentIndex, int componentCount,
                                 const dvComponentInfo& component, bool downloadOnly, bool forceDownload,
                                 bool reportErrors);
    DDownloadAndInstallComponent(const DDownloadAndInstallComponent&) = delete;
    DDownloadAndInstallComponent& operator=(const DDownloadAndInstallComponent&) = delete;

    const DownloadPaths& paths() const { return paths_; }
    const dvComponentInfo& component() const { return component_; }
    bool downloadOnly() const { return downloadOnly_; }
    bool forceDownload() const { return forceDownload_; }
    bool reportErrors() const { return reportErrors_; }

    // The window exists: caption, header, first texts, bar at 0. The host starts the worker afterwards.
    void onInitDialog(RunView& view);
    // A worker event (code 100..104) with its value (the total KB for 100, the KB received for 101).
    void onWorkerEvent(int code, int32_t value);
    void onTimer(unsigned id);
    // The Abort button: asks, and ends the dialog with Cancel on Yes.
    void onAbort();
    // The person confirmed Abort: the dialog's Cancel was their wish, not a failure.
    bool abortedByUser() const { return abortedByUser_; }

    const std::string& titleText() const { return titleText_; }
    const std::string& statusText() const { return statusText_; }
    const std::string& sizeText() const { return sizeText_; }
    const std::string& installText() const { return installText_; }
    int progress() const { return progress_; }
    int32_t totalKilobytes() const { return totalKilobytes_; }

private:
    void showTexts();
    void setProgress(int position);

    platform::Machine& machine_;
    const dvComponentInfo& component_;
    int componentIndex_, componentCount_;
    bool downloadOnly_, forceDownload_, reportErrors_;
    DownloadPaths paths_;
    RunView* view_ = nullptr;
    int32_t totalKilobytes_ = 0;
    int progress_ = 0;
    bool abortedByUser_ = false;
    std::string titleText_, displayNameText_, statusText_, sizeText_, installText_;
};

// What the worker takes from the record: copies, so that a worker the dialog had to leave behind still owns
// everything it reads.
struct InstallerRecord {
    std::string displayName;
    std::string downloadUrl;
    std::string installArguments;
    bool isMsiPackage = false;
    bool alwaysDownload = false;
    static InstallerRecord of(const dvComponentInfo& record);
};

// The system's msiexec: the system folder with "/" for "\" and no trailing "/", then "\msiexec.exe".
std::string systemMsiexec(platform::Machine& machine);

// The program and complete command line that install the downloaded file finalPath.
struct InstallerCommand {
    std::string program;
    std::string commandLine;
};
InstallerCommand installerCommand(platform::Machine& machine, const InstallerRecord& record,
                                  const std::string& finalPath);

// The worker: fetch, then (install runs) the installer, reporting through sink. Once the abort signal is
// set it sends nothing more and starts nothing.
void runDownloadAndInstallWorker(platform::Machine& machine, ui::UserInterface& ui, const InstallerRecord& record,
                                 const components::DownloadRunFlags& flags, const DownloadPaths& paths,
                                 AbortSignal& signal, WorkerEventSink& sink);

}  // namespace download
