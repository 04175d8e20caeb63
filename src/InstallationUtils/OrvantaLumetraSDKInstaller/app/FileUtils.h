// File and folder helpers shared by every subsystem.
#pragma once

#include <optional>
#include <string>

#include "platform/Machine.h"

// A directory search for the exact path finds a match (files and folders; wildcards honoured; a folder path
// ending in a separator does not match).
bool fileExists(platform::Machine& machine, const std::string& path);

// Deletes the file after resetting its attributes to plain archive; true when it was absent or is gone.
bool deleteFileIfPresent(platform::Machine& machine, const std::string& path);

// Removes path with everything below it. Refuses (false, nothing touched) a path shorter than 7 characters
// and a path in which guard does not occur; callers pass the path itself as guard. True when path is gone
// afterwards (also when it was not there); false when the listing failed or anything could not be removed,
// in which case what could be removed is gone. A link to a folder is removed as a link, never walked.
bool deleteFolderTree(platform::Machine& machine, const std::string& path, const std::string& guard);
bool deleteFolderTree(platform::Machine& machine, const char* path, const char* guard);

// Removes folder\_OrvantaInstallData when it exists; true when it does not.
bool deleteDataFolder(platform::Machine& machine, const std::string& folder);

// "ProgramFiles", else "ProgramFiles(x86)", without one trailing separator.
std::optional<std::string> getProgramFilesFolder(platform::Machine& machine);
std::optional<std::string> getCommonDesktopFolder(platform::Machine& machine);
std::optional<std::string> getCommonProgramsFolder(platform::Machine& machine);
