// What an operation on the machine needs besides the rows it works on.
#pragma once

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

    // appFolder + "\" + the data folder name.
    std::string dataFolder() const;
};

}  // namespace components
