// What the unattended command line says to the person or tool that started it.
#pragma once

namespace unattendedtexts {

inline constexpr const char* Usage =
    "Usage: OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe [command] [options]\n"
    "\n"
    "Without a command the installer wizard opens.\n"
    "\n"
    "Commands:\n"
    "  /status                 Show the page, name and status of every component.\n"
    "  /install <name>...      Install the named components.\n"
    "  /uninstall <name>...    Remove the named components.\n"
    "  /repair [<name>...]     Reinstall the named components (all, without a name) whose status shows a\n"
    "                          problem; the others are left as they are.\n"
    "  /layout [<category>...] Download the installers of the named categories (all, without a name) and\n"
    "                          the help files into the data folder beside the installer, so that it can\n"
    "                          install without a network later. A category is one of the wizard's\n"
    "                          component groups, such as \"Core Components\" or \"Help Files\".\n"
    "  /?                      Show this text.\n"
    "\n"
    "A <name> is a component's display name or a page name (Prerequisites, CoreComponents, Extensions,\n"
    "Modules, ThirdPartySoftwares, IOSystem, Utilities, Utilities2), without regard to case. Quote a name\n"
    "that holds blanks.\n"
    "\n"
    "Options:\n"
    "  /json                   With /status: one JSON document instead of text.\n"
    "  /out <file>             Write the report into <file> instead of the console.\n"
    "  /passive                Show the progress dialogs, ask no questions (the default).\n"
    "  /quiet                  Show no window at all.\n"
    "  /log <file>             Write a copy of the run log into <file> (replaced if it exists).\n"
    "\n"
    "Exit codes: 0 success, 87 invalid arguments, 1602 cancelled by the user, 1603 failure,\n"
    "1618 another instance of the installer is running, 1641 success, a restart was started,\n"
    "3010 success, restart required.\n";

inline constexpr const char* SeeUsage = "Run with /? to see the usage.";
inline constexpr const char* UnknownSwitch = "Unknown switch: ";
inline constexpr const char* NoCommand = "No command given: use /status, /install, /uninstall or /repair.";
inline constexpr const char* TwoCommands = "Only one of /status, /install, /uninstall and /repair may be given.";
inline constexpr const char* NamesMissing = "Name at least one component or page after ";
inline constexpr const char* NameWithoutCommand = "A name needs /install, /uninstall or /repair before it: ";
inline constexpr const char* EmptyName = "An empty name is not a component.";
inline constexpr const char* OutFileMissing = "/out needs a file name.";
inline constexpr const char* LogFileMissing = "/log needs a file name.";
inline constexpr const char* CannotWriteLog = "Unable to write the run log to: ";
inline constexpr const char* QuietAndPassive = "/quiet and /passive cannot be given together.";
inline constexpr const char* JsonWithoutStatus = "/json goes with /status only.";
inline constexpr const char* DisplayWithStatus = "/quiet and /passive go with /install, /uninstall and /repair only.";
inline constexpr const char* UnknownName = "No component or page is named: ";
inline constexpr const char* AnotherInstance =
    "Another instance of the installer is already running. Close it and try again.";
inline constexpr const char* CannotWriteOut = "Unable to write the report to: ";
inline constexpr const char* RunSucceeded = "Completed successfully.";
inline constexpr const char* RunFailed = "Failed: ";
inline constexpr const char* RunCancelled = "Cancelled by the user.";
inline constexpr const char* RestartRequired = "A restart of the computer is required to complete the installation.";
inline constexpr const char* RestartInitiated = "A program the installer started is restarting the computer.";
inline constexpr const char* NotRepaired = "Not installed and correct afterwards: ";
inline constexpr const char* UnknownCategory = "No category of the offline copy is named: ";
inline constexpr const char* LayoutIncomplete = "Failed: the offline copy is incomplete.";

}  // namespace unattendedtexts
