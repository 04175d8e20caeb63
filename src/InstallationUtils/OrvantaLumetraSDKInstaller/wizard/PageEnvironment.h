// What every page works with: the machine, the person, the progress dialogs and where the installer lives.
#pragma once

#include <string>

#include "app/UserInterface.h"
#include "components/OperationContext.h"
#include "components/OperationDialogs.h"
#include "platform/Machine.h"

namespace vexlib {
class VexlibVariantDialog;
}

namespace wizard {

struct PageEnvironment {
    platform::Machine& machine;
    ui::UserInterface& ui;
    components::OperationDialogs& dialogs;
    std::string appFolder;      // without a trailing separator
    bool folderWritable = false;
    std::string serverBase;     // scheme and host of the vendor server
    bool is64Bit = false;       // the native processor is AMD64
    vexlib::VexlibVariantDialog* vexlibDialog = nullptr;  // the modules page's variant selection (none: cancelled)

    components::OperationContext operationContext() const { return {machine, ui, dialogs, appFolder}; }
};

// What a page asks of the sheet it belongs to.
class PageSheet {
public:
    virtual ~PageSheet() = default;
    // Activate the nearest later (earlier) page that is not skipped now; its index, or -1 when there is none.
    virtual int gotoNextPage() = 0;
    virtual int gotoPreviousPage() = 0;
    // Whether the SDK is wanted on this machine (the core components page keeps it).
    virtual bool sdkSelected() const = 0;
    virtual void setSdkSelected(bool selected) = 0;
};

}  // namespace wizard
