// Names and texts of "Create Installer Copy".
#pragma once

namespace installercopytexts {

// The special entry for the help archive, and the category that holds it.
inline constexpr const char* HelpFiles = "Help Files";
// The tutorials' entry that brings every tutorial archive along.
inline constexpr const char* TutorialsCategory = "Tutorials";
inline constexpr const char* TutorialsItem = "Orvanta Lumetra SDK Tutorials";
// The temporary tutorials page's title.
inline constexpr const char* TutorialsTitle = "Tutorials";

// The selection tree.
inline constexpr const char* AllNode = "All";
inline constexpr const char* NothingSelected = "Please select at least one component to download.";

}  // namespace installercopytexts
