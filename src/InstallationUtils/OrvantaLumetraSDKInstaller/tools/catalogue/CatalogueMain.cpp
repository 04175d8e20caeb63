// Prints every catalogue row of every page, in both the 32-bit and the 64-bit forms, and the help archive row,
// one row a line with tab-separated columns:
//
//   page  form  displayName  fileName  serverPath  installArguments  msi  subFolder
//
// form is "32", "64" or "-" (the page has one form only, or the row is the help archive). A row that is the
// same in both forms is printed once, with "-". The vendor tree generator reads this instead of a copy of the
// catalogue, so the tree always holds exactly the files the installer asks for.
#include <cstdio>
#include <string>
#include <vector>

#include "components/Catalogue.h"

using namespace components;

namespace {

const char* pageName(CataloguePage page) {
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
    return "?";
}

bool sameRow(const CatalogueRow& a, const CatalogueRow& b) {
    return std::string(a.displayName) == b.displayName && std::string(a.fileName) == b.fileName &&
           std::string(a.serverPath) == b.serverPath;
}

void print(const char* page, const char* form, const CatalogueRow& row) {
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%d\t%s\n", page, form, row.displayName, row.fileName, row.serverPath,
                row.installArguments, row.isMsiPackage ? 1 : 0, row.subFolder);
}

}  // namespace

int main() {
    std::printf("page\tform\tdisplayName\tfileName\tserverPath\tinstallArguments\tmsi\tsubFolder\n");
    for (CataloguePage page : AllCataloguePages) {
        const std::vector<CatalogueRow> rows32 = catalogueRows(page, false);
        const std::vector<CatalogueRow> rows64 = catalogueRows(page, true);
        for (std::size_t i = 0; i < rows32.size(); ++i) {
            if (i < rows64.size() && sameRow(rows32[i], rows64[i])) {
                print(pageName(page), "-", rows32[i]);
            } else {
                print(pageName(page), "32", rows32[i]);
                if (i < rows64.size()) print(pageName(page), "64", rows64[i]);
            }
        }
    }
    print("Help", "-", helpArchiveRow());
    return std::fflush(stdout) == 0 ? 0 : 1;
}
