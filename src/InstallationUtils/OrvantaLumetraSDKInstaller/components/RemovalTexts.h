// Window titles the removal runners look for while a component's own uninstaller runs. They are the
// uninstallers' texts, matched exactly.
#pragma once

namespace components::removaltexts {

// The Python package uninstallers ask before they start and announce when they are done.
inline constexpr const char* PleaseConfirm = "Please confirm";
inline constexpr const char* UninstallFinished = "Uninstall Finished!";
// TightVNC's uninstaller window: its registered display name, then this.
inline constexpr const char* TightVncUninstallTitleFormat = "%s Uninstall ";
inline constexpr const char* TeamViewerUninstallTitle = "TeamViewer 8 Host Uninstall";
inline constexpr const char* SpeccyUninstallTitle = "Speccy v1.25 Uninstall";

}  // namespace components::removaltexts
