// The fixed catalogue of components each page offers, and the records built from it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "components/ComponentInfo.h"

namespace components {

// One catalogue row, as literal data. serverPath is the path part of the download address without the file
// name; subFolder is the path below the data folder ("" for the data folder itself).
struct CatalogueRow {
    const char* displayName;
    const char* fileName;
    const char* serverPath;
    const char* installArguments;
    const char* subFolder;
    bool isMsiPackage;
    bool alwaysDownload;
    const char* category;
};

// The pages that show catalogue rows; names follow the wizard's page names where the page has one.
enum class CataloguePage {
    Prerequisites,
    PrerequisitesStatus,
    CoreComponents,
    Extensions,
    Modules,
    Utilities,
    Utilities2,
    ThirdPartySoftwares,
    IOSystem,
};

// Every catalogue page, in the wizard's page order.
inline constexpr CataloguePage AllCataloguePages[] = {
    CataloguePage::Prerequisites, CataloguePage::PrerequisitesStatus, CataloguePage::CoreComponents,
    CataloguePage::Extensions,    CataloguePage::Modules,             CataloguePage::ThirdPartySoftwares,
    CataloguePage::IOSystem,      CataloguePage::Utilities,           CataloguePage::Utilities2,
};

// The rows of a page in page order. is64Bit picks the 64-bit forms of the camera-driver rows and of the
// remote-control row of the second utility page; the other pages have one form only.
std::vector<CatalogueRow> catalogueRows(CataloguePage page, bool is64Bit);

// The sheet's help archive row.
const CatalogueRow& helpArchiveRow();

// The three page strings of one row.
struct RowLabels {
    std::string* name = nullptr;
    std::string* status = nullptr;
    std::string* action = nullptr;
};

// The download folder of a row: appFolder (no trailing separator) + "\" + the data folder name, then
// "\" + subFolder unless subFolder is empty (the data folder itself).
std::string downloadFolderPath(const std::string& appFolder, const std::string& subFolder);

// The complete download address: serverBase + serverPath + fileName, joined as they are (a blank in the path
// is sent as it is).
std::string downloadUrl(const std::string& serverBase, const CatalogueRow& row);

// The record of one row for an installer living in appFolder (no trailing separator).
dvComponentInfo makeComponent(const CatalogueRow& row, const std::string& appFolder,
                              const std::string& serverBase, const RowLabels& labels);

// The records of a page, row i labelled by labels[i]. std::invalid_argument when labels holds fewer entries
// than the page has rows.
std::vector<dvComponentInfo> buildComponents(CataloguePage page, const std::string& appFolder,
                                             const std::string& serverBase, bool is64Bit,
                                             std::span<const RowLabels> labels);

// The records of a page, every row labelled by the same strings (the welcome page's hidden copies).
std::vector<dvComponentInfo> buildComponentsSharingLabels(CataloguePage page, const std::string& appFolder,
                                                          const std::string& serverBase, bool is64Bit,
                                                          const RowLabels& labels);

// The sheet's help archive record.
dvComponentInfo makeHelpArchiveComponent(const std::string& appFolder, const std::string& serverBase,
                                         const RowLabels& labels);

}  // namespace components
