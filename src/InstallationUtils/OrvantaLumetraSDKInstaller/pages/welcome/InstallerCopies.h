// Installer copies: the installer programs of other versions kept beside the running installer and in its
// copies folder, told apart by their names and their version resources.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "components/OperationDialogs.h"
#include "platform/Machine.h"

namespace welcome {

// What the version resource of a program file says about it.
struct VersionLabel {
    std::string version;       // "a.b.c.d" from the fixed file version
    std::string privateBuild;  // empty unless the file is flagged as a private build
};

// The name follows the installers' pattern: it begins with the product prefix and contains the marker (both
// case-sensitive) and has the program extension.
bool isInstallerName(const std::string& name);

// The label from the file's version resource; none when the resource is missing or unreadable, or when a
// private build is flagged but its text cannot be read.
std::optional<VersionLabel> readVersionLabel(platform::VersionResources& versions, const std::string& path);

// The selector's entry of the running installer (always with the private build in brackets, even an empty
// one; "Currently used version" without a label) and of a copy (the version alone when it has no private build).
std::string runningEntry(const std::optional<VersionLabel>& label);
std::string copyEntry(const VersionLabel& label);

// An installer copy found in a folder.
struct InstallerCopy {
    std::string path;
    VersionLabel label;
};

// Every installer copy directly in folder, in the folder's enumeration order (files only, named in the
// installers' pattern, with a readable label). A folder that cannot be read yields none.
std::vector<InstallerCopy> findInstallerCopies(platform::Machine& machine, const std::string& folder);

// Moves the installer copies lying beside the running installer (other than itself) into copiesFolder,
// creating it when needed. Before the first move of the pass the "Please wait..." box stands for pauseMs, so
// that an installer that has just handed over has ended. A move never replaces a file: a copy that cannot be
// moved stays where it was. Returns how many were moved.
int tidyUpInstallerCopies(platform::Machine& machine, components::OperationDialogs& dialogs,
                          const std::string& runningPath, const std::string& copiesFolder, uint32_t pauseMs);

// The folder part of a path with "\" separators (no trailing separator); the path itself without one.
std::string folderOf(const std::string& path);
std::string fileNameOf(const std::string& path);
// The path with every "/" turned into "\".
std::string backslashed(std::string path);

}  // namespace welcome
