// The status report of every page's rows (the status tool's engine).
#include <gtest/gtest.h>

#include "DetectionMachine.h"
#include "components/StatusReport.h"

using namespace components;
using namespace detectiontest;

TEST(StatusReport, RefreshesEveryRowOfAPageInPageOrder) {
    FakeMachine m;
    installEverything(m);
    m.msi.unregisterProduct(codes::Python266);
    auto rows = refreshPageRows(m, CataloguePage::Extensions, false, "C:\\Installer");
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[0].page, "Extensions");
    EXPECT_EQ(rows[0].row, 0u);
    EXPECT_EQ(rows[0].displayName, "Python 2.6.6");
    EXPECT_EQ(rows[0].status, "Not Installed");
    EXPECT_EQ(rows[1].displayName, "pywin32-218.win32-py2.6");
    EXPECT_EQ(rows[1].status, "Reinstall Needed");
    EXPECT_EQ(rows[5].displayName, "OpenCV_1.1pre1a");
    EXPECT_EQ(rows[5].status, "Installed");
    EXPECT_EQ(rows[10].row, 10u);
    EXPECT_EQ(rows[10].status, "Incomplete Module");
}

TEST(StatusReport, PicksTheFormsOfTheDriverRows) {
    FakeMachine m;
    auto rows32 = refreshPageRows(m, CataloguePage::ThirdPartySoftwares, false, "C:\\Installer");
    auto rows64 = refreshPageRows(m, CataloguePage::ThirdPartySoftwares, true, "C:\\Installer");
    ASSERT_EQ(rows32.size(), rows64.size());
    EXPECT_EQ(rows32[0].displayName, "ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit");
    EXPECT_EQ(rows64[0].displayName, "ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit");
    EXPECT_EQ(std::string(cataloguePageName(CataloguePage::ThirdPartySoftwares)), "ThirdPartySoftwares");
    EXPECT_EQ(std::string(cataloguePageName(CataloguePage::PrerequisitesStatus)), "PrerequisitesStatus");
}

TEST(StatusReport, TextLinesAlignTheirColumns) {
    std::vector<StatusReportRow> rows = {{"Modules", 0, "Orvanta 9.3.0.524 IPP", "Installed"},
                                         {"Utilities2", 2, "Speccy v1.25", "Version Mismatch"}};
    EXPECT_EQ(formatStatusText(rows),
              "Modules     Orvanta 9.3.0.524 IPP  Installed\n"
              "Utilities2  Speccy v1.25           Version Mismatch\n");
    EXPECT_EQ(formatStatusText({}), "");
}

TEST(StatusReport, JsonEscapesWhatJsonCannotCarryAsItIs) {
    std::vector<StatusReportRow> rows = {{"IOSystem", 4, "Adam/Apax .NET Utility 2.04.04", "Installed"},
                                         {"X", 1, "a \"quoted\" \\ name\t\x01", ""}};
    EXPECT_EQ(formatStatusJson(rows),
              "[\n"
              "  {\"page\": \"IOSystem\", \"row\": 4, \"displayName\": \"Adam/Apax .NET Utility 2.04.04\", \"status\": \"Installed\"},\n"
              "  {\"page\": \"X\", \"row\": 1, \"displayName\": \"a \\\"quoted\\\" \\\\ name\\t\\u0001\", \"status\": \"\"}\n"
              "]\n");
    EXPECT_EQ(formatStatusJson({}), "[]\n");
}
