#include "components/StatusReport.h"

#include <algorithm>
#include <cstdio>
#include <deque>

#include "components/InstallManagerBase.h"
#include "components/ServerAddress.h"
#include "components/StatusRules.h"

namespace components {

const char* cataloguePageName(CataloguePage page) {
    switch (page) {
    case CataloguePage::Prerequisites: return "Prerequisites";
    case CataloguePage::PrerequisitesStatus: return "PrerequisitesStatus";
    case CataloguePage::CoreComponents: return "CoreComponents";
    case CataloguePage::Extensions: return "Extensions";
    case CataloguePage::Modules: return "Modules";
    case CataloguePage::Utilities: return "Utilities";
    case CataloguePage::Utilities2: return "Utilities2";
    case CataloguePage::ThirdPartySoftwares: return "ThirdPartySoftwares";
    case CataloguePage::IOSystem: return "IOSystem";
    }
    return "";
}

std::vector<StatusReportRow> refreshPageRows(platform::Machine& machine, CataloguePage page, bool is64Bit,
                                             const std::string& appFolder) {
    const std::size_t count = catalogueRows(page, is64Bit).size();
    // The page strings the rows write into; a deque keeps their addresses.
    std::deque<std::string> strings(3 * count);
    std::vector<RowLabels> labels;
    for (std::size_t i = 0; i < count; ++i) labels.push_back({&strings[3 * i], &strings[3 * i + 1], &strings[3 * i + 2]});

    dvInstallManagerBase manager;
    manager.setComponents(buildComponents(page, appFolder, serverBaseUrl(machine), is64Bit, labels));
    refreshStatuses(machine, manager, 0, static_cast<int>(manager.componentCount()) - 1);

    std::vector<StatusReportRow> rows;
    for (unsigned i = 0; i < manager.componentCount(); ++i) {
        const dvComponentInfo& row = manager.component(i);
        rows.push_back({cataloguePageName(page), i, row.displayName(), row.statusText()});
    }
    return rows;
}

std::string formatStatusText(const std::vector<StatusReportRow>& rows) {
    std::size_t pageWidth = 0, nameWidth = 0;
    for (const auto& r : rows) {
        pageWidth = std::max(pageWidth, r.page.size());
        nameWidth = std::max(nameWidth, r.displayName.size());
    }
    std::string out;
    for (const auto& r : rows) {
        out += r.page + std::string(pageWidth - r.page.size() + 2, ' ');
        out += r.displayName + std::string(nameWidth - r.displayName.size() + 2, ' ');
        out += r.status + "\n";
    }
    return out;
}

namespace {
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}
}  // namespace

std::string formatStatusJson(const std::vector<StatusReportRow>& rows) {
    std::string out = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& r = rows[i];
        out += i ? ",\n  " : "\n  ";
        out += "{\"page\": " + jsonString(r.page) + ", \"row\": " + std::to_string(r.row) +
               ", \"displayName\": " + jsonString(r.displayName) + ", \"status\": " + jsonString(r.status) + "}";
    }
    out += rows.empty() ? "]\n" : "\n]\n";
    return out;
}

}  // namespace components
