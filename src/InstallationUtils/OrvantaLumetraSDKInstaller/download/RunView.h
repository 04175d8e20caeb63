// What a progress dialog's run asks of its window. The Win32 dialogs implement it on their HWND; the inline
// dialogs (tests, unattended runs) implement it without any window.
#pragma once

#include <string>

#include "components/OperationDialogs.h"

namespace download {

class RunView {
public:
    virtual ~RunView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    // The drawn header's two lines.
    virtual void setHeader(const std::string& firstLine, const std::string& secondLine) = 0;
    // The three bound lines of the download-and-install dialog (the uninstall dialog has none).
    virtual void setLines(const std::string& status, const std::string& size, const std::string& install) = 0;
    // PBM_SETPOS, 0..1000.
    virtual void setProgress(int position) = 0;
    virtual void startTimer(unsigned id, unsigned periodMs) = 0;
    virtual void stopTimer(unsigned id) = 0;
    // A short pause on the window's thread, so that a final text is seen before the dialog closes.
    virtual void pause(unsigned ms) = 0;
    // A Yes/No question owned by the dialog; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    // EndDialog.
    virtual void end(components::DialogEnd code) = 0;
};

}  // namespace download
