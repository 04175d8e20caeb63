// A report of every catalogue row's status, page by page, for people and scripts that want to see what the
// installer detects on a machine without opening the wizard.
#pragma once

#include <string>
#include <vector>

#include "components/Catalogue.h"
#include "platform/Machine.h"

namespace components {

struct StatusReportRow {
    std::string page;
    unsigned row = 0;
    std::string displayName;
    std::string status;
};

// The page's name as the wizard knows it ("PrerequisitesStatus" for the second prerequisites page).
const char* cataloguePageName(CataloguePage page);

// Builds the page's rows as the page does and refreshes all of them once.
std::vector<StatusReportRow> refreshPageRows(platform::Machine& machine, CataloguePage page, bool is64Bit,
                                             const std::string& appFolder);

// One line per row: page, display name and status in aligned columns.
std::string formatStatusText(const std::vector<StatusReportRow>& rows);
// A JSON array of {"page", "row", "displayName", "status"} objects.
std::string formatStatusJson(const std::vector<StatusReportRow>& rows);

}  // namespace components
