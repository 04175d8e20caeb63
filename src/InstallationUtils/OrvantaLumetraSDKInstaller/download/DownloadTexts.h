// The texts a download shows when it fails. Worker-thread downloads show them in the application's message
// box; the codes of the synchronous form map onto the same table.
#pragma once

namespace downloadtexts {

// "%s" is one of the failure texts below, or the internet layer's own description of its error.
inline constexpr const char* UnableToDownloadFile = "Error. Unable to download file - %s";

inline constexpr const char* InvalidUrl = "Error - Invalid URL";
inline constexpr const char* NoHttpService = "Error - Server does not provide HTTP service";
inline constexpr const char* LoginRejected = "Error - Login rejected by the server";
inline constexpr const char* ServerRedirection = "Error - Server Redirection";
inline constexpr const char* InsufficientBuffers = "Error - Insufficient buffers";
inline constexpr const char* HttpErrorStatus = "Server responded with HTTP error - %d";
inline constexpr const char* UnexpectedError = "Unexpected error";

inline constexpr const char* DownloadPathTooLong =
    "Error. Download path too long. Please copy the installer EXE to shorter path and try again.";
inline constexpr const char* UnableToProcessDownload = "Error. Unable to process the downloaded file";
inline constexpr const char* UnexpectedDownloadError = "Error. Unable to download the component - Unexpected error";
inline constexpr const char* UnexpectedInstallError = "Error. Unable to install the component - Unexpected error";

// Said when a body ends before the length its headers announced, in the words Windows uses for a
// connection that broke off.
inline constexpr const char* BodyCutShort = "The connection with the server was terminated abnormally";

}  // namespace downloadtexts
