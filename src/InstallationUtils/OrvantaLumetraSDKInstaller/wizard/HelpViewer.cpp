#include "wizard/HelpViewer.h"

namespace wizard {

std::string helpTopicUrl(const std::string& topicAddress) {
    std::string url = "file:///" + topicAddress;
    for (char& c : url)
        if (c == '\\') c = '/';
    return url;
}

bool HelpPresenter::waitUntilComplete(int polls) {
    for (int poll = 1;; ++poll) {
        if (viewer_->readyState() == helpviewer::ReadyStateComplete) return true;
        if (poll >= polls) return false;
        system_.wait(helpviewer::PollMs);
    }
}

void HelpPresenter::decide() {
    viewer_ = system_.makeViewer();
    // A browser control that cannot even finish the viewer's own small document has no engine to show pages
    // with: the topics then go to the system's handler, for this request and every later one.
    mode_ = Mode::SystemHandler;
    if (!viewer_ || !viewer_->create()) {
        fallback_ = Fallback::NoBrowserControl;
    } else if (!waitUntilComplete(helpviewer::StartupPolls)) {
        fallback_ = Fallback::NeverComplete;
    } else {
        mode_ = Mode::Viewer;
        return;
    }
    viewer_.reset();
}

void HelpPresenter::show(const std::string& address) {
    if (showing_) return;
    struct Showing {
        bool& flag;
        explicit Showing(bool& f) : flag(f) { flag = true; }
        ~Showing() { flag = false; }
    } showing(showing_);

    if (mode_ == Mode::Undecided) decide();
    const std::string url = helpTopicUrl(address);
    if (mode_ == Mode::SystemHandler) {
        system_.openWithSystem(url);
        return;
    }
    viewer_->navigate(url);
    // A topic that is still loading after the polls is shown as far as it got.
    waitUntilComplete(helpviewer::TopicPolls);
    viewer_->refresh();
    viewer_->showAndFocus();
}

}  // namespace wizard
