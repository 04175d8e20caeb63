// The unattended command line on the real machine: fleet tools and scripts start the installer with
// arguments and read its output and exit code instead of a wizard.
#pragma once

#include <optional>

// The exit code of the run the command line asks for, or nothing when it is empty and the wizard opens.
std::optional<int> runCommandLineRequest();
