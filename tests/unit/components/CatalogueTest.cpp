// The catalogue is behaviour: every per-component rule is keyed by the display name, and the server and the
// data folder must hold the files at exactly these places. The expected rows below are written out in full
// on purpose, independently of the tables in the code.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "components/Catalogue.h"
#include "components/ComponentInfo.h"
#include "components/InstallManagerBase.h"
#include "components/OrvantaProducts.h"
#include "components/ServerAddress.h"
#include "platform/fake/FakeMachine.h"

using components::CataloguePage;
using platform::fake::FakeMachine;

namespace {

const std::string Server = "http://host";
const std::string AppFolder = "C:\\Inst";

struct ExpectedRow {
    const char* displayName;
    const char* url;
    const char* fileName;
    const char* arguments;
    const char* folder;
    bool msi;
    bool always;
    const char* category;
};

// clang-format off
const std::vector<ExpectedRow> Prerequisites = {
    {"MS VC++ 2005 SP1 Redist", "http://host/orvanta/files/OrvantaPreRequisites/vc2005sp1 - redist_x86.exe", "vc2005sp1 - redist_x86.exe", " /q:a ", "C:\\Inst\\_OrvantaInstallData\\Prerequisites", false, false, "Prerequisites"},
    {"MS VC++ 2008 SP1 Redist", "http://host/orvanta/files/OrvantaPreRequisites/vc2008sp1 - redist_x86.exe", "vc2008sp1 - redist_x86.exe", " /q:a ", "C:\\Inst\\_OrvantaInstallData\\Prerequisites", false, false, "Prerequisites"},
    {"MS VC++ 2010 SP1 Redist", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Microsoft/vc2010sp1 - redist_x86.exe", "vc2010sp1 - redist_x86.exe", " /q:a ", "C:\\Inst\\_OrvantaInstallData\\Prerequisites", false, false, "Prerequisites"},
    {"Microsoft .Net 2.0.50727.42 Redist", "http://host/orvanta/files/OrvantaPreRequisites/dotnetfx_2.0.50727.42.exe", "dotnetfx_2.0.50727.42.exe", " ", "C:\\Inst\\_OrvantaInstallData\\Prerequisites", false, false, "Prerequisites"},
    {"Windows Installer 3.1", "http://host/orvanta/files/OrvantaPreRequisites/WindowsInstaller-KB893803-v2-x86.exe", "WindowsInstaller-KB893803-v2-x86.exe", " ", "C:\\Inst\\_OrvantaInstallData\\Prerequisites", false, false, "Prerequisites"},
};

const std::vector<ExpectedRow> CoreComponents = {
    {"Orvanta Version X 10.2.1.578 Runtime", "http://host/orvanta/files/InstallerDownloads/Orvanta10.2/578/OrvantaRuntime_10_2_1_578_ReDist_140411.exe", "OrvantaRuntime_10_2_1_578_ReDist_140411.exe", " ", "C:\\Inst\\_OrvantaInstallData\\OrvantaRuntime", false, false, "Core Components"},
    {"Orvanta Lumetra Version X 10.2.1.578 SDK", "http://host/orvanta/files/InstallerDownloads/Orvanta10.2/578/OrvantaLumetraSDK_10_2_1_578_140411.exe", "OrvantaLumetraSDK_10_2_1_578_140411.exe", " ", "C:\\Inst\\_OrvantaInstallData\\OrvantaLumetraSDK", false, false, "Core Components"},
};

const std::vector<ExpectedRow> Modules = {
    {"Orvanta 9.3.0.524 IPP", "http://host/orvanta/files/InstallerDownloads/_Modules/IPP/Orvanta_9.3.0.524_IPP.zip", "Orvanta_9.3.0.524_IPP.zip", "", "C:\\Inst\\_OrvantaInstallData\\Modules", false, false, "Optional Orvanta Modules"},
};

const std::vector<ExpectedRow> Extensions = {
    {"Python 2.6.6", "http://host/orvanta/files/python 26/python-2.6.6.msi", "python-2.6.6.msi", "", "C:\\Inst\\_OrvantaInstallData\\Extensions\\Python2D", true, false, "Recommended Orvanta Extensions"},
    {"pywin32-218.win32-py2.6", "http://host/orvanta/files/InstallerDownloads/_Modules/pywin/pywin32-218.win32-py2.6.exe", "pywin32-218.win32-py2.6.exe", " /quiet ", "C:\\Inst\\_OrvantaInstallData\\Extensions\\Python2D", false, false, "Recommended Orvanta Extensions"},
    {"pyserial-py3k-2.5.win32", "http://host/orvanta/files/InstallerDownloads/_Modules/pyserial/pyserial-py3k-2.5.win32.exe", "pyserial-py3k-2.5.win32.exe", " /quiet ", "C:\\Inst\\_OrvantaInstallData\\Extensions\\Python2D", false, false, "Recommended Orvanta Extensions"},
    {"scipy-0.14.0b1-python2.6", "http://host/orvanta/files/InstallerDownloads/_Modules/scipy/scipy-0.14.0b1-win32-superpack-python2.6.exe", "scipy-0.14.0b1-win32-superpack-python2.6.exe", " /quiet ", "C:\\Inst\\_OrvantaInstallData\\Extensions\\Python3D", false, false, "Recommended Orvanta Extensions"},
    {"numpy-1.8.1-python2.6", "http://host/orvanta/files/InstallerDownloads/_Modules/numpy/numpy-1.8.1-win32-superpack-python2.6.exe", "numpy-1.8.1-win32-superpack-python2.6.exe", " /quiet ", "C:\\Inst\\_OrvantaInstallData\\Extensions\\Python3D", false, false, "Recommended Orvanta Extensions"},
    {"OpenCV_1.1pre1a", "http://host/orvanta/files/python 26/OpenCV_1.1pre1a.exe", "OpenCV_1.1pre1a.exe", " /silent", "C:\\Inst\\_OrvantaInstallData\\Extensions\\OpenCV", false, false, "Recommended Orvanta Extensions"},
    {"ctypes-opencv-0.8.0-python26", "http://host/orvanta/files/python 26/ctypes-opencv-0.8.0.win32-py26.exe", "ctypes-opencv-0.8.0.win32-py26.exe", " /quiet ", "C:\\Inst\\_OrvantaInstallData\\Extensions\\OpenCV", false, false, "Recommended Orvanta Extensions"},
    {"OpenCV 2.3.1", "http://host/orvanta/files/python 26/OpenCV2.3.1_build_x86_vc10_bin.zip", "OpenCV2.3.1_build_x86_vc10_bin.zip", "", "C:\\Inst\\_OrvantaInstallData\\Extensions\\OpenCV", false, false, "Recommended Orvanta Extensions"},
    {"OpenCV 2.4.6", "http://host/orvanta/files/InstallerDownloads/_Modules/OpenCV/opencv-246_bin.zip", "opencv-246_bin.zip", "", "C:\\Inst\\_OrvantaInstallData\\Extensions\\OpenCV", false, false, "Recommended Orvanta Extensions"},
    {"MySQL-python-1.2.2.win32-py2.6", "http://host/orvanta/files/InstallerDownloads/_Modules/MySQLPython/MySQL-python-1.2.2.win32-py2.6.exe", "MySQL-python-1.2.2.win32-py2.6.exe", " /quiet ", "C:\\Inst\\_OrvantaInstallData\\Extensions\\PythonMySQL", false, false, "Recommended Orvanta Extensions"},
    {"OpenCV 2.4.8", "http://host/orvanta/files/InstallerDownloads/_Modules/OpenCV/opencv-248_bin_Py2.6_Num1.8.0_Sci0.13.2.zip", "opencv-248_bin_Py2.6_Num1.8.0_Sci0.13.2.zip", "", "C:\\Inst\\_OrvantaInstallData\\Extensions\\OpenCV", false, false, "Recommended Orvanta Extensions"},
};

const std::vector<ExpectedRow> Utilities = {
    {"Orvanta Watchdog - Vivantor 2.0.0.6", "http://host/orvanta/files/InstallerDownloads/OrvantaWatchdog/Orvanta_Watchdog_Vivantor_2_0_0_6_131205.exe", "Orvanta_Watchdog_Vivantor_2_0_0_6_131205.exe", " /passive ", "C:\\Inst\\_OrvantaInstallData\\Utilities", false, false, "Optional Utility Software"},
    {"Tavrel 1.0.0.1(3587)", "http://host/orvanta/Tavrel/Tavrel_1.0.0.1(3587).zip", "Tavrel_1.0.0.1(3587).zip", "", "C:\\Inst\\_OrvantaInstallData\\Utilities", false, false, "Optional Utility Software"},
    {"PerformanceTest 8.0", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Passmark/PerformanceTest_8.0_Setup.exe", "PerformanceTest_8.0_Setup.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Utilities", false, false, "Optional Utility Software"},
    {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/OPCScout/SIMATIC_NET_OPC_Client_V6.2_3133.zip", "SIMATIC_NET_OPC_Client_V6.2_3133.zip", " \\silent", "C:\\Inst\\_OrvantaInstallData\\Utilities", false, false, "Optional Utility Software"},
    {"Orvanta Plexor 1.9.0.24", "http://host/orvanta/files/InstallerDownloads/OrvantaPlexor/Orvanta_Plexor_1.9.0.24_140321.exe", "Orvanta_Plexor_1.9.0.24_140321.exe", " /passive ", "C:\\Inst\\_OrvantaInstallData\\Utilities", false, false, "Optional Utility Software"},
};

const std::vector<ExpectedRow> Utilities2_32 = {
    {"TightVNC 2.6.4 - 32 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/TightVNC/tightvnc-2.6.4-setup-32bit.msi", "tightvnc-2.6.4-setup-32bit.msi", "", "C:\\Inst\\_OrvantaInstallData\\Utilities", true, false, "Optional Utility Software"},
    {"Orvanta TeamViewer 8 Host.exe", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/TeamViewer/Orvanta_TeamViewer_8_Host_Setup.exe", "Orvanta_TeamViewer_8_Host_Setup.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Utilities", false, false, "Optional Utility Software"},
    {"Speccy v1.25", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Piriform/spsetup125.exe", "spsetup125.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "Optional Utility Software"},
};

const std::vector<ExpectedRow> Utilities2_64 = {
    {"TightVNC 2.6.4 - 64 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/TightVNC/tightvnc-2.6.4-setup-64bit.msi", "tightvnc-2.6.4-setup-64bit.msi", "", "C:\\Inst\\_OrvantaInstallData\\Utilities", true, false, "Optional Utility Software"},
    {"Orvanta TeamViewer 8 Host.exe", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/TeamViewer/Orvanta_TeamViewer_8_Host_Setup.exe", "Orvanta_TeamViewer_8_Host_Setup.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Utilities", false, false, "Optional Utility Software"},
    {"Speccy v1.25", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Piriform/spsetup125.exe", "spsetup125.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "Optional Utility Software"},
};

const std::vector<ExpectedRow> ThirdParty_32 = {
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/ubCore/ubCorePro32_112912.exe", "ubCorePro32_112912.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Fire-i Application 4.0 - 32 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Firei/FireiSetupX86_112912.exe", "FireiSetupX86_112912.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"ZCL for SONYGigECAM 2.12 - 32 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/SonyZCL/2.12/SonyZCL_2.12_setup_x86_Beta.exe", "SonyZCL_2.12_setup_x86_Beta.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Basler pylon SDK 2.3.5.2633 - 32 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/Basler pylon SDK x86 2.3.5.2633.exe", "Basler pylon SDK x86 2.3.5.2633.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Basler pylon SDK 3.2.3.3215 - 32 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/Basler pylon SDK x86 3.2.3.3215_EN_.exe", "Basler pylon SDK x86 3.2.3.3215_EN_.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/pylon 4 Runtime x86 4.0.1.3425.msi", "pylon 4 Runtime x86 4.0.1.3425.msi", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", true, false, "3rd Party Softwares"},
    {"Imaging Source - IC Capture 2.3", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/ImagingSource/setup_iccapture.en_US.exe", "setup_iccapture.en_US.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Imaging Source Camera Driver", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/ImagingSource/usbcam_2.6.5_tis_02.zip", "usbcam_2.6.5_tis_02.zip", "", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
};

const std::vector<ExpectedRow> ThirdParty_64 = {
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/ubCore/ubCorePro64_112912.exe", "ubCorePro64_112912.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Fire-i Application 4.0 - 64 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Firei/FireiSetupX64_112912.exe", "FireiSetupX64_112912.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"ZCL for SONYGigECAM 2.12 - 64 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/SonyZCL/2.12/SonyZCL_2.12_setup_x64_Beta.exe", "SonyZCL_2.12_setup_x64_Beta.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Basler pylon SDK 2.3.5.2633 - 64 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/Basler pylon SDK x64 2.3.5.2633.exe", "Basler pylon SDK x64 2.3.5.2633.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Basler pylon SDK 3.2.3.3215 - 64 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/Basler pylon SDK x64 3.2.3.3215.exe", "Basler pylon SDK x64 3.2.3.3215.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/pylon 4 Runtime x64 4.0.1.3425.msi", "pylon 4 Runtime x64 4.0.1.3425.msi", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", true, false, "3rd Party Softwares"},
    {"Imaging Source - IC Capture 2.3", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/ImagingSource/setup_iccapture.en_US.exe", "setup_iccapture.en_US.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
    {"Imaging Source Camera Driver", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/ImagingSource/usbcam_2.6.5_tis_02.zip", "usbcam_2.6.5_tis_02.zip", "", "C:\\Inst\\_OrvantaInstallData\\Installations3rdParty", false, false, "3rd Party Softwares"},
};

const std::vector<ExpectedRow> IOSystem = {
    {"DAQNavi PCI-1730 3.1.1.0", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/DAQNavi_PCI1730_PCM3730I_3.1.1.0.exe", "DAQNavi_PCI1730_PCM3730I_3.1.1.0.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\IOSystem", false, false, "Orvanta IO System"},
    {"DAQNavi USB-4711A 3.1.3.0", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/DAQNavi_USB4711A_3.1.3.0.exe", "DAQNavi_USB4711A_3.1.3.0.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\IOSystem", false, false, "Orvanta IO System"},
    {"DAQNavi USB-4750 3.1.1.0", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/DAQNavi_USB4750_3.1.1.0.exe", "DAQNavi_USB4750_3.1.1.0.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\IOSystem", false, false, "Orvanta IO System"},
    {"DAQNavi SDK and Drivers 3.1.4.0", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/DAQNavi_SDK&Drivers_3.1.4.0.exe", "DAQNavi_SDK&Drivers_3.1.4.0.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\IOSystem", false, false, "Orvanta IO System"},
    {"Adam/Apax .NET Utility 2.04.04", "http://host/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/Advantech AdamApax .NET Utility Ver 2.04.04.exe", "Advantech AdamApax .NET Utility Ver 2.04.04.exe", " /passive", "C:\\Inst\\_OrvantaInstallData\\IOSystem", false, false, "Orvanta IO System"},
};
// clang-format on

struct PageForm {
    const char* label;
    CataloguePage page;
    bool is64Bit;
    const std::vector<ExpectedRow>* rows;
};

// Pages with one form must give the same rows whatever the machine.
const PageForm PageForms[] = {
    {"Prerequisites/32", CataloguePage::Prerequisites, false, &Prerequisites},
    {"Prerequisites/64", CataloguePage::Prerequisites, true, &Prerequisites},
    {"PrerequisitesStatus/32", CataloguePage::PrerequisitesStatus, false, &Prerequisites},
    {"PrerequisitesStatus/64", CataloguePage::PrerequisitesStatus, true, &Prerequisites},
    {"CoreComponents/32", CataloguePage::CoreComponents, false, &CoreComponents},
    {"CoreComponents/64", CataloguePage::CoreComponents, true, &CoreComponents},
    {"Extensions/32", CataloguePage::Extensions, false, &Extensions},
    {"Extensions/64", CataloguePage::Extensions, true, &Extensions},
    {"Modules/32", CataloguePage::Modules, false, &Modules},
    {"Modules/64", CataloguePage::Modules, true, &Modules},
    {"Utilities/32", CataloguePage::Utilities, false, &Utilities},
    {"Utilities/64", CataloguePage::Utilities, true, &Utilities},
    {"Utilities2/32", CataloguePage::Utilities2, false, &Utilities2_32},
    {"Utilities2/64", CataloguePage::Utilities2, true, &Utilities2_64},
    {"ThirdPartySoftwares/32", CataloguePage::ThirdPartySoftwares, false, &ThirdParty_32},
    {"ThirdPartySoftwares/64", CataloguePage::ThirdPartySoftwares, true, &ThirdParty_64},
    {"IOSystem/32", CataloguePage::IOSystem, false, &IOSystem},
    {"IOSystem/64", CataloguePage::IOSystem, true, &IOSystem},
};

void expectRecord(const dvComponentInfo& actual, const ExpectedRow& expected, const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(actual.displayName(), expected.displayName);
    EXPECT_EQ(actual.downloadUrl(), expected.url);
    EXPECT_EQ(actual.fileName(), expected.fileName);
    EXPECT_EQ(actual.installArguments(), expected.arguments);
    EXPECT_EQ(actual.downloadFolder(), expected.folder);
    EXPECT_EQ(actual.isMsiPackage(), expected.msi);
    EXPECT_EQ(actual.alwaysDownload(), expected.always);
    EXPECT_EQ(actual.category(), expected.category);
}

// The strings a page keeps for its rows.
struct PageStrings {
    explicit PageStrings(std::size_t rows) : names(rows), statuses(rows, "untouched"), actions(rows, "stale") {
        for (std::size_t i = 0; i < rows; ++i) labels.push_back({&names[i], &statuses[i], &actions[i]});
    }
    std::vector<std::string> names, statuses, actions;
    std::vector<components::RowLabels> labels;
};

}  // namespace

TEST(Catalogue, EveryPageAndFormHoldsExactlyItsRowsInOrder) {
    for (const PageForm& form : PageForms) {
        const std::vector<ExpectedRow>& expected = *form.rows;
        PageStrings page(expected.size());
        const std::vector<dvComponentInfo> records =
            components::buildComponents(form.page, AppFolder, Server, form.is64Bit, page.labels);
        ASSERT_EQ(records.size(), expected.size()) << form.label;
        ASSERT_EQ(components::catalogueRows(form.page, form.is64Bit).size(), expected.size()) << form.label;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const std::string where = std::string(form.label) + " row " + std::to_string(i);
            expectRecord(records[i], expected[i], where);
            // Row i writes into the page's strings of row i, not a neighbour's.
            EXPECT_EQ(records[i].nameLabel(), &page.names[i]) << where;
            EXPECT_EQ(records[i].statusLabel(), &page.statuses[i]) << where;
            EXPECT_EQ(records[i].actionLabel(), &page.actions[i]) << where;
            EXPECT_EQ(page.names[i], expected[i].displayName) << where;
            EXPECT_EQ(page.actions[i], "") << where;
            EXPECT_EQ(page.statuses[i], "untouched") << where;
        }
    }
}

TEST(Catalogue, SixtyFourBitFormsDifferInDisplayNameSoEachGetsItsOwnRules) {
    for (CataloguePage page : {CataloguePage::ThirdPartySoftwares, CataloguePage::Utilities2}) {
        const auto rows32 = components::catalogueRows(page, false);
        const auto rows64 = components::catalogueRows(page, true);
        ASSERT_EQ(rows32.size(), rows64.size());
        for (std::size_t i = 0; i < rows32.size(); ++i) {
            const bool sameFile = std::string(rows32[i].fileName) == rows64[i].fileName;
            EXPECT_EQ(std::string(rows32[i].displayName) == rows64[i].displayName, sameFile) << "row " << i;
        }
    }
}

TEST(Catalogue, HelpArchiveLiesInTheDataFolderItselfAndIsAlwaysFetchedFresh) {
    std::string name, status = "untouched", action = "stale";
    const dvComponentInfo help = components::makeHelpArchiveComponent(AppFolder, Server, {&name, &status, &action});
    expectRecord(help,
                 {"578help.zip",
                  "http://host/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/578help.zip",
                  "578help.zip", "", "C:\\Inst\\_OrvantaInstallData", false, true, "Help Files"},
                 "help archive");
    EXPECT_EQ(name, "578help.zip");
}

TEST(Catalogue, TooFewLabelsForAPageIsRefused) {
    PageStrings page(4);  // the IO system page has five rows
    EXPECT_THROW(components::buildComponents(CataloguePage::IOSystem, AppFolder, Server, false, page.labels),
                 std::invalid_argument);
}

TEST(Catalogue, SharedLabelsPointEveryRowAtTheSameStrings) {
    std::string hidden;
    const auto records = components::buildComponentsSharingLabels(CataloguePage::Extensions, AppFolder, Server, false,
                                                                  {&hidden, &hidden, &hidden});
    ASSERT_EQ(records.size(), Extensions.size());
    for (const dvComponentInfo& record : records) {
        EXPECT_EQ(record.nameLabel(), &hidden);
        EXPECT_EQ(record.statusLabel(), &hidden);
        EXPECT_EQ(record.actionLabel(), &hidden);
    }
}

TEST(OrvantaProducts, CoreAndClientNamesAreTheCatalogueNames) {
    const auto core = components::catalogueRows(CataloguePage::CoreComponents, false);
    const auto utilities = components::catalogueRows(CataloguePage::Utilities, false);
    EXPECT_STREQ(components::products::Runtime.displayName, core[0].displayName);
    EXPECT_STREQ(components::products::LumetraSdk.displayName, core[1].displayName);
    EXPECT_STREQ(components::products::PlexorClient.displayName, utilities[4].displayName);
    EXPECT_STREQ(components::products::Runtime.productCode, "{9343AC02-FF75-439C-BF54-3F89BBDC82B5}");
    EXPECT_STREQ(components::products::LumetraSdk.productCode, "{D4BDBA34-FFBC-4494-9EE1-E13ED9CB827B}");
    EXPECT_STREQ(components::products::PlexorClient.productCode, "{FC84F31D-53C5-49CC-A799-80BFF4724731}");
    EXPECT_EQ(components::products::installPathKey("Orvanta Version X 10.2.1.578 Runtime"),
              "SOFTWARE\\DALVOREN AS\\Orvanta Version X 10.2.1.578 Runtime");
    EXPECT_STREQ(components::products::InstallPathValue, "InstallPath");
}

// ---------------------------------------------------------------------------------------------------------
// The record and its labels

TEST(ComponentInfo, FreshRecordShowsItsNameClearsTheActionAndLeavesTheStatus) {
    std::string name = "old name", status = "Installed", action = "Failed";
    const dvComponentInfo record("Speccy v1.25", "u", "f", " /passive", "d", false, false, &name, &status, &action,
                                 "c");
    EXPECT_EQ(name, "Speccy v1.25");
    EXPECT_EQ(action, "");
    EXPECT_EQ(status, "Installed");
    EXPECT_EQ(record.statusText(), "Installed");
}

TEST(ComponentInfo, CopiesSharingLabelsShowTheSameTexts) {
    std::string name, status, action;
    const dvComponentInfo pageRow("Python 2.6.6", "u", "f", "", "d", true, false, &name, &status, &action, "c");
    const dvComponentInfo managerCopy = pageRow;

    managerCopy.setActionText("Installing...");
    EXPECT_EQ(pageRow.actionText(), "Installing...");
    pageRow.setActionText("Ok");
    EXPECT_EQ(managerCopy.actionText(), "Ok");
    managerCopy.setStatusText("Installed");
    EXPECT_EQ(pageRow.statusText(), "Installed");
    EXPECT_EQ(action, "Ok");
    EXPECT_EQ(status, "Installed");
}

TEST(ComponentInfo, RepointedCopiesChangeNoVisibleText) {
    std::string name, status = "Not Installed", action;
    const dvComponentInfo pageRow("Python 2.6.6", "u", "f", "", "d", true, false, &name, &status, &action, "c");
    std::string hidden = "hidden";

    dvComponentInfo welcomeCopy = pageRow;
    welcomeCopy.setLabels(&hidden, &hidden, &hidden);
    EXPECT_EQ(hidden, "hidden");  // re-pointing writes nothing
    welcomeCopy.setActionText("Downloading...");
    welcomeCopy.setStatusText("Installed");
    const dvComponentInfo copyOfCopy = welcomeCopy;
    copyOfCopy.setActionText("Downloaded");

    EXPECT_EQ(name, "Python 2.6.6");
    EXPECT_EQ(status, "Not Installed");
    EXPECT_EQ(action, "");
    EXPECT_EQ(hidden, "Downloaded");
    EXPECT_EQ(pageRow.nameLabel(), &name);  // the original keeps its labels
}

TEST(ComponentInfo, NullLabelsReadEmptyAndIgnoreWrites) {
    const dvComponentInfo record("Orvanta 9.3.0.524 IPP", "u", "f", "", "d", false, false, nullptr, nullptr, nullptr,
                                 "c");
    record.setActionText("Ok");
    record.setStatusText("Installed");
    EXPECT_EQ(record.actionText(), "");
    EXPECT_EQ(record.statusText(), "");
    EXPECT_EQ(record.nameText(), "");
}

// ---------------------------------------------------------------------------------------------------------
// The list of a page

TEST(InstallManagerBase, KeepsPrivateCopiesInOrderAfterTheCallerDropsItsRecords) {
    PageStrings page(Utilities.size());
    dvInstallManagerBase manager;
    {
        auto records = std::make_unique<std::vector<dvComponentInfo>>(
            components::buildComponents(CataloguePage::Utilities, AppFolder, Server, false, page.labels));
        manager.setComponents(static_cast<unsigned>(records->size()), records->data());
    }  // the caller's records are gone; the sanitizer sees any use of them
    ASSERT_EQ(manager.componentCount(), Utilities.size());
    for (unsigned i = 0; i < manager.componentCount(); ++i)
        expectRecord(manager.component(i), Utilities[i], "manager row " + std::to_string(i));

    // The copies still write into the page's strings.
    manager.component(3).setActionText("Pending");
    EXPECT_EQ(page.actions[3], "Pending");
}

TEST(InstallManagerBase, ClearEmptiesAndSetReplacesTheList) {
    PageStrings io(IOSystem.size()), core(CoreComponents.size());
    dvInstallManagerBase manager;
    EXPECT_EQ(manager.componentCount(), 0u);

    manager.setComponents(components::buildComponents(CataloguePage::IOSystem, AppFolder, Server, false, io.labels));
    ASSERT_EQ(manager.componentCount(), 5u);
    manager.setComponents(
        components::buildComponents(CataloguePage::CoreComponents, AppFolder, Server, false, core.labels));
    ASSERT_EQ(manager.componentCount(), 2u);
    expectRecord(manager.component(1), CoreComponents[1], "after replacing");
    EXPECT_THROW(manager.component(2), std::out_of_range);

    manager.clearComponents();
    EXPECT_EQ(manager.componentCount(), 0u);
    EXPECT_THROW(manager.component(0), std::out_of_range);
    manager.setComponents(0, nullptr);
    EXPECT_EQ(manager.componentCount(), 0u);
}

// ---------------------------------------------------------------------------------------------------------
// The server address

TEST(ServerAddress, EnvironmentOverridesTheCompiledInAddress) {
    struct Case {
        std::optional<std::string> variable;
        std::string expected;
    } cases[] = {
        {std::nullopt, "http://downloads.orvanta-vision.com"},
        {std::string(""), "http://downloads.orvanta-vision.com"},
        {std::string("http://127.0.0.1:8731"), "http://127.0.0.1:8731"},
        {std::string("http://127.0.0.1:8731/"), "http://127.0.0.1:8731"},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        m.environment.setVariable("ORVANTA_INSTALLER_SERVER", c.variable);
        EXPECT_EQ(components::serverBaseUrl(m), c.expected) << c.variable.value_or("(unset)");
    }
}

TEST(ServerAddress, RowsBuiltWithTheOverrideAddressTheLoopbackServer) {
    FakeMachine m;
    m.environment.setVariable("ORVANTA_INSTALLER_SERVER", std::string("http://127.0.0.1:8731/"));
    std::string name, status, action;
    const auto records = components::buildComponentsSharingLabels(
        CataloguePage::Extensions, AppFolder, components::serverBaseUrl(m), false, {&name, &status, &action});
    EXPECT_EQ(records[0].downloadUrl(), "http://127.0.0.1:8731/orvanta/files/python 26/python-2.6.6.msi");
}
