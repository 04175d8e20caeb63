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

// A download whose bytes do not match the SHA-256 digest published beside it on the server; it is deleted.
// Shown as the "%s" of UnableToDownloadFile.
inline constexpr const char* ArrivedDamaged =
    "The file arrived damaged: it does not match the checksum published beside it on the server, and was deleted";

// Run-log lines of resumed and checked downloads (an address follows each).
inline constexpr const char* LogResumed = "Download resumed: ";
inline constexpr const char* LogResumeRefused = "Download could not be resumed, asking for the whole file: ";
inline constexpr const char* LogChecksumMatches = "Download checked against its SHA-256 checksum file: ";
inline constexpr const char* LogChecksumMismatch = "Download does not match its SHA-256 checksum file, deleted: ";
inline constexpr const char* LogChecksumAbsent = "Download not checked, no usable checksum file: ";

}  // namespace downloadtexts
