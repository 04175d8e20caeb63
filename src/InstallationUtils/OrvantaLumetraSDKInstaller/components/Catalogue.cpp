#include "components/Catalogue.h"

#include <algorithm>
#include <stdexcept>

#include "app/DataFolders.h"

namespace components {

namespace {

using namespace datafolders;

constexpr bool Msi = true;
constexpr bool Always = true;

constexpr const char* PrerequisitesCategory = "Prerequisites";
constexpr const char* CoreCategory = "Core Components";
constexpr const char* ModulesCategory = "Optional Orvanta Modules";
constexpr const char* ExtensionsCategory = "Recommended Orvanta Extensions";
constexpr const char* UtilitiesCategory = "Optional Utility Software";
constexpr const char* ThirdPartyCategory = "3rd Party Softwares";
constexpr const char* IOSystemCategory = "Orvanta IO System";
constexpr const char* HelpCategory = "Help Files";

// The prerequisites page and the prerequisites status page show the same rows.
// clang-format off
constexpr CatalogueRow PrerequisitesRows[] = {
    // displayName                           fileName                                serverPath                                                           arguments  subFolder      MSI    Always category
    {"MS VC++ 2005 SP1 Redist",              "vc2005sp1 - redist_x86.exe",           "/orvanta/files/OrvantaPreRequisites/",                              " /q:a ",  Prerequisites, false, false, PrerequisitesCategory},
    {"MS VC++ 2008 SP1 Redist",              "vc2008sp1 - redist_x86.exe",           "/orvanta/files/OrvantaPreRequisites/",                              " /q:a ",  Prerequisites, false, false, PrerequisitesCategory},
    {"MS VC++ 2010 SP1 Redist",              "vc2010sp1 - redist_x86.exe",           "/orvanta/files/InstallerDownloads/_Installers3rdParty/Microsoft/",  " /q:a ",  Prerequisites, false, false, PrerequisitesCategory},
    {"Microsoft .Net 2.0.50727.42 Redist",   "dotnetfx_2.0.50727.42.exe",            "/orvanta/files/OrvantaPreRequisites/",                              " ",       Prerequisites, false, false, PrerequisitesCategory},
    {"Windows Installer 3.1",                "WindowsInstaller-KB893803-v2-x86.exe", "/orvanta/files/OrvantaPreRequisites/",                              " ",       Prerequisites, false, false, PrerequisitesCategory},
};

constexpr CatalogueRow CoreComponentsRows[] = {
    {"Orvanta Version X 10.2.1.578 Runtime",     "OrvantaRuntime_10_2_1_578_ReDist_140411.exe", "/orvanta/files/InstallerDownloads/Orvanta10.2/578/", " ", OrvantaRuntime,    false, false, CoreCategory},
    {"Orvanta Lumetra Version X 10.2.1.578 SDK", "OrvantaLumetraSDK_10_2_1_578_140411.exe",     "/orvanta/files/InstallerDownloads/Orvanta10.2/578/", " ", OrvantaLumetraSDK, false, false, CoreCategory},
};

constexpr CatalogueRow ModulesRows[] = {
    {"Orvanta 9.3.0.524 IPP", "Orvanta_9.3.0.524_IPP.zip", "/orvanta/files/InstallerDownloads/_Modules/IPP/", "", Modules, false, false, ModulesCategory},
};

constexpr CatalogueRow ExtensionsRows[] = {
    {"Python 2.6.6",                   "python-2.6.6.msi",                             "/orvanta/files/python 26/",                                "",          Python2D,    Msi,   false, ExtensionsCategory},
    {"pywin32-218.win32-py2.6",        "pywin32-218.win32-py2.6.exe",                  "/orvanta/files/InstallerDownloads/_Modules/pywin/",        " /quiet ",  Python2D,    false, false, ExtensionsCategory},
    {"pyserial-py3k-2.5.win32",        "pyserial-py3k-2.5.win32.exe",                  "/orvanta/files/InstallerDownloads/_Modules/pyserial/",     " /quiet ",  Python2D,    false, false, ExtensionsCategory},
    {"scipy-0.14.0b1-python2.6",       "scipy-0.14.0b1-win32-superpack-python2.6.exe", "/orvanta/files/InstallerDownloads/_Modules/scipy/",        " /quiet ",  Python3D,    false, false, ExtensionsCategory},
    {"numpy-1.8.1-python2.6",          "numpy-1.8.1-win32-superpack-python2.6.exe",    "/orvanta/files/InstallerDownloads/_Modules/numpy/",        " /quiet ",  Python3D,    false, false, ExtensionsCategory},
    {"OpenCV_1.1pre1a",                "OpenCV_1.1pre1a.exe",                          "/orvanta/files/python 26/",                                " /silent",  OpenCV,      false, false, ExtensionsCategory},
    {"ctypes-opencv-0.8.0-python26",   "ctypes-opencv-0.8.0.win32-py26.exe",           "/orvanta/files/python 26/",                                " /quiet ",  OpenCV,      false, false, ExtensionsCategory},
    {"OpenCV 2.3.1",                   "OpenCV2.3.1_build_x86_vc10_bin.zip",           "/orvanta/files/python 26/",                                "",          OpenCV,      false, false, ExtensionsCategory},
    {"OpenCV 2.4.6",                   "opencv-246_bin.zip",                           "/orvanta/files/InstallerDownloads/_Modules/OpenCV/",       "",          OpenCV,      false, false, ExtensionsCategory},
    {"MySQL-python-1.2.2.win32-py2.6", "MySQL-python-1.2.2.win32-py2.6.exe",           "/orvanta/files/InstallerDownloads/_Modules/MySQLPython/",  " /quiet ",  PythonMySQL, false, false, ExtensionsCategory},
    {"OpenCV 2.4.8",                   "opencv-248_bin_Py2.6_Num1.8.0_Sci0.13.2.zip",  "/orvanta/files/InstallerDownloads/_Modules/OpenCV/",       "",          OpenCV,      false, false, ExtensionsCategory},
};

constexpr CatalogueRow UtilitiesRows[] = {
    {"Orvanta Watchdog - Vivantor 2.0.0.6",          "Orvanta_Watchdog_Vivantor_2_0_0_6_131205.exe", "/orvanta/files/InstallerDownloads/OrvantaWatchdog/",                " /passive ", Utilities, false, false, UtilitiesCategory},
    {"Tavrel 1.0.0.1(3587)",                         "Tavrel_1.0.0.1(3587).zip",                     "/orvanta/Tavrel/",                                                  "",           Utilities, false, false, UtilitiesCategory},
    {"PerformanceTest 8.0",                          "PerformanceTest_8.0_Setup.exe",                "/orvanta/files/InstallerDownloads/_Installers3rdParty/Passmark/",   " /passive",  Utilities, false, false, UtilitiesCategory},
    {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", "SIMATIC_NET_OPC_Client_V6.2_3133.zip",         "/orvanta/files/InstallerDownloads/_Installers3rdParty/OPCScout/",   " \\silent",  Utilities, false, false, UtilitiesCategory},
    {"Orvanta Plexor 1.9.0.24",                      "Orvanta_Plexor_1.9.0.24_140321.exe",           "/orvanta/files/InstallerDownloads/OrvantaPlexor/",                  " /passive ", Utilities, false, false, UtilitiesCategory},
};

// Row 0 in its 32-bit form; Utilities2Rows64Bit replaces it on a 64-bit Windows.
constexpr CatalogueRow Utilities2Rows[] = {
    {"TightVNC 2.6.4 - 32 bit",       "tightvnc-2.6.4-setup-32bit.msi",      "/orvanta/files/InstallerDownloads/_Installers3rdParty/TightVNC/",   "",          Utilities,             Msi,   false, UtilitiesCategory},
    {"Orvanta TeamViewer 8 Host.exe", "Orvanta_TeamViewer_8_Host_Setup.exe", "/orvanta/files/InstallerDownloads/_Installers3rdParty/TeamViewer/", " /passive", Utilities,             false, false, UtilitiesCategory},
    {"Speccy v1.25",                  "spsetup125.exe",                      "/orvanta/files/InstallerDownloads/_Installers3rdParty/Piriform/",   " /passive", Installations3rdParty, false, false, UtilitiesCategory},
};
constexpr CatalogueRow Utilities2Rows64Bit[] = {
    {"TightVNC 2.6.4 - 64 bit",       "tightvnc-2.6.4-setup-64bit.msi",      "/orvanta/files/InstallerDownloads/_Installers3rdParty/TightVNC/",   "",          Utilities,             Msi,   false, UtilitiesCategory},
};

// Rows 0-5 in their 32-bit forms; ThirdPartySoftwaresRows64Bit replaces them on a 64-bit Windows.
constexpr CatalogueRow ThirdPartySoftwaresRows[] = {
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", "ubCorePro32_112912.exe",                  "/orvanta/files/InstallerDownloads/_Installers3rdParty/ubCore/",        " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"Fire-i Application 4.0 - 32 bit",                "FireiSetupX86_112912.exe",                "/orvanta/files/InstallerDownloads/_Installers3rdParty/Firei/",         " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"ZCL for SONYGigECAM 2.12 - 32 bit",              "SonyZCL_2.12_setup_x86_Beta.exe",         "/orvanta/files/InstallerDownloads/_Installers3rdParty/SonyZCL/2.12/",  " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"Basler pylon SDK 2.3.5.2633 - 32 bit",           "Basler pylon SDK x86 2.3.5.2633.exe",     "/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/",        " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"Basler pylon SDK 3.2.3.3215 - 32 bit",           "Basler pylon SDK x86 3.2.3.3215_EN_.exe", "/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/",        " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit",     "pylon 4 Runtime x86 4.0.1.3425.msi",      "/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/",        " /passive", Installations3rdParty, Msi,   false, ThirdPartyCategory},
    {"Imaging Source - IC Capture 2.3",                "setup_iccapture.en_US.exe",               "/orvanta/files/InstallerDownloads/_Installers3rdParty/ImagingSource/", " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"Imaging Source Camera Driver",                   "usbcam_2.6.5_tis_02.zip",                 "/orvanta/files/InstallerDownloads/_Installers3rdParty/ImagingSource/", "",          Installations3rdParty, false, false, ThirdPartyCategory},
};
constexpr CatalogueRow ThirdPartySoftwaresRows64Bit[] = {
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", "ubCorePro64_112912.exe",                  "/orvanta/files/InstallerDownloads/_Installers3rdParty/ubCore/",        " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"Fire-i Application 4.0 - 64 bit",                "FireiSetupX64_112912.exe",                "/orvanta/files/InstallerDownloads/_Installers3rdParty/Firei/",         " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"ZCL for SONYGigECAM 2.12 - 64 bit",              "SonyZCL_2.12_setup_x64_Beta.exe",         "/orvanta/files/InstallerDownloads/_Installers3rdParty/SonyZCL/2.12/",  " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"Basler pylon SDK 2.3.5.2633 - 64 bit",           "Basler pylon SDK x64 2.3.5.2633.exe",     "/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/",        " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"Basler pylon SDK 3.2.3.3215 - 64 bit",           "Basler pylon SDK x64 3.2.3.3215.exe",     "/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/",        " /passive", Installations3rdParty, false, false, ThirdPartyCategory},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit",     "pylon 4 Runtime x64 4.0.1.3425.msi",      "/orvanta/files/InstallerDownloads/_Installers3rdParty/Basler/",        " /passive", Installations3rdParty, Msi,   false, ThirdPartyCategory},
};

constexpr CatalogueRow IOSystemRows[] = {
    {"DAQNavi PCI-1730 3.1.1.0",        "DAQNavi_PCI1730_PCM3730I_3.1.1.0.exe",            "/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/", " /passive", IOSystem, false, false, IOSystemCategory},
    {"DAQNavi USB-4711A 3.1.3.0",       "DAQNavi_USB4711A_3.1.3.0.exe",                    "/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/", " /passive", IOSystem, false, false, IOSystemCategory},
    {"DAQNavi USB-4750 3.1.1.0",        "DAQNavi_USB4750_3.1.1.0.exe",                     "/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/", " /passive", IOSystem, false, false, IOSystemCategory},
    {"DAQNavi SDK and Drivers 3.1.4.0", "DAQNavi_SDK&Drivers_3.1.4.0.exe",                 "/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/", " /passive", IOSystem, false, false, IOSystemCategory},
    {"Adam/Apax .NET Utility 2.04.04",  "Advantech AdamApax .NET Utility Ver 2.04.04.exe", "/orvanta/files/InstallerDownloads/_Installers3rdParty/Advantech/", " /passive", IOSystem, false, false, IOSystemCategory},
};

// Lies directly in the data folder; always fetched fresh so that the help follows the server.
constexpr CatalogueRow HelpArchiveRow =
    {"578help.zip", "578help.zip", "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/", "", "", false, Always, HelpCategory};
// clang-format on

std::vector<CatalogueRow> withForms(std::span<const CatalogueRow> rows, std::span<const CatalogueRow> leadingForms,
                                    bool useForms) {
    std::vector<CatalogueRow> result(rows.begin(), rows.end());
    if (useForms) std::copy(leadingForms.begin(), leadingForms.end(), result.begin());
    return result;
}

}  // namespace

std::vector<CatalogueRow> catalogueRows(CataloguePage page, bool is64Bit) {
    switch (page) {
    case CataloguePage::Prerequisites:
    case CataloguePage::PrerequisitesStatus: return {std::begin(PrerequisitesRows), std::end(PrerequisitesRows)};
    case CataloguePage::CoreComponents: return {std::begin(CoreComponentsRows), std::end(CoreComponentsRows)};
    case CataloguePage::Extensions: return {std::begin(ExtensionsRows), std::end(ExtensionsRows)};
    case CataloguePage::Modules: return {std::begin(ModulesRows), std::end(ModulesRows)};
    case CataloguePage::Utilities: return {std::begin(UtilitiesRows), std::end(UtilitiesRows)};
    case CataloguePage::Utilities2: return withForms(Utilities2Rows, Utilities2Rows64Bit, is64Bit);
    case CataloguePage::ThirdPartySoftwares:
        return withForms(ThirdPartySoftwaresRows, ThirdPartySoftwaresRows64Bit, is64Bit);
    case CataloguePage::IOSystem: return {std::begin(IOSystemRows), std::end(IOSystemRows)};
    }
    throw std::invalid_argument("catalogueRows - unknown page");
}

const CatalogueRow& helpArchiveRow() { return HelpArchiveRow; }

std::string downloadFolderPath(const std::string& appFolder, const std::string& subFolder) {
    std::string folder = appFolder + "\\" + DataFolder;
    if (!subFolder.empty()) folder += "\\" + subFolder;
    return folder;
}

std::string downloadUrl(const std::string& serverBase, const CatalogueRow& row) {
    return serverBase + row.serverPath + row.fileName;
}

dvComponentInfo makeComponent(const CatalogueRow& row, const std::string& appFolder, const std::string& serverBase,
                              const RowLabels& labels) {
    return dvComponentInfo(row.displayName, downloadUrl(serverBase, row), row.fileName, row.installArguments,
                           downloadFolderPath(appFolder, row.subFolder), row.isMsiPackage, row.alwaysDownload,
                           labels.name, labels.status, labels.action, row.category);
}

std::vector<dvComponentInfo> buildComponents(CataloguePage page, const std::string& appFolder,
                                             const std::string& serverBase, bool is64Bit,
                                             std::span<const RowLabels> labels) {
    const std::vector<CatalogueRow> rows = catalogueRows(page, is64Bit);
    if (labels.size() < rows.size()) throw std::invalid_argument("buildComponents - fewer labels than rows");
    std::vector<dvComponentInfo> components;
    components.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        components.push_back(makeComponent(rows[i], appFolder, serverBase, labels[i]));
    return components;
}

std::vector<dvComponentInfo> buildComponentsSharingLabels(CataloguePage page, const std::string& appFolder,
                                                          const std::string& serverBase, bool is64Bit,
                                                          const RowLabels& labels) {
    std::vector<dvComponentInfo> components;
    for (const CatalogueRow& row : catalogueRows(page, is64Bit))
        components.push_back(makeComponent(row, appFolder, serverBase, labels));
    return components;
}

dvComponentInfo makeHelpArchiveComponent(const std::string& appFolder, const std::string& serverBase,
                                         const RowLabels& labels) {
    return makeComponent(HelpArchiveRow, appFolder, serverBase, labels);
}

}  // namespace components
