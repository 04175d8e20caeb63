// Texts of the help viewer and the run log lines about where help was shown.
#pragma once

namespace helptexts {

// The viewer's caption: the installer title fills "%s".
inline constexpr const char* CaptionFormat = "%s - Help";
inline constexpr const char* ViewerLog = "Help topic %s shown in the help viewer";
inline constexpr const char* SystemHandlerLog = "Help topic %s opened in the system's handler for web pages";
inline constexpr const char* NoBrowserControlLog = "Help viewer: the web browser control cannot be hosted (%s)";
inline constexpr const char* NeverCompleteLog =
    "Help viewer: the web browser control did not finish its first document; help opens in the system's handler";

}  // namespace helptexts
