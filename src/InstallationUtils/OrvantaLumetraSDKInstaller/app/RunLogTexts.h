// The lines of the run log. Support engineers read them; the wording stays stable so that they can search for it.
#pragma once

namespace runlogtexts {

inline constexpr const char* FilePrefix = "Installer-";
inline constexpr const char* FileExtension = ".log";
inline constexpr const char* LogsFolder = "Logs";

inline constexpr const char* Started = "Orvanta Lumetra SDK Installer 10.2.1.578 started";
inline constexpr const char* Folder = "Installer folder: ";
inline constexpr const char* FolderUnknown = "(unknown)";
inline constexpr const char* Writable = "Installer folder writable: ";
inline constexpr const char* Yes = "yes";
inline constexpr const char* No = "no";
inline constexpr const char* Architecture = "Architecture: ";
inline constexpr const char* ArchX86 = "x86";
inline constexpr const char* ArchX64 = "x64";
inline constexpr const char* ArchUnknown = "unknown";
inline constexpr const char* WindowsVersion = "Windows version: ";
inline constexpr const char* WindowsVersionUnknown = "unknown";
inline constexpr const char* Ended = "Installer ended";
inline constexpr const char* Request = "Command line request:";
inline constexpr const char* RequestEnded = "Command line request ended with exit code ";
inline constexpr const char* LogCopy = "Run log copied to: ";

inline constexpr const char* MessageBox = "Message box: ";
inline constexpr const char* Answer = " -> answer ";
inline constexpr const char* AnswerOk = "OK";
inline constexpr const char* AnswerYes = "Yes";
inline constexpr const char* AnswerNo = "No";
inline constexpr const char* ApplicationMessage = "Application message: ";
inline constexpr const char* Debug = "Debug output: ";

inline constexpr const char* Operation = "Operation ";
inline constexpr const char* OperationResult = " -> result ";
inline constexpr const char* Row = "Row \"";
inline constexpr const char* RowStep = "\": ";

// "<page> / <row>: <old status> -> <new status>", whenever probing changes a row's status text.
inline constexpr const char* StatusPageRow = " / ";
inline constexpr const char* StatusRowStatus = ": ";
inline constexpr const char* StatusChange = " -> ";
inline constexpr const char* StatusNone = "(none)";

inline constexpr const char* Download = "Download ";
inline constexpr const char* Status = " status ";
inline constexpr const char* NoStatus = " no status";
inline constexpr const char* Bytes = " bytes ";
inline constexpr const char* Duration = " ms";
inline constexpr const char* Transferred = "transferred";
inline constexpr const char* Aborted = "aborted";
inline constexpr const char* FailedInternet = "failed: internet error ";
inline constexpr const char* FailedRefused = "failed: refused, code ";
inline constexpr const char* FailedStatus = "failed: HTTP status";
inline constexpr const char* FailedFile = "failed: ";
inline constexpr const char* FailedUnexpected = "failed: unexpected error";

inline constexpr const char* Command = "Command ";
inline constexpr const char* CommandProgram = "program \"";
inline constexpr const char* CommandLine = "\" command line \"";
inline constexpr const char* CommandEnd = "\"";
inline constexpr const char* NotStarted = " -> could not be started";
inline constexpr const char* ExitCode = " -> exit code ";
inline constexpr const char* ExitUnknown = " -> exit code unknown";
inline constexpr const char* ShellCommand = "Shell command ";
inline constexpr const char* WindowsInstallerRemoval = "Windows Installer removal of ";

}  // namespace runlogtexts
