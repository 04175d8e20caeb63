#include "components/OperationContext.h"

#include "app/DataFolders.h"

namespace components {

std::string OperationContext::dataFolder() const { return appFolder + "\\" + datafolders::DataFolder; }

}  // namespace components
