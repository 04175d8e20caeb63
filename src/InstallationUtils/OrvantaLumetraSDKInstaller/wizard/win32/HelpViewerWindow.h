// The help viewer (DHTMLHelp): a modeless window whose client area holds the system's web browser control,
// embedded through the control's OLE interfaces with a minimal client site of our own. Its documents' elements
// "ButtonOK" and "ButtonCancel" close the window when clicked; closing only hides it, so the next help request
// shows the same window again.
//
// Win32HelpSystem gives the help presenter this window, a wait that keeps the window's messages flowing while
// the browser loads, and the system's handler for web pages.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "wizard/HelpViewer.h"

struct IOleObject;
struct IWebBrowser2;

class DHTMLHelp : public wizard::HelpViewerWindow {
public:
    DHTMLHelp();
    ~DHTMLHelp() override;
    DHTMLHelp(const DHTMLHelp&) = delete;
    DHTMLHelp& operator=(const DHTMLHelp&) = delete;

    bool create() override;
    void navigate(const std::string& address) override;
    int readyState() override;
    void refresh() override;
    void showAndFocus() override;

    HWND window() const { return window_; }
    // Ends the dialog as OK or Cancel would: the window is hidden and stays for the next request.
    void close();
    // The browser's document finished loading: its OK and Cancel elements get their click handlers.
    void documentComplete();

    class Site;
    class Events;
    class Click;

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool embedBrowser(std::string* failure);
    void releaseBrowser();
    void placeBrowser();

    HWND window_ = nullptr;
    std::unique_ptr<Site> site_;
    std::unique_ptr<Events> events_;
    std::unique_ptr<Click> clickOk_, clickCancel_;
    IOleObject* object_ = nullptr;
    IWebBrowser2* browser_ = nullptr;
    unsigned long eventsCookie_ = 0;
};

class Win32HelpSystem : public wizard::HelpSystem {
public:
    explicit Win32HelpSystem(HWND owner) : owner_(owner) {}
    std::unique_ptr<wizard::HelpViewerWindow> makeViewer() override;
    void wait(unsigned milliseconds) override;
    bool openWithSystem(const std::string& address) override;

private:
    HWND owner_;
};
