#include "components/PackagedModules.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "components/Catalogue.h"
#include "components/DetectionMachine.h"
#include "components/SystemConfig.h"
#include "platform/TextCompare.h"
#include "support/RecordingUi.h"
#include "support/ScriptedDialogs.h"
#include "unzip/ZipBuilder.h"

using components::OperationContext;
using detectiontest::RuntimeFolder;
using detectiontest::TavrelFolder;
using platform::Hive;
using platform::fake::FakeMachine;

namespace {

const std::string AppFolder = "C:\\Installer";
const std::string DataFolder = AppFolder + "\\_OrvantaInstallData";
// The fake clock's local time.
const std::string Stamp = "20140411123005";
const std::string Desktop = "C:\\users\\Public\\Desktop";
const std::string Programs = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
const std::string ProgramsTavrel = Programs + "\\Dalvoren Software Solutions\\Tavrel";
const std::string LinkName = "Tavrel 1.0.0.1(3587).lnk";
const std::string RuntimeBinding = RuntimeFolder + "Python\\cv2.pyd";
const std::string OlderBinding = RuntimeFolder + "Python\\OpenCV2_4_3OrOlder\\cv2.pyd";

// The catalogue's row, named as the caller spells it (the rules must not care about letter case).
dvComponentInfo catalogueRecord(const std::string& displayName) {
    for (auto page : components::AllCataloguePages)
        for (const auto& row : components::catalogueRows(page, false))
            if (text::equalsIgnoringCase(row.displayName, displayName)) {
                const dvComponentInfo r = components::makeComponent(row, AppFolder, "http://srv", {});
                return dvComponentInfo(displayName, r.downloadUrl(), r.fileName(), r.installArguments(),
                                       r.downloadFolder(), r.isMsiPackage(), r.alwaysDownload(), nullptr, nullptr,
                                       nullptr, r.category());
            }
    ADD_FAILURE() << "no catalogue row " << displayName;
    return dvComponentInfo(displayName, "", "", "", "", false, false, nullptr, nullptr, nullptr, "");
}

// An installer on a machine with Program Files and a PATH, its dialogs and its message boxes.
struct ModuleBench {
    ModuleBench() {
        m.environment.variables["PROGRAMFILES"] = detectiontest::ProgramFiles;
        m.registry.createKey(Hive::LocalMachine, components::EnvironmentKey);
        m.registry.writeString(Hive::LocalMachine, components::EnvironmentKey, "Path", "C:\\Windows",
                               platform::RegExpandSz);
        m.files.addFolder(AppFolder);
    }

    // The row's download, as the download-and-install dialog leaves it.
    void download(const dvComponentInfo& record, const std::string& bytes) {
        m.files.addFolder(record.downloadFolder());
        m.files.addFile(record.downloadFolder() + "\\" + record.fileName(), bytes);
    }
    void download(const dvComponentInfo& record, const std::vector<ziptest::Entry>& entries) {
        download(record, ziptest::buildZip(entries));
    }

    bool process(const dvComponentInfo& record) { return components::processDownloadedPackage(context, record); }
    bool customActions(const dvComponentInfo& record) { return components::runCustomActions(context, record); }

    std::string path() {
        return m.registry.readValue(Hive::LocalMachine, components::EnvironmentKey, "Path", 1 << 16)->text();
    }
    std::string content(const std::string& file) { return m.files.content(file).value_or("<missing>"); }

    FakeMachine m;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    OperationContext context{m, ui, dialogs, AppFolder};
};

class PackagedModules : public ::testing::Test, public ModuleBench {};

ziptest::Entry file(const std::string& name, const std::string& data = "payload") { return {name, data}; }

// ---- Modules unpacked below the Runtime folder --------------------------------------------------------------

struct RuntimeModuleCase {
    const char* displayName;
    const char* folder;
    const char* pathEntry;
    const char* extractFailed;
    bool bringsBinding;
};

// clang-format off
const RuntimeModuleCase RuntimeModules[] = {
    {"OpenCV 2.3.1",          "OpenCV23",  "OpenCv23",  "Error: Unable to extract the OpenCV 2.3.1 files. Please try again.", false},
    {"OpenCV 2.4.6",          "OpenCV246", "OpenCV246", "Error: Unable to extract the OpenCV 2.4.6 files. Please try again.", true},
    {"OpenCV 2.4.8",          "OpenCV248", "OpenCV248", "Error: Unable to extract the OpenCV 2.4.8 files. Please try again.", true},
    {"Orvanta 9.3.0.524 IPP", "IPP924",    "IPP924",    "Error: Unable to extract the IPP module files. Please try again.",   false},
};
// clang-format on

TEST_F(PackagedModules, RuntimeModulesUnpackGoOnThePathAndHandOverTheirBinding) {
    detectiontest::registerRuntime(m);
    m.files.addFile(RuntimeBinding, "older binding", platform::attr::ReadOnly);
    for (const RuntimeModuleCase& c : RuntimeModules) {
        SCOPED_TRACE(c.displayName);
        const dvComponentInfo record = catalogueRecord(c.displayName);
        download(record, {file("bin/module.dll", c.folder), file("Python/cv2.pyd", std::string("cv2 of ") + c.folder)});
        dialogs.opened.clear();

        EXPECT_TRUE(process(record));

        EXPECT_EQ(content(RuntimeFolder + c.folder + "\\bin\\module.dll"), c.folder);
        EXPECT_EQ(path().substr(path().rfind(';') + 1), RuntimeFolder + c.pathEntry);
        EXPECT_EQ(dialogs.of("pleaseWait").size(), 1u);
        EXPECT_EQ(dialogs.pleaseWaitOpen, 0);
        if (c.bringsBinding) {
            EXPECT_EQ(content(RuntimeBinding), std::string("cv2 of ") + c.folder);
        }
    }
    EXPECT_EQ(content(RuntimeBinding), "cv2 of OpenCV248");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PackagedModules, RuntimeModulesFailWithoutArchiveRuntimeOrReadableArchive) {
    for (const RuntimeModuleCase& c : RuntimeModules) {
        SCOPED_TRACE(c.displayName);
        const dvComponentInfo record = catalogueRecord(c.displayName);
        {
            ModuleBench noRuntime;
            noRuntime.download(record, {file("a.dll")});
            EXPECT_FALSE(noRuntime.process(record)) << "no Runtime";
            EXPECT_TRUE(noRuntime.ui.messages.empty());
        }
        detectiontest::registerRuntime(m);
        EXPECT_FALSE(process(record)) << "no archive";
        EXPECT_FALSE(m.files.exists(RuntimeFolder + c.folder));
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_TRUE(dialogs.opened.empty());

        download(record, "this is no zip archive");
        EXPECT_FALSE(process(record)) << "unreadable archive";
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, c.extractFailed);
        EXPECT_EQ(ui.messages[0].caption, apptexts::InstallerTitle);
        EXPECT_EQ(dialogs.pleaseWaitOpen, 0);
        EXPECT_EQ(path(), "C:\\Windows");
        ui.messages.clear();
        dialogs.opened.clear();
    }
}

TEST_F(PackagedModules, OpenCV246WithoutItsBindingStaysUnpackedOnThePathButFails) {
    detectiontest::registerRuntime(m);
    m.files.addFile(RuntimeBinding, "older binding");
    const dvComponentInfo record = catalogueRecord("OpenCV 2.4.6");
    download(record, {file("opencv_core246.dll")});

    EXPECT_FALSE(process(record));

    EXPECT_TRUE(m.files.exists(RuntimeFolder + "OpenCV246\\opencv_core246.dll"));
    EXPECT_EQ(path(), "C:\\Windows;" + RuntimeFolder + "OpenCV246");
    EXPECT_EQ(content(RuntimeBinding), "older binding");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PackagedModules, OpenCV248FailsWhenTheBindingCannotBeCopied) {
    detectiontest::registerRuntime(m);
    m.files.addFile(RuntimeBinding, "older binding");
    const dvComponentInfo record = catalogueRecord("OpenCV 2.4.8");
    download(record, {file("Python/cv2.pyd", "new")});
    m.files.fault = [](const std::string& op, const std::string&) { return op == "copy"; };

    EXPECT_FALSE(process(record));
    EXPECT_EQ(path(), "C:\\Windows;" + RuntimeFolder + "OpenCV248");
}

TEST_F(PackagedModules, InstallingOpenCV231TwiceLeavesOnePathEntry) {
    detectiontest::registerRuntime(m);
    const dvComponentInfo record = catalogueRecord("OpenCV 2.3.1");
    download(record, {file("opencv_core231.dll")});

    for (int run = 0; run < 2; ++run) {
        EXPECT_TRUE(process(record));
        EXPECT_TRUE(customActions(record));
    }

    EXPECT_EQ(path(), "C:\\Windows;" + RuntimeFolder + "OpenCv23");
    EXPECT_EQ(m.processes.settingBroadcasts.size(), 1u);
}

TEST_F(PackagedModules, NamesWithoutARuleAreDoneAtOnce) {
    const dvComponentInfo record = catalogueRecord("numpy-1.8.1-python2.6");
    EXPECT_TRUE(process(record));
    EXPECT_TRUE(customActions(record));
    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_EQ(path(), "C:\\Windows");
    EXPECT_EQ(components::removePackagedModule(m, "numpy-1.8.1-python2.6"), std::nullopt);
}

// ---- Tavrel -----------------------------------------------------------------------------------------------

TEST_F(PackagedModules, TavrelIsUnpackedWithItsVersionFileAndShortcuts) {
    const dvComponentInfo record = catalogueRecord("tavrel 1.0.0.1(3587)");
    download(record, {file("gui/Tavrel.gui.exe"), file("client/NLog.dll")});
    m.files.addFolder(TavrelFolder);
    m.files.addFile(TavrelFolder + "\\version.txt", "Tavrel 0.9\r\n", platform::attr::ReadOnly);
    m.files.addFolder(Desktop);

    EXPECT_TRUE(process(record));

    EXPECT_EQ(content(TavrelFolder + "\\gui\\Tavrel.gui.exe"), "payload");
    EXPECT_EQ(content(TavrelFolder + "\\version.txt"), "Tavrel 1.0.0.1(3587)");
    for (const std::string& folder : {Desktop, ProgramsTavrel}) {
        auto link = m.links.load(folder + "\\" + LinkName);
        ASSERT_TRUE(link) << folder;
        EXPECT_EQ(link->target, TavrelFolder + "\\gui\\Tavrel.gui.exe");
        EXPECT_EQ(link->arguments, "");
        EXPECT_EQ(link->workingFolder, TavrelFolder + "\\gui");
    }
    EXPECT_TRUE(dialogs.opened.empty());  // no wait box for Tavrel
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PackagedModules, TavrelShortcutsThatCannotBeMadeFailNothing) {
    const dvComponentInfo record = catalogueRecord("Tavrel 1.0.0.1(3587)");
    download(record, {file("gui/Tavrel.gui.exe")});
    m.environment.folders.erase(platform::KnownFolder::CommonPrograms);
    m.files.addFolder(Desktop);
    m.files.fault = [](const std::string& op, const std::string& p) {
        return op == "open" && p.find(".lnk") != std::string::npos;
    };

    EXPECT_TRUE(process(record));
    EXPECT_EQ(content(TavrelFolder + "\\version.txt"), "Tavrel 1.0.0.1(3587)");
    EXPECT_FALSE(m.files.exists(Desktop + "\\" + LinkName));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PackagedModules, TavrelFailuresSayWhatFailed) {
    struct Case {
        const char* what;
        std::function<void(ModuleBench&, const dvComponentInfo&)> arrange;
        const char* message;
    };
    const Case cases[] = {
        {"no download", [](ModuleBench&, const dvComponentInfo&) {},
         "Error: Unable to locate the downloaded file. Please try again."},
        {"no Program Files",
         [](ModuleBench& t, const dvComponentInfo& r) {
             t.download(r, {file("gui/Tavrel.gui.exe")});
             t.m.environment.variables.clear();
         },
         "Error: Unable to locate the target directory. Please try again."},
        {"not an archive", [](ModuleBench& t, const dvComponentInfo& r) { t.download(r, "garbage"); },
         "Error: Unable to extract the Tavrel files. Please try again."},
        {"version file",
         [](ModuleBench& t, const dvComponentInfo& r) {
             t.download(r, {file("gui/Tavrel.gui.exe")});
             t.m.files.fault = [](const std::string& op, const std::string& p) {
                 return op == "open" && p.find("version.txt") != std::string::npos;
             };
         },
         "Error: Unable to create the version info file. Please try again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModuleBench t;
        const dvComponentInfo record = catalogueRecord("Tavrel 1.0.0.1(3587)");
        c.arrange(t, record);

        EXPECT_FALSE(t.process(record));

        ASSERT_EQ(t.ui.messages.size(), 1u);
        EXPECT_EQ(t.ui.messages[0].text, c.message);
        EXPECT_FALSE(t.m.files.exists(Desktop + "\\" + LinkName));
    }
}

// ---- OPC Scout ----------------------------------------------------------------------------------------------

const std::string OpcUnpack = DataFolder + "\\Utilities\\" + Stamp;

std::vector<ziptest::Entry> opcScoutArchive() {
    return {file("disk1/setup.exe"), file("disk1/_isdel.exe"), file("disk1/data1.cab")};
}

TEST_F(PackagedModules, OpcScoutSetupStartsFromItsUnpackFolderWhichGoesAfterTheWait) {
    const dvComponentInfo record = catalogueRecord("OPC Scout (SIMATIC NET OPC-Client V6.2-3133)");
    download(record, opcScoutArchive());
    // An earlier run in the same second left its folder: it must not mix with this one.
    m.files.addFile(OpcUnpack + "\\disk1\\stale.cab", "old");
    bool sawFreshFolder = false;
    m.processes.onStart(OpcUnpack + "\\disk1\\setup.exe", [&](FakeMachine& fm, const std::string&) {
        sawFreshFolder = fm.files.exists(OpcUnpack + "\\disk1\\data1.cab") &&
                         !fm.files.exists(OpcUnpack + "\\disk1\\stale.cab");
        return 0u;
    });
    int boxesDuringWait = -1;
    dialogs.onWaitForProgram = [&](const std::string&) {
        boxesDuringWait = dialogs.pleaseWaitOpen;
        EXPECT_TRUE(m.files.exists(OpcUnpack + "\\disk1\\_isdel.exe"));
    };

    EXPECT_TRUE(process(record));

    ASSERT_EQ(m.processes.started.size(), 1u);
    EXPECT_EQ(m.processes.started[0].commandLine, "\"" + OpcUnpack + "\\disk1\\setup.exe\"  \\silent");
    EXPECT_TRUE(sawFreshFolder);
    ASSERT_EQ(dialogs.of("waitForProgram").size(), 1u);
    EXPECT_EQ(dialogs.of("waitForProgram")[0].subject, OpcUnpack + "\\disk1\\_isdel.exe");
    EXPECT_EQ(boxesDuringWait, 0);
    EXPECT_FALSE(m.files.exists(OpcUnpack));
    EXPECT_TRUE(m.files.exists(DataFolder + "\\Utilities"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PackagedModules, OpcScoutFailuresLeaveNoUnpackFolderAndNoWaitBox) {
    struct Case {
        const char* what;
        std::string archive;
        const char* message;  // nullptr: silent
    };
    const Case cases[] = {
        {"no download", "", nullptr},
        {"not an archive", "garbage", "Error: Unable to extract the OPC Scout files. Please try again."},
        {"no setup", ziptest::buildZip({file("disk1/data1.cab")}),
         "Error: Unable to locate OPC Scout setup file. Please try again."},
    };
    const dvComponentInfo record = catalogueRecord("OPC Scout (SIMATIC NET OPC-Client V6.2-3133)");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui.messages.clear();
        if (!c.archive.empty()) download(record, c.archive);

        EXPECT_FALSE(process(record));

        EXPECT_EQ(ui.texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_FALSE(m.files.exists(OpcUnpack));
        EXPECT_EQ(dialogs.pleaseWaitOpen, 0);
        EXPECT_TRUE(m.processes.started.empty());
        EXPECT_TRUE(dialogs.of("waitForProgram").empty());
    }
}

// ---- Imaging Source camera driver ---------------------------------------------------------------------------

const std::string DriverUnpack = DataFolder + "\\Installations3rdParty\\" + Stamp;

TEST_F(PackagedModules, ImagingSourceDriverInstallerRunsUnderTheWaitBoxAndItsFolderGoes) {
    const dvComponentInfo record = catalogueRecord("Imaging Source Camera Driver");
    download(record, {file("drvInstaller.exe"), file("driver/usbcam.inf")});
    int boxesWhileRunning = -1;
    bool filesThere = false;
    m.processes.onStart(DriverUnpack + "\\drvInstaller.exe", [&](FakeMachine& fm, const std::string&) {
        boxesWhileRunning = dialogs.pleaseWaitOpen;
        filesThere = fm.files.exists(DriverUnpack + "\\driver\\usbcam.inf");
        return 0u;
    });

    EXPECT_TRUE(process(record));

    ASSERT_EQ(m.processes.started.size(), 1u);
    EXPECT_EQ(m.processes.started[0].commandLine, "\"" + DriverUnpack + "\\drvInstaller.exe\" ");
    EXPECT_EQ(boxesWhileRunning, 1);
    EXPECT_TRUE(filesThere);
    EXPECT_EQ(dialogs.pleaseWaitOpen, 0);
    EXPECT_FALSE(m.files.exists(DriverUnpack));
}

TEST_F(PackagedModules, ImagingSourceDriverFailuresLeaveNoUnpackFolder) {
    const dvComponentInfo record = catalogueRecord("Imaging Source Camera Driver");
    EXPECT_FALSE(process(record)) << "no download";
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(m.files.exists(DriverUnpack));

    for (const std::string& archive : {std::string("garbage"), ziptest::buildZip({file("readme.txt")})}) {
        ui.messages.clear();
        download(record, archive);

        EXPECT_FALSE(process(record));

        EXPECT_EQ(ui.texts(), std::vector<std::string>{
                                  "Error: Unable to extract the Imaging Source Camera Driver files. Please try again."});
        EXPECT_FALSE(m.files.exists(DriverUnpack));
        EXPECT_EQ(dialogs.pleaseWaitOpen, 0);
        EXPECT_TRUE(m.processes.started.empty());
    }
}

// ---- Orvanta Plexor ------------------------------------------------------------------------------------------

const std::string PlexorFolder = "C:\\Program Files\\Dalvoren AS\\Orvanta Plexor\\";
const std::string PlexorKey = "SOFTWARE\\DALVOREN AS\\Orvanta Plexor 1.9.0.24";

void installPlexor(FakeMachine& m) {
    detectiontest::registerProduct(m, "{FC84F31D-53C5-49CC-A799-80BFF4724731}", "Orvanta Plexor 1.9.0.24");
    m.registry.setString(Hive::LocalMachine, PlexorKey, "InstallPath", PlexorFolder);
    m.files.addFile(PlexorFolder + "Python\\plexorx.py", "client module");
    detectiontest::registerRuntime(m);
    m.files.addFolder(RuntimeFolder + "Python");
}

TEST_F(PackagedModules, PlexorModuleIsCopiedIntoTheRuntime) {
    installPlexor(m);
    m.files.addFile(RuntimeFolder + "Python\\plexorx.py", "old", platform::attr::ReadOnly);
    const dvComponentInfo record = catalogueRecord("Orvanta Plexor 1.9.0.24");

    EXPECT_TRUE(process(record));

    EXPECT_EQ(content(RuntimeFolder + "Python\\plexorx.py"), "client module");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PackagedModules, PlexorNotRegisteredFailsSilently) {
    EXPECT_FALSE(process(catalogueRecord("Orvanta Plexor 1.9.0.24")));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PackagedModules, PlexorModuleThatCannotBeCopiedOnlyWarns) {
    struct Case {
        const char* what;
        std::function<void(FakeMachine&)> breakIt;
    };
    const Case cases[] = {
        {"no Runtime", [](FakeMachine& fm) { fm.msi.unregisterProduct("{9343AC02-FF75-439C-BF54-3F89BBDC82B5}"); }},
        {"no client key", [](FakeMachine& fm) { fm.registry.deleteKeyTree(Hive::LocalMachine, PlexorKey); }},
        {"no client folder", [](FakeMachine& fm) { fm.registry.deleteValue(Hive::LocalMachine, PlexorKey, "InstallPath"); }},
        {"no Runtime Python folder", [](FakeMachine& fm) { fm.files.removeFolder(RuntimeFolder + "Python"); }},
        {"no client module", [](FakeMachine& fm) { fm.files.deleteFile(PlexorFolder + "Python\\plexorx.py"); }},
        {"copy fails", [](FakeMachine& fm) { fm.files.fault = [](const std::string& op, const std::string&) { return op == "copy"; }; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModuleBench t;
        installPlexor(t.m);
        c.breakIt(t.m);

        EXPECT_TRUE(t.process(catalogueRecord("Orvanta Plexor 1.9.0.24")));

        EXPECT_EQ(t.ui.texts(), std::vector<std::string>{
                                        "Warning: Unable to copy 'plexorx.py' file to '[Orvanta Runtime]\\Python' directory."});
        EXPECT_FALSE(t.m.files.exists(RuntimeFolder + "Python\\plexorx.py"));
    }
}

// ---- Custom actions ---------------------------------------------------------------------------------------

TEST_F(PackagedModules, Pywin32WritesThePythonPathsOrWarnsTwiceWithoutPython) {
    const dvComponentInfo record = catalogueRecord("pywin32-218.win32-py2.6");
    EXPECT_FALSE(customActions(record));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Warning: Unable to retrieve the Python 2.6.5 installation path.\n"
                                                   "Continuing with the remaining installations."});

    m.registry.setString(Hive::LocalMachine, "Software\\Python\\PythonCore\\2.6\\InstallPath", "", "C:\\Python26\\");
    EXPECT_TRUE(customActions(record));
    EXPECT_EQ(m.registry.readValue(Hive::LocalMachine, "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath", "", 4096)->text(),
              "C:\\Python26\\Lib;C:\\Python26\\DLLs;C:\\Python26\\Lib\\lib-tk");
}

TEST_F(PackagedModules, OpenCV11PutsItsBinFolderOnThePath) {
    const dvComponentInfo record = catalogueRecord("OpenCV_1.1pre1a");
    EXPECT_FALSE(customActions(record)) << "not registered";
    EXPECT_EQ(path(), "C:\\Windows");

    detectiontest::setUninstallValue(m, "Open Source Computer Vision Library_is1", "InstallLocation",
                                     "C:\\Program Files\\OpenCV\\", Hive::CurrentUser);
    EXPECT_TRUE(customActions(record));
    EXPECT_EQ(path(), "C:\\Windows;C:\\Program Files\\OpenCV\\bin");
}

TEST_F(PackagedModules, RuntimeModuleCustomActionsNeedTheRuntime) {
    for (const RuntimeModuleCase& c : RuntimeModules) {
        if (std::string(c.displayName).find("IPP") != std::string::npos) continue;
        EXPECT_FALSE(customActions(catalogueRecord(c.displayName))) << c.displayName;
    }
    EXPECT_EQ(path(), "C:\\Windows");

    detectiontest::registerRuntime(m);
    for (const RuntimeModuleCase& c : RuntimeModules) {
        const dvComponentInfo record = catalogueRecord(c.displayName);
        EXPECT_TRUE(customActions(record)) << c.displayName;
    }
    // IPP has nothing to do after its install: its PATH entry came with the unpacking.
    EXPECT_EQ(path(), "C:\\Windows;" + RuntimeFolder + "OpenCv23;" + RuntimeFolder + "OpenCV246;" + RuntimeFolder +
                          "OpenCV248");
}

// ---- Removals ---------------------------------------------------------------------------------------------

class ModuleRemovals : public PackagedModules {
protected:
    void SetUp() override {
        detectiontest::registerRuntime(m);
        for (const char* folder : {"IPP924", "OpenCV23", "OpenCV242", "OpenCV243", "OpenCV244", "OpenCV245",
                                   "OpenCV246", "OpenCV248"})
            m.files.addFile(RuntimeFolder + folder + "\\sub\\module.dll", folder);
        m.files.addFile(RuntimeBinding, "newer binding");
    }
    std::optional<bool> remove(const std::string& name) { return components::removePackagedModule(m, name); }
};

TEST_F(ModuleRemovals, FoldersGoWithTheirRows) {
    EXPECT_EQ(remove("orvanta 9.3.0.524 ipp"), true);
    EXPECT_FALSE(m.files.exists(RuntimeFolder + "IPP924"));
    EXPECT_EQ(remove("OpenCV 2.3.1"), true);
    EXPECT_FALSE(m.files.exists(RuntimeFolder + "OpenCV23"));
    EXPECT_TRUE(m.files.exists(RuntimeFolder + "OpenCV242"));
    EXPECT_EQ(path(), "C:\\Windows");  // PATH entries stay
}

TEST_F(ModuleRemovals, OpenCV248WithoutTheOlderBindingIsGoneButReportsFailure) {
    EXPECT_EQ(remove("OpenCV 2.4.8"), false);
    EXPECT_FALSE(m.files.exists(RuntimeFolder + "OpenCV248"));
    EXPECT_TRUE(m.files.exists(RuntimeFolder + "OpenCV246"));
    EXPECT_EQ(content(RuntimeBinding), "newer binding");
}

TEST_F(ModuleRemovals, OpenCV248RestoresTheOlderBinding) {
    m.files.addFile(OlderBinding, "older binding");
    m.files.setAttributes(RuntimeBinding, platform::attr::ReadOnly);
    EXPECT_EQ(remove("OpenCV 2.4.8"), true);
    EXPECT_EQ(content(RuntimeBinding), "older binding");
    EXPECT_EQ(content(OlderBinding), "older binding");
}

TEST_F(ModuleRemovals, OpenCV246TakesTheOlder24BuildsWithIt) {
    m.files.addFile(OlderBinding, "older binding");
    EXPECT_EQ(remove("OpenCV 2.4.6"), true);
    for (const char* folder : {"OpenCV242", "OpenCV243", "OpenCV244", "OpenCV245", "OpenCV246"})
        EXPECT_FALSE(m.files.exists(RuntimeFolder + folder)) << folder;
    EXPECT_TRUE(m.files.exists(RuntimeFolder + "OpenCV248"));
    EXPECT_EQ(content(RuntimeBinding), "older binding");
}

TEST_F(ModuleRemovals, AFolderThatCannotBeEmptiedIsNotReportedRemoved) {
    m.files.fault = [](const std::string& op, const std::string& p) {
        return op == "delete" && p.find("IPP924") != std::string::npos;
    };
    EXPECT_EQ(remove("Orvanta 9.3.0.524 IPP"), false);
    EXPECT_TRUE(m.files.exists(RuntimeFolder + "IPP924\\sub\\module.dll"));
}

TEST_F(ModuleRemovals, WithoutTheRuntimeNothingIsRemoved) {
    m.msi.unregisterProduct("{9343AC02-FF75-439C-BF54-3F89BBDC82B5}");
    for (const char* name : {"Orvanta 9.3.0.524 IPP", "OpenCV 2.3.1", "OpenCV 2.4.6", "OpenCV 2.4.8"})
        EXPECT_EQ(remove(name), false) << name;
    EXPECT_TRUE(m.files.exists(RuntimeFolder + "OpenCV246\\sub\\module.dll"));
}

TEST_F(ModuleRemovals, TavrelGoesWithItsShortcutsAndLeavesTheParentFolders) {
    detectiontest::addTavrel(m);
    m.files.addFile(Desktop + "\\" + LinkName, "link");
    m.files.addFile(Desktop + "\\Other.lnk", "link");
    m.files.addFile(ProgramsTavrel + "\\" + LinkName, "link", platform::attr::ReadOnly);
    m.files.addFile(ProgramsTavrel + "\\Readme.txt", "text");

    EXPECT_EQ(remove("Tavrel 1.0.0.1(3587)"), true);

    EXPECT_FALSE(m.files.exists(Desktop + "\\" + LinkName));
    EXPECT_TRUE(m.files.exists(Desktop + "\\Other.lnk"));
    EXPECT_FALSE(m.files.exists(ProgramsTavrel));
    EXPECT_TRUE(m.files.exists(Programs + "\\Dalvoren Software Solutions"));
    EXPECT_FALSE(m.files.exists(TavrelFolder));
    EXPECT_TRUE(m.files.exists(detectiontest::ProgramFiles + "\\Dalvoren AS"));
}

TEST_F(ModuleRemovals, TavrelWithoutProgramFilesKeepsItsFolderAndFails) {
    detectiontest::addTavrel(m);
    m.files.addFile(Desktop + "\\" + LinkName, "link");
    m.environment.variables.clear();

    EXPECT_EQ(remove("Tavrel 1.0.0.1(3587)"), false);

    EXPECT_FALSE(m.files.exists(Desktop + "\\" + LinkName));
    EXPECT_TRUE(m.files.exists(TavrelFolder));
}

}  // namespace
