// Where a help topic is shown: in the help viewer, a window that hosts the system's web browser control, or,
// when this system cannot host one (no browser control, or one that never finishes loading a document), in
// the system's own handler for web pages. The choice is made once, at the first help request, and every later
// request re-targets the same viewer (or goes to the same handler).
#pragma once

#include <memory>
#include <string>

namespace wizard {

// The help viewer window as the presenter sees it.
class HelpViewerWindow {
public:
    virtual ~HelpViewerWindow() = default;
    // Creates the modeless window (parent: the desktop) with its browser control, which starts loading the
    // window's initial document. False when the browser control cannot be hosted.
    virtual bool create() = 0;
    // Points the browser at a topic's address (a file: URL with its anchor), bypassing its cache.
    virtual void navigate(const std::string& address) = 0;
    // The browser's ready state (4: complete); -1 when it cannot be read.
    virtual int readyState() = 0;
    virtual void refresh() = 0;
    // Shows the window and gives it the focus.
    virtual void showAndFocus() = 0;
};

// What the presenter needs of the system besides the window.
class HelpSystem {
public:
    virtual ~HelpSystem() = default;
    virtual std::unique_ptr<HelpViewerWindow> makeViewer() = 0;
    // Waits while the user interface keeps running (the browser loads on this thread).
    virtual void wait(unsigned milliseconds) = 0;
    // Opens a topic's address (a file: URL with its anchor) in the system's handler for web pages; false when
    // that failed.
    virtual bool openWithSystem(const std::string& address) = 0;
};

namespace helpviewer {
inline constexpr int ReadyStateComplete = 4;
// A topic's load is polled every PollMs, at most TopicPolls times, before the viewer is refreshed and shown.
inline constexpr unsigned PollMs = 50;
inline constexpr int TopicPolls = 21;
// The viewer's own initial document must finish within StartupPolls polls, or the system cannot show help
// in a hosted browser.
inline constexpr int StartupPolls = 60;
}  // namespace helpviewer

// A topic's file name with its anchor as a file: URL, which keeps the anchor apart from the file name.
std::string helpTopicUrl(const std::string& topicAddress);

class HelpPresenter {
public:
    enum class Mode { Undecided, Viewer, SystemHandler };
    // Why topics go to the system's handler.
    enum class Fallback { None, NoBrowserControl, NeverComplete };

    explicit HelpPresenter(HelpSystem& system) : system_(system) {}

    // Shows the topic at address (a file name with its "#Page=" anchor). A request made while an earlier one
    // is still waiting for its topic (the wait keeps the user interface running) is ignored.
    void show(const std::string& address);
    Mode mode() const { return mode_; }
    Fallback fallback() const { return fallback_; }
    HelpViewerWindow* viewer() { return viewer_.get(); }

private:
    // Polls the viewer's ready state until complete, at most polls times; true when it completed.
    bool waitUntilComplete(int polls);
    void decide();

    HelpSystem& system_;
    Mode mode_ = Mode::Undecided;
    Fallback fallback_ = Fallback::None;
    bool showing_ = false;
    std::unique_ptr<HelpViewerWindow> viewer_;
};

}  // namespace wizard
