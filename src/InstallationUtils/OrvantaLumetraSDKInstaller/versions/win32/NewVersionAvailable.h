// DNewVersionAvailable, and the window system's side of showing and fetching a newer installer: the folder
// browser and the message that makes the wizard show its current page again.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "download/win32/ModalDialog.h"
#include "versions/NewVersionInfo.h"

namespace versions::win32 {

class DNewVersionAvailable : public download::win32::ModalDialog {
public:
    DNewVersionAvailable(std::string releaseNotesFile, std::string currentVersionText, std::string latestVersionText);

    // Ok for Download. Release notes that cannot be read end the dialog at once as Cancel.
    components::DialogEnd doModal(HWND owner);

protected:
    void onInitDialog(HWND dialog) override;
    INT_PTR handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool streamReleaseNotes(HWND richEdit);

    std::string releaseNotesFile_;
    std::string currentVersionText_;
    std::string latestVersionText_;
};

class Win32NewVersionView : public NewVersionView {
public:
    components::DialogEnd newVersionAvailable(const std::string& releaseNotesFile, const std::string& currentVersion,
                                              const std::string& latestVersion) override;
    std::optional<std::string> browseForFolder(const std::string& title) override;
    void reactivateCurrentPage() override;
};

}  // namespace versions::win32
