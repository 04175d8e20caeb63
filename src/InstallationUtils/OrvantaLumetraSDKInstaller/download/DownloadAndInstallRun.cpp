#include "download/DownloadAndInstallRun.h"

#include <algorithm>

#include "app/AppTexts.h"
#include "app/FileUtils.h"
#include "app/RunLog.h"
#include "download/DialogIds.h"
#include "download/DialogTexts.h"
#include "platform/TextFormat.h"

namespace download {

namespace {

using components::DialogEnd;
constexpr uint32_t ReplaceFlags = platform::moveflag::ReplaceExisting | platform::moveflag::WriteThrough;
constexpr unsigned EndPauseMs = 100;

// Delivers the fetch's events to the sink, and nothing once the dialog has let the worker go.
class FetchToSink : public FetchEvents {
public:
    FetchToSink(WorkerEventSink& sink, const AbortSignal& signal) : sink_(sink), signal_(signal) {}
    void downloadStarted(int32_t totalKilobytes) override { send(DownloadStarted, totalKilobytes); }
    void downloadProgress(int32_t kilobytes) override { send(DownloadProgress, kilobytes); }
    void downloadCompleted() override { send(DownloadCompleted, 0); }
    void downloadFailed() override { send(DownloadFailed, 0); }
    void send(int code, int32_t value) {
        if (!signal_.aborted()) sink_.send(code, value);
    }

private:
    WorkerEventSink& sink_;
    const AbortSignal& signal_;
};

}  // namespace

void createDownloadFolder(platform::Machine& machine, const std::string& folder) {
    for (std::size_t at = folder.find_first_of("\\/"); at != std::string::npos;
         at = folder.find_first_of("\\/", at + 1)) {
        std::string part = folder.substr(0, at);
        if (!part.empty() && !fileExists(machine, part)) machine.files.createFolder(part);
    }
    if (!fileExists(machine, folder)) machine.files.createFolder(folder);
}

void settleBackup(platform::Machine& machine, const DownloadPaths& paths) {
    if (!fileExists(machine, paths.final) && fileExists(machine, paths.backup))
        machine.files.moveFile(paths.backup, paths.final, ReplaceFlags);
    if (fileExists(machine, paths.backup)) {
        machine.files.setAttributes(paths.backup, platform::attr::Archive);
        machine.files.deleteFile(paths.backup);
    }
}

DDownloadAndInstallComponent::DDownloadAndInstallComponent(platform::Machine& machine, int componentIndex,
                                                           int componentCount, const dvComponentInfo& component,
                                                           bool downloadOnly, bool forceDownload, bool reportErrors)
    : machine_(machine), component_(component), componentIndex_(componentIndex), componentCount_(componentCount),
      downloadOnly_(downloadOnly), forceDownload_(forceDownload), reportErrors_(reportErrors),
      paths_(downloadPaths(component.downloadFolder(), component.fileName())) {
    createDownloadFolder(machine, component.downloadFolder());
}

void DDownloadAndInstallComponent::onInitDialog(RunView& view) {
    view_ = &view;
    titleText_ = text::format(downloadOnly_ ? dialogtexts::DownloadingComponentOf : dialogtexts::InstallingComponentOf,
                            componentIndex_, componentCount_);
    view.setCaption(text::format(downloadOnly_ ? dialogtexts::DownloadOnlyCaption : dialogtexts::DownloadAndInstallCaption,
                               apptexts::InstallerTitle));
    displayNameText_ = component_.displayName();
    view.setHeader(titleText_, displayNameText_);
    statusText_ = dialogtexts::DownloadingPleaseWait;
    sizeText_.clear();
    installText_.clear();
    setProgress(0);
    showTexts();
}

void DDownloadAndInstallComponent::onWorkerEvent(int code, int32_t value) {
    if (!view_) return;
    switch (code) {
        case DownloadStarted:
            totalKilobytes_ = value;
            sizeText_ = text::format(dialogtexts::DownloadedOf, 0L, static_cast<long>(totalKilobytes_));
            break;
        case DownloadProgress:
            sizeText_ = text::format(dialogtexts::DownloadedOf, static_cast<long>(value),
                                   static_cast<long>(totalKilobytes_));
            // Without a Content-Length the total is 0 and the bar has nothing to measure against.
            if (std::optional<int> position = progressPosition(value, totalKilobytes_)) setProgress(*position);
            break;
        case DownloadCompleted:
            statusText_ = dialogtexts::DownloadCompleted;
            sizeText_.clear();
            settleBackup(machine_, paths_);
            if (downloadOnly_) {
                showTexts();
                view_->pause(EndPauseMs);
                view_->end(DialogEnd::Ok);
            } else {
                installText_ = dialogtexts::InstallingPleaseWait;
                setProgress(0);
                view_->startTimer(dialogids::CreepTimer, dialogids::CreepPeriodMs);
            }
            break;
        case DownloadFailed:
            settleBackup(machine_, paths_);
            statusText_ = downloadOnly_ ? dialogtexts::DownloadFailedDownloadOnly : dialogtexts::DownloadFailedInstall;
            sizeText_.clear();
            installText_.clear();
            setProgress(dialogids::ProgressMax);
            // The bar may be creeping when an install run's download turns out to have failed.
            view_->stopTimer(dialogids::CreepTimer);
            showTexts();
            view_->pause(EndPauseMs);
            view_->end(DialogEnd::Cancel);
            break;
        case InstallCompleted:
            installText_ = dialogtexts::InstallationCompleted;
            setProgress(dialogids::ProgressMax);
            view_->stopTimer(dialogids::CreepTimer);
            showTexts();
            view_->pause(EndPauseMs);
            view_->end(DialogEnd::Ok);
            break;
        default:
            return;
    }
    showTexts();
}

void DDownloadAndInstallComponent::onTimer(unsigned id) {
    if (view_ && id == dialogids::CreepTimer) setProgress(std::min(progress_ + 1, dialogids::ProgressMax));
}

void DDownloadAndInstallComponent::onAbort() {
    if (!view_) return;
    if (view_->askYesNo(downloadOnly_ ? dialogtexts::AbortDownloadQuestion : dialogtexts::AbortInstallQuestion,
                        dialogtexts::ConfirmationCaption)) {
        abortedByUser_ = true;
        view_->end(DialogEnd::Cancel);
    }
}

void DDownloadAndInstallComponent::showTexts() { view_->setLines(statusText_, sizeText_, installText_); }

void DDownloadAndInstallComponent::setProgress(int position) {
    progress_ = position;
    view_->setProgress(position);
}

InstallerRecord InstallerRecord::of(const dvComponentInfo& record) {
    return {record.displayName(), record.downloadUrl(), record.installArguments(), record.isMsiPackage(),
            record.alwaysDownload()};
}

std::string systemMsiexec(platform::Machine& machine) {
    std::string folder = machine.environment.systemFolder().value_or("");
    std::replace(folder.begin(), folder.end(), '\\', '/');
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    return folder + "\\msiexec.exe";
}

InstallerCommand installerCommand(platform::Machine& machine, const InstallerRecord& record,
                                  const std::string& finalPath) {
    if (record.isMsiPackage) {
        std::string msiexec = systemMsiexec(machine);
        return {msiexec, msiexec + " /i \"" + finalPath + "\" /passive"};
    }
    if (record.installArguments == "CopyEXEFullPath") return {finalPath, finalPath};
    // Catalogue argument texts begin with their own blank and are the whole command line.
    return {finalPath, record.installArguments};
}

void runDownloadAndInstallWorker(platform::Machine& machine, ui::UserInterface& ui, const InstallerRecord& record,
                                 const components::DownloadRunFlags& flags, const DownloadPaths& paths,
                                 AbortSignal& signal, WorkerEventSink& sink) {
    FetchToSink events(sink, signal);
    int finalEvent = flags.downloadOnly ? DownloadCompleted : InstallCompleted;

    FetchContext context;
    context.downloadUrl = record.downloadUrl;
    context.alwaysDownload = record.alwaysDownload;
    context.paths = paths;
    context.forceDownload = flags.forceDownload;
    context.reportErrors = flags.reportErrors;
    context.downloadOnly = flags.downloadOnly;
    context.abortFlag = signal.flag();
    context.abortSignal = &signal;

    FetchResult result;
    try {
        result = FetchComponentFile(machine, context, events, ui);
    } catch (...) {
        events.send(DownloadFailed, 0);
        return;
    }
    switch (result.outcome) {
        case FetchOutcome::Aborted:
        case FetchOutcome::PathTooLong:
            return;
        case FetchOutcome::Unexpected:
            events.send(DownloadFailed, 0);
            return;
        case FetchOutcome::Failed:
            finalEvent = DownloadFailed;
            break;
        case FetchOutcome::Completed:
        case FetchOutcome::MoveFailed:
            finalEvent = DownloadCompleted;
            break;
        case FetchOutcome::AlreadyPresent:
            break;
    }
    if (flags.downloadOnly) {
        events.send(finalEvent, 0);
        return;
    }

    // Handling this restores an earlier download when the new one is missing, so that it can still be used.
    events.send(DownloadCompleted, 0);
    // A run the user has aborted must not start an installer afterwards.
    if (signal.aborted()) return;
    if (fileExists(machine, paths.final)) {
        InstallerCommand command = installerCommand(machine, record, paths.final);
        // The installer's exit code says nothing reliable; the caller probes the component afterwards.
        runlog::startAndWait(machine, command.program, command.commandLine, UINT32_MAX);
        events.send(InstallCompleted, 0);
        return;
    }
    events.send(finalEvent, 0);
}

}  // namespace download
