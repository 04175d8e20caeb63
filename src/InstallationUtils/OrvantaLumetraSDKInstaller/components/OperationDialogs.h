// The progress and wait dialogs the operations open, as the engine sees them.
//
// The wizard implements this with its modal Win32 dialogs and their worker threads; the engine's tests (and
// a run without a window) implement it by running the same portable worker bodies on the calling thread.
// Every method returns once its dialog has ended.
#pragma once

#include <memory>
#include <string>

#include "components/ComponentInfo.h"

namespace components {

// A modal dialog's end code: OK (1) or Cancel (2).
enum class DialogEnd { Ok = 1, Cancel = 2 };

// What the download-and-install dialog is asked to do for one row.
struct DownloadRunFlags {
    bool downloadOnly = false;   // fetch only; otherwise fetch, then run the installer and wait for it
    bool forceDownload = false;  // replace an existing download
    bool reportErrors = true;    // the worker shows its failures
};

// The user's answer in the download error dialog. Quit is also the answer when the dialog was closed.
enum class DownloadErrorChoice { Quit = 0, Retry = 1, Ignore = 2, IgnoreAll = 3 };

// A modeless "Please wait..." box; it is shown while the object lives and closed when it is destroyed.
class PleaseWaitBox {
public:
    virtual ~PleaseWaitBox() = default;
};

class OperationDialogs {
public:
    virtual ~OperationDialogs() = default;

    // Downloads the row's file and, unless flags.downloadOnly, runs its installer and waits for it. index and
    // total are the row's 1-based position in the running operation.
    virtual DialogEnd downloadAndInstall(const dvComponentInfo& record, int index, int total,
                                         const DownloadRunFlags& flags) = 0;
    // Removes the row's component with its removal rule (on a worker thread) and waits for it.
    virtual DialogEnd uninstall(const dvComponentInfo& record, int index, int total) = 0;
    // "Unabe to Download Component": Retry / Ignore / Ignore All / Quit for the message.
    virtual DownloadErrorChoice downloadError(const std::string& message) = 0;
    // Shows the modeless "Please wait..." box until the returned object is destroyed.
    virtual std::unique_ptr<PleaseWaitBox> pleaseWait() = 0;
    // The modal "Please wait..." box that stays until programPath has started and ended again (or the time
    // limits have passed).
    virtual void waitForProgram(const std::string& programPath) = 0;
};

}  // namespace components
