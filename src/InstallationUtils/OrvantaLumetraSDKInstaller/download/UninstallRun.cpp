#include "download/UninstallRun.h"

#include <algorithm>

#include "app/AppTexts.h"
#include "download/DialogIds.h"
#include "download/DialogTexts.h"
#include "platform/TextFormat.h"

namespace download {

DUninstallComponent::DUninstallComponent(int componentIndex, int componentCount, const dvComponentInfo& component)
    : component_(component), componentIndex_(componentIndex), componentCount_(componentCount) {}

void DUninstallComponent::onInitDialog(RunView& view) {
    view_ = &view;
    titleText_ = text::format(dialogtexts::UninstallingComponentOf, componentIndex_, componentCount_);
    view.setCaption(text::format(dialogtexts::UninstallCaption, apptexts::InstallerTitle));
    displayNameText_ = component_.displayName();
    view.setHeader(titleText_, displayNameText_);
    setProgress(0);
}

void DUninstallComponent::onWorkerEvent(int code) {
    if (!view_) return;
    switch (code) {
        case UninstallStarted:
            setProgress(0);
            view_->startTimer(dialogids::CreepTimer, dialogids::CreepPeriodMs);
            break;
        case UninstallCompleted:
            setProgress(dialogids::ProgressMax);
            view_->stopTimer(dialogids::CreepTimer);
            view_->end(components::DialogEnd::Ok);
            break;
        case UninstallFailed:
            setProgress(0);
            view_->stopTimer(dialogids::CreepTimer);
            if (endOnFailure_) view_->end(components::DialogEnd::Cancel);
            break;
        default:
            break;
    }
}

void DUninstallComponent::onTimer(unsigned id) {
    if (view_ && id == dialogids::CreepTimer) setProgress(std::min(progress_ + 1, dialogids::ProgressMax));
}

void DUninstallComponent::onAbort() {
    if (view_ && view_->askYesNo(dialogtexts::AbortUninstallQuestion, dialogtexts::ConfirmationCaption)) {
        abortedByUser_ = true;
        view_->end(components::DialogEnd::Cancel);
    }
}

void DUninstallComponent::setProgress(int position) {
    progress_ = position;
    view_->setProgress(position);
}

void runUninstallWorker(platform::Machine& machine, ui::UserInterface& ui, const dvComponentInfo& record,
                        RemovalRule rule, WorkerEventSink& sink) {
    sink.send(UninstallStarted, 0);
    bool removed = false;
    try {
        removed = rule(machine, record);
    } catch (...) {
        // A rule that breaks down has not removed anything the user can rely on.
        removed = false;
    }
    if (removed) {
        sink.send(UninstallCompleted, 0);
        return;
    }
    ui.applicationMessage(dialogtexts::UnableToUninstall);
    sink.send(UninstallFailed, 0);
}

}  // namespace download
