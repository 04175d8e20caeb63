// A run's view on a real dialog: its caption, its drawn header, its bound statics and progress bar, its
// timers, the confirmation box and EndDialog.
#pragma once

#include <windows.h>

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

private:
    HWND dialog_;
    dvComponentInstallHeader* header_;
    DialogControls controls_;
};

}  // namespace download::win32
