// A run's view on a real dialog: its caption, its drawn header, its bound statics and progress bar, its
// timers, the confirmation box and EndDialog.
#pragma once

#include <windows.h>

#include <string>

#include "controls/win32/ComponentInstallHeader.h"
#include "download/RunView.h"

namespace download::win32 {

struct DialogControls {
    int status = 0, size = 0, install = 0;  // 0: the dialog has no such line
    int progress = 0;
};

class DialogRunView : public RunView {
public:
    DialogRunView(HWND dialog, dvComponentInstallHeader* header, DialogControls controls)
        : dialog_(dialog), header_(header), controls_(controls) {}

    void setCaption(const std::string& caption) override;
    void setHeader(const std::string& firstLine, const std::string& secondLine) override;
    void setLines(const std::string& status, const std::string& size, const std::string& install) override;
    void setProgress(int position) override;
    void startTimer(unsigned id, unsigned periodMs) override;
    void stopTimer(unsigned id) override;
    void pause(unsigned ms) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void end(components::DialogEnd code) override;

    // A download reports every 100 KB: on a fast link hundreds of times a second, and every text set repaints
    // its control. The size line and the bar reach the screen at most once per RefreshMs; a newer value waits
    // for the dialog's RefreshTimer, whose tick the dialog hands to flush(). Phase changes show at once.
    static constexpr unsigned RefreshTimer = 784;
    static constexpr unsigned RefreshMs = 40;
    void flush();

private:
    // Sets a static's text only when it differs from what it shows: a download reports every 100 KB, and
    // each text set repaints its control.
    void setText(int control, const std::string& text, std::string& shown);

    HWND dialog_;
    dvComponentInstallHeader* header_;
    DialogControls controls_;
    std::string shownStatus_, shownSize_, shownInstall_;
    int shownProgress_ = -1;
    DWORD lastRefresh_ = 0;
    bool refreshArmed_ = false;
    std::string wantedSize_;
    int wantedProgress_ = -1;
    bool sizeWaiting_ = false, progressWaiting_ = false;
    bool refreshDue();
    void armRefresh();
};

}  // namespace download::win32
