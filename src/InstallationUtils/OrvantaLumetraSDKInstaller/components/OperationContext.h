// What an operation on the machine needs besides the rows it works on.
#pragma once

#include <functional>
#include <string>

#include "app/UserInterface.h"
#include "components/OperationDialogs.h"
#include "platform/Machine.h"

namespace components {

struct OperationContext {
    platform::Machine& machine;
    ui::UserInterface& ui;
    OperationDialogs& dialogs;
    std::string appFolder;  // the installer's folder, without a trailing separator
    // Told of every row whose status text a refresh or an operation's probe changes, the first probe of a row
    // included (the run log keeps them); empty for nobody. Called on the probing thread, so it must be quick.
    std::function<void(const dvComponentInfo& row, const std::string& before, const std::string& after)>
        statusChanged = nullptr;

    // appFolder + "\" + the data folder name.
    std::string dataFolder() const;
};

}  // namespace components
