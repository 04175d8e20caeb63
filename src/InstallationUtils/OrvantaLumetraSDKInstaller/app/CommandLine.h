// The unattended command line: what a fleet tool, a script or a field engineer asks the installer to do
// without the wizard. An empty command line is no request at all and the wizard opens as always.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class Action { Usage, Status, Install, Uninstall, Repair, Layout };

// How much of the operations' user interface shows: Passive shows the progress dialogs and asks nothing;
// Quiet shows no window at all.
enum class Display { Passive, Quiet };

struct Request {
    Action action = Action::Usage;
    // Display names or page names, as given; resolved against the catalogue when the request runs. For /layout
    // the categories of the offline copy (none: every category).
    std::vector<std::string> names;
    Display display = Display::Passive;
    bool json = false;
    // Where the report goes instead of the console.
    std::optional<std::string> outFile;
    // Where a copy of the run log goes, besides the log in the installer's data folder.
    std::optional<std::string> logFile;
};

struct ParseResult {
    std::optional<Request> request;  // empty when the arguments are wrong
    std::string error;               // why, for the person who typed them
};

// args are the arguments without the program's own name. Switches begin with "/" or "-" and are compared
// without regard to case; every other argument is a name for the /install, /uninstall, /repair or /layout
// before it. /repair alone names every row, /layout alone every category.
ParseResult parseCommandLine(const std::vector<std::string>& args);

}  // namespace cli
