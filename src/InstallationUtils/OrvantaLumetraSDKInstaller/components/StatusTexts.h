// The six texts a component row's status shows. Pages decide their buttons and warnings by comparing these
// texts literally, so every comparison must use these constants.
#pragma once

namespace components::status {

inline constexpr const char* Installed = "Installed";
inline constexpr const char* NotInstalled = "Not Installed";

// The problem statuses: the component is there, but not as the catalogue wants it (repair is offered).
inline constexpr const char* ReinstallNeeded = "Reinstall Needed";
inline constexpr const char* VersionMismatch = "Version Mismatch";
inline constexpr const char* MultipleVersions = "Multiple Versions";
inline constexpr const char* IncompleteModule = "Incomplete Module";

inline constexpr const char* ProblemStatuses[] = {ReinstallNeeded, VersionMismatch, MultipleVersions,
                                                  IncompleteModule};

}  // namespace components::status
