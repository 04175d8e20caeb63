// Runs a request of the unattended command line on the machine: the status report, or installs and removals
// of named rows with the same operations the wizard's pages use, answered without a person.
#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/InstallerApp.h"
#include "app/UserInterface.h"
#include "components/Catalogue.h"
#include "components/OperationDialogs.h"

namespace cli {

// Windows Installer's convention, which fleet tools already understand.
enum ExitCode : int {
    Success = 0,
    BadArguments = 87,
    Failure = 1603,
    AnotherInstanceRunning = 1618,
};

// Where a run's words go.
class Output {
public:
    virtual ~Output() = default;
    // The report a script reads (the status text or JSON document); nothing else is ever mixed into it.
    // False when it could not be written.
    virtual bool report(const std::string& text) = 0;
    // One line for the person watching: a failure's message, the outcome.
    virtual void message(const std::string& line) = 0;
};

// The user interface of a run nobody answers. Every message goes to the output instead of a box. Questions
// are answered Yes as long as answers are granted and No afterwards: the repair question is asked again for
// as long as a repair does not take, and an unconditional Yes would ask it forever.
class AnsweringUi : public ui::UserInterface {
public:
    explicit AnsweringUi(Output& out) : out_(out) {}
    ui::Answer messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons, ui::Icon icon,
                          bool owned) override;
    void applicationMessage(const std::string& text) override;

    void grantYes(int answers) { yesLeft_ = answers; }

    std::vector<std::string> messages;
    int questionsDeclined = 0;

private:
    Output& out_;
    int yesLeft_ = 0;
};

// The rows a request names, page by page in the wizard's page order, rows in page order, each row once.
struct PageSelection {
    components::CataloguePage page;
    std::vector<int> rows;
};
struct Resolution {
    std::vector<PageSelection> pages;
    std::string unknownName;  // the first name that is neither a page nor a row; empty when all resolved
};
// Page names take a page's every row; other names are display names. Both compare without regard to case.
Resolution resolveNames(const std::vector<std::string>& names, bool is64Bit);

// Runs an action of Status, Install or Uninstall and returns the process exit code. ui must be the
// application's user interface and the one dialogs report to.
int runUnattended(const Request& request, COrvantaLumetraSDKInstallerApp& app, AnsweringUi& ui,
                  components::OperationDialogs& dialogs, Output& out);

}  // namespace cli
