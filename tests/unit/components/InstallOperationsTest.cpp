// The operations of a page's list, seen from outside: which dialogs open for which rows with which position
// and flags, what the rows' action and status texts end as, what the user is asked and told, and what the
// machine looks like afterwards. Installers are scripted through the dialogs; the probes are the real ones.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "components/ActionTexts.h"
#include "components/InstallManagerBase.h"
#include "components/StatusTexts.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"
#include "support/ScriptedDialogs.h"

using components::DialogEnd;
using components::DownloadErrorChoice;
using platform::Hive;
using platform::fake::FakeMachine;

namespace {

const std::string AppFolder = "C:\\Installer";
const std::string DataFolder = "C:\\Installer\\_OrvantaInstallData";
const std::string Title = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer";
const std::string UninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Catalogue rows whose probe is one Uninstall key, and that key.
const std::map<std::string, std::string> KeyOf = {
    {"Speccy v1.25", "Speccy"},
    {"numpy-1.8.1-python2.6", "numpy-py2.6"},
    {"scipy-0.14.0b1-python2.6", "scipy-py2.6"},
    {"MySQL-python-1.2.2.win32-py2.6", "MySQL-python-py2.6"},
    {"Imaging Source - IC Capture 2.3", "ICCapture22_is1"},
    {"OpenCV_1.1pre1a", "Open Source Computer Vision Library_is1"},
};

struct RowSpec {
    std::string displayName;
    std::string fileName = "setup.exe";
    bool alwaysDownload = false;
};

class Operations : public ::testing::Test {
protected:
    Operations() { manager.setContext({m, ui, dialogs, AppFolder}); }

    void setRows(const std::vector<RowSpec>& specs) {
        std::vector<dvComponentInfo> records;
        for (const RowSpec& s : specs) {
            auto& name = strings.emplace_back();
            auto& status = strings.emplace_back();
            auto& action = strings.emplace_back();
            records.emplace_back(s.displayName, "http://vendor/" + s.fileName, s.fileName, " /passive",
                                 DataFolder + "\\Utilities", false, s.alwaysDownload, &name, &status, &action,
                                 "Optional Utility Software");
        }
        manager.setComponents(records);
    }
    void setRows(const std::vector<std::string>& names) {
        std::vector<RowSpec> specs;
        for (const auto& n : names) specs.push_back({n});
        setRows(specs);
    }

    void install(const std::string& displayName) {
        m.registry.setString(Hive::LocalMachine, UninstallRoot + KeyOf.at(displayName), "DisplayName", displayName);
    }
    bool installed(const std::string& displayName) {
        return m.registry.keyExists(Hive::LocalMachine, UninstallRoot + KeyOf.at(displayName));
    }
    // The download-and-install dialog "installs" every row except the ones named here.
    void installersWork(std::vector<std::string> except = {}) {
        dialogs.onDownloadAndInstall = [this, except](const dvComponentInfo& r, const components::DownloadRunFlags&) {
            for (const auto& e : except)
                if (e == r.displayName()) return DialogEnd::Ok;
            if (KeyOf.count(r.displayName())) install(r.displayName());
            return DialogEnd::Ok;
        };
    }
    // The uninstall dialog removes every row's key except the ones named here.
    void uninstallersWork(std::vector<std::string> except = {}) {
        dialogs.onUninstall = [this, except](const dvComponentInfo& r, const components::DownloadRunFlags&) {
            for (const auto& e : except)
                if (e == r.displayName()) return DialogEnd::Ok;
            m.registry.deleteKeyTree(Hive::LocalMachine, UninstallRoot + KeyOf.at(r.displayName()));
            return DialogEnd::Ok;
        };
    }

    std::string action(unsigned i) { return manager.component(i).actionText(); }
    std::string status(unsigned i) { return manager.component(i).statusText(); }
    std::vector<std::string> actions() {
        std::vector<std::string> out;
        for (unsigned i = 0; i < manager.componentCount(); ++i) out.push_back(action(i));
        return out;
    }
    std::vector<std::string> opened(const std::string& kind) {
        std::vector<std::string> out;
        for (const auto& r : dialogs.of(kind)) out.push_back(r.subject + " " + std::to_string(r.index) + "/" + std::to_string(r.total));
        return out;
    }

    FakeMachine m;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    dvInstallManagerBase manager;
    std::deque<std::string> strings;
};

using Strings = std::vector<std::string>;

// ---- installComponents ----------------------------------------------------------------------------------

TEST_F(Operations, AnInstalledRowIsOkWithoutAnyDialog) {
    setRows(Strings{"Speccy v1.25"});
    install("Speccy v1.25");
    manager.component(0).setStatusText("as before");
    EXPECT_EQ(manager.installComponents(0, 0, false), 1);
    EXPECT_EQ(action(0), "Ok");
    EXPECT_EQ(status(0), "as before");
    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_TRUE(m.http.requests.empty());
}

TEST_F(Operations, InstallsTheRangeInOrderAndMarksTheOthersIdle) {
    setRows(Strings{"Speccy v1.25", "numpy-1.8.1-python2.6", "scipy-0.14.0b1-python2.6", "MySQL-python-1.2.2.win32-py2.6"});
    for (unsigned i = 0; i < 4; ++i) manager.component(i).setActionText("Failed");
    installersWork();
    EXPECT_EQ(manager.installComponents(1, 2, false), 1);
    EXPECT_EQ(opened("downloadAndInstall"), (Strings{"numpy-1.8.1-python2.6 1/2", "scipy-0.14.0b1-python2.6 2/2"}));
    EXPECT_EQ(actions(), (Strings{"", "Ok", "Ok", ""}));
    EXPECT_EQ(status(1), "Installed");
    EXPECT_EQ(status(2), "Installed");
    for (const auto& r : dialogs.of("downloadAndInstall")) {
        EXPECT_FALSE(r.flags.downloadOnly);
        EXPECT_FALSE(r.flags.forceDownload);
        EXPECT_TRUE(r.flags.reportErrors);
    }
}

TEST_F(Operations, AnInstallerThatLeavesTheComponentUndetectedFailsAndStopsTheOperation) {
    setRows(Strings{"Speccy v1.25", "numpy-1.8.1-python2.6", "scipy-0.14.0b1-python2.6"});
    installersWork({"numpy-1.8.1-python2.6"});
    EXPECT_EQ(manager.installComponents(0, 2, false), -1);
    EXPECT_EQ(actions(), (Strings{"Ok", "Failed", "Pending"}));
    EXPECT_EQ(opened("downloadAndInstall"), (Strings{"Speccy v1.25 1/3", "numpy-1.8.1-python2.6 2/3"}));
    EXPECT_FALSE(installed("scipy-0.14.0b1-python2.6"));
}

TEST_F(Operations, TheCameraDriverArchiveAlwaysEndsFailedAfterACompleteRun) {
    setRows(Strings{"Imaging Source Camera Driver"});
    installersWork();
    EXPECT_EQ(manager.installComponents(0, 0, false), -1);
    EXPECT_EQ(action(0), "Failed");
    ASSERT_EQ(dialogs.of("downloadAndInstall").size(), 1u);
    EXPECT_TRUE(dialogs.of("downloadAndInstall")[0].flags.downloadOnly);
}

TEST_F(Operations, OnlyArchivePackagedRowsAreDownloadedWithoutInstalling) {
    const struct {
        const char* displayName;
        bool downloadOnly;
    } cases[] = {
        {"OpenCV 2.3.1", true},
        {"OpenCV 2.4.6", true},
        {"opencv 2.4.8", true},
        {"Orvanta 9.3.0.524 IPP", true},
        {"Tavrel 1.0.0.1(3587)", true},
        {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", true},
        {"IMAGING SOURCE CAMERA DRIVER", true},
        {"OpenCV_1.1pre1a", false},
        {"Python 2.6.6", false},
        {"Imaging Source - IC Capture 2.3", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.displayName);
        dialogs.opened.clear();
        setRows(Strings{c.displayName});
        manager.installComponents(0, 0, false);
        ASSERT_EQ(dialogs.of("downloadAndInstall").size(), 1u);
        EXPECT_EQ(dialogs.of("downloadAndInstall")[0].flags.downloadOnly, c.downloadOnly);
    }
}

TEST_F(Operations, FailedCustomActionsWarnAndTheInstallGoesOn) {
    setRows(Strings{"OpenCV_1.1pre1a", "Speccy v1.25"});
    // OpenCV 1.1's setup registered itself without its install location: its bin folder cannot be put on PATH.
    installersWork();
    EXPECT_EQ(manager.installComponents(0, 1, false), 1);
    EXPECT_EQ(actions(), (Strings{"Ok", "Ok"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Warning: Unable to excute custom actions. Continuing with the further installations.");
    EXPECT_EQ(ui.messages[0].caption, Title);
}

TEST_F(Operations, AnEmptyListWithEveryRowCheckedFailsAtOnce) {
    EXPECT_EQ(manager.installComponents(0, 0, true), -1);
    EXPECT_TRUE(dialogs.opened.empty());
}

// ---- the repair check -------------------------------------------------------------------------------------

TEST_F(Operations, TheRepairQuestionCoversEveryRowOnlyWhenAskedTo) {
    const std::string question =
        "Errors are observed in existing installations. \nDo you want to repair these components?\n\n"
        "Click 'Yes' to repair and proceed.\nClick 'No' to abort the installation.";
    for (bool checkAll : {true, false}) {
        SCOPED_TRACE(checkAll ? "every row" : "the range only");
        ui.messages.clear();
        dialogs.opened.clear();
        setRows(Strings{"Speccy v1.25", "numpy-1.8.1-python2.6"});
        install("Speccy v1.25");
        manager.component(0).setStatusText("Version Mismatch");
        manager.component(0).setActionText("before");
        manager.component(1).setActionText("before");
        installersWork();
        // No: nothing is marked or run.
        ui.answers = {ui::Answer::No};
        int result = manager.installComponents(1, 1, checkAll);
        if (checkAll) {
            EXPECT_EQ(result, -1);
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, question);
            EXPECT_EQ(ui.messages[0].caption, Title);
            EXPECT_EQ(ui.messages[0].buttons, ui::Buttons::YesNo);
            EXPECT_EQ(actions(), (Strings{"before", "before"}));
            EXPECT_TRUE(dialogs.opened.empty());
        } else {
            EXPECT_EQ(result, 1);
            EXPECT_TRUE(ui.messages.empty());
            EXPECT_EQ(actions(), (Strings{"", "Ok"}));
        }
    }
}

TEST_F(Operations, ARepairThatCannotSucceedIsOfferedAgainUntilNo) {
    // Speccy shows another version, and its uninstaller is not registered: the removal cannot run.
    setRows(Strings{"Speccy v1.25", "numpy-1.8.1-python2.6"});
    install("Speccy v1.25");
    m.registry.setString(Hive::LocalMachine, UninstallRoot + "Speccy", "DisplayVersion", "1.24");
    manager.component(0).setStatusText("Version Mismatch");
    ui.answers = {ui::Answer::Yes, ui::Answer::Yes, ui::Answer::No};
    EXPECT_EQ(manager.installComponents(1, 1, true), -1);
    EXPECT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(status(0), "Version Mismatch");
    EXPECT_TRUE(dialogs.opened.empty());
}

TEST_F(Operations, ASuccessfulRepairIsFollowedByTheInstall) {
    setRows(Strings{"Speccy v1.25", "numpy-1.8.1-python2.6"});
    install("Speccy v1.25");
    m.registry.setString(Hive::LocalMachine, UninstallRoot + "Speccy", "DisplayVersion", "1.24");
    m.registry.setString(Hive::LocalMachine, UninstallRoot + "Speccy", "UninstallString", "C:\\Speccy\\uninst.exe");
    m.processes.onStart("C:\\Speccy\\uninst.exe", [](FakeMachine& fm, const std::string&) {
        fm.registry.deleteKeyTree(Hive::LocalMachine, UninstallRoot + "Speccy");
        return 0u;
    });
    manager.component(0).setStatusText("Version Mismatch");
    installersWork();
    ui.answers = {ui::Answer::Yes};
    EXPECT_EQ(manager.installComponents(0, 1, true), 1);
    EXPECT_EQ(ui.messages.size(), 1u);
    // The repair removed the wrong version; the install then put the catalogue's on.
    EXPECT_EQ(opened("downloadAndInstall"), (Strings{"Speccy v1.25 1/2", "numpy-1.8.1-python2.6 2/2"}));
    EXPECT_EQ(actions(), (Strings{"Ok", "Ok"}));
    EXPECT_EQ(status(0), "Installed");
}

// ---- installComponentList ---------------------------------------------------------------------------------

TEST_F(Operations, AListIsInstalledInListOrderWithItsOwnPositions) {
    setRows(Strings{"Speccy v1.25", "numpy-1.8.1-python2.6", "scipy-0.14.0b1-python2.6"});
    installersWork();
    const int list[] = {2, 0};
    EXPECT_EQ(manager.installComponentList(list, 2), 1);
    EXPECT_EQ(opened("downloadAndInstall"), (Strings{"scipy-0.14.0b1-python2.6 1/2", "Speccy v1.25 2/2"}));
    EXPECT_EQ(actions(), (Strings{"Ok", "", "Ok"}));

    const int outside[] = {0, 3};
    dialogs.opened.clear();
    EXPECT_EQ(manager.installComponentList(outside, 2), -1);
    EXPECT_EQ(manager.installComponentList(nullptr, 1), -1);
    EXPECT_EQ(manager.installComponentList(list, 0), -1);
    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_EQ(actions(), (Strings{"Ok", "", "Ok"}));
}

// ---- uninstallComponents ----------------------------------------------------------------------------------

TEST_F(Operations, UninstallRemovesTheRangeLastRowFirst) {
    setRows(Strings{"Speccy v1.25", "numpy-1.8.1-python2.6", "scipy-0.14.0b1-python2.6", "MySQL-python-1.2.2.win32-py2.6",
                    "Imaging Source - IC Capture 2.3"});
    for (const auto& [name, key] : KeyOf)
        if (name != "OpenCV_1.1pre1a") install(name);
    uninstallersWork();
    EXPECT_EQ(manager.uninstallComponents(2, 4), 1);
    EXPECT_EQ(opened("uninstall"), (Strings{"Imaging Source - IC Capture 2.3 1/3", "MySQL-python-1.2.2.win32-py2.6 2/3",
                                            "scipy-0.14.0b1-python2.6 3/3"}));
    EXPECT_EQ(actions(), (Strings{"", "", "Ok", "Ok", "Ok"}));
    EXPECT_EQ(status(2), "Not Installed");
    EXPECT_TRUE(installed("numpy-1.8.1-python2.6"));
}

TEST_F(Operations, AComponentStillInstalledAfterItsUninstallerStopsTheOperation) {
    setRows(Strings{"Speccy v1.25", "numpy-1.8.1-python2.6", "scipy-0.14.0b1-python2.6"});
    install("numpy-1.8.1-python2.6");
    install("scipy-0.14.0b1-python2.6");
    uninstallersWork({"numpy-1.8.1-python2.6"});
    EXPECT_EQ(manager.uninstallComponents(0, 2), -1);
    // Speccy was not installed and would have been "Ok" without a dialog; it is never reached.
    EXPECT_EQ(actions(), (Strings{"Pending", "Uninstall Error", "Ok"}));
    EXPECT_EQ(opened("uninstall"), (Strings{"scipy-0.14.0b1-python2.6 1/3", "numpy-1.8.1-python2.6 2/3"}));
}

// ---- downloads ---------------------------------------------------------------------------------------------

class Downloads : public Operations {
protected:
    Downloads() {
        setRows(std::vector<RowSpec>{{"Speccy v1.25", "spsetup125.exe"},
                                     {"numpy-1.8.1-python2.6", "numpy.exe"},
                                     {"scipy-0.14.0b1-python2.6", "scipy.exe"}});
    }
    // Downloads of the named files fail; the others leave their file.
    void failing(std::vector<std::string> files) {
        dialogs.onDownloadAndInstall = [this, files](const dvComponentInfo& r, const components::DownloadRunFlags&) {
            for (const auto& f : files)
                if (f == r.fileName()) return DialogEnd::Cancel;
            m.files.addFile(r.downloadFolder() + "\\" + r.fileName(), "downloaded");
            return DialogEnd::Ok;
        };
    }
};

TEST_F(Downloads, IgnoreAllSkipsLaterFailuresOfThisAndOfFollowingOperationsSilently) {
    failing({"spsetup125.exe", "scipy.exe"});
    dialogs.errorChoices = {DownloadErrorChoice::IgnoreAll};
    unsigned char ignoreAll = 0;
    EXPECT_EQ(manager.downloadAllComponents(false, &ignoreAll), 1);
    EXPECT_EQ(ignoreAll, 1);
    ASSERT_EQ(dialogs.of("downloadError").size(), 1u);
    EXPECT_EQ(dialogs.of("downloadError")[0].subject, "Error - Unable to download the component 'spsetup125.exe'");
    EXPECT_EQ(actions(), (Strings{"Download Error", "Downloaded", "Download Error"}));

    dialogs.opened.clear();
    const int list[] = {2, 0};
    EXPECT_EQ(manager.downloadComponentList(list, 2, false, &ignoreAll), 1);
    EXPECT_TRUE(dialogs.of("downloadError").empty());
    EXPECT_EQ(opened("downloadAndInstall"), (Strings{"scipy-0.14.0b1-python2.6 1/2", "Speccy v1.25 2/2"}));
    EXPECT_TRUE(ui.messages.empty());

    // Another byte asks again.
    unsigned char fresh = 0;
    dialogs.errorChoices = {DownloadErrorChoice::Ignore, DownloadErrorChoice::Ignore};
    EXPECT_EQ(manager.downloadComponentList(list, 2, false, &fresh), 1);
    EXPECT_EQ(dialogs.of("downloadError").size(), 2u);
    EXPECT_EQ(fresh, 0);
}

TEST_F(Downloads, RetryDownloadsTheSameRowAgain) {
    int attempts = 0;
    dialogs.onDownloadAndInstall = [&](const dvComponentInfo& r, const components::DownloadRunFlags& flags) {
        EXPECT_TRUE(flags.downloadOnly);
        EXPECT_FALSE(flags.forceDownload);
        if (r.fileName() == "numpy.exe" && ++attempts == 1) return DialogEnd::Cancel;
        m.files.addFile(r.downloadFolder() + "\\" + r.fileName(), "downloaded");
        return DialogEnd::Ok;
    };
    dialogs.errorChoices = {DownloadErrorChoice::Retry};
    unsigned char ignoreAll = 0;
    EXPECT_EQ(manager.downloadAllComponents(false, &ignoreAll), 1);
    EXPECT_EQ(opened("downloadAndInstall"), (Strings{"Speccy v1.25 1/3", "numpy-1.8.1-python2.6 2/3",
                                                     "numpy-1.8.1-python2.6 2/3", "scipy-0.14.0b1-python2.6 3/3"}));
    EXPECT_EQ(actions(), (Strings{"Downloaded", "Downloaded", "Downloaded"}));
}

TEST_F(Downloads, QuitEndsTheOperation) {
    failing({"numpy.exe"});
    dialogs.errorChoices = {DownloadErrorChoice::Quit};
    unsigned char ignoreAll = 0;
    EXPECT_EQ(manager.downloadAllComponents(true, &ignoreAll), -1);
    EXPECT_EQ(actions(), (Strings{"Downloaded", "Download Error", "Pending"}));
    EXPECT_TRUE(ui.messages.empty()) << "no report after Quit";
}

TEST_F(Downloads, AFileAlreadyDownloadedIsNotFetchedAgain) {
    setRows(std::vector<RowSpec>{{"Speccy v1.25", "spsetup125.exe", true}});
    m.files.addFile(DataFolder + "\\Utilities\\spsetup125.exe", "old copy");
    unsigned char ignoreAll = 0;
    EXPECT_EQ(manager.downloadAllComponents(false, &ignoreAll), 1);
    EXPECT_EQ(action(0), "Downloaded");
    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_EQ(m.files.content(DataFolder + "\\Utilities\\spsetup125.exe"), "old copy");
}

TEST_F(Downloads, TheReportNamesTheDataFolderAndIsCutTo512Characters) {
    failing({});
    unsigned char ignoreAll = 0;
    EXPECT_EQ(manager.downloadAllComponents(true, &ignoreAll), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Successfully downloaded the files.\nDownload directory - " + DataFolder);
    EXPECT_EQ(ui.messages[0].caption, Title);

    dvInstallManagerBase deep;
    deep.setContext({m, ui, dialogs, "C:\\" + std::string(600, 'd')});
    deep.setComponents(1, &manager.component(0));
    EXPECT_EQ(deep.downloadAllComponents(true, &ignoreAll), 1);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text.size(), 512u);
    EXPECT_EQ(ui.messages[1].text.rfind("Successfully downloaded the files.\nDownload directory - C:\\ddd", 0), 0u);
}

TEST_F(Downloads, BadArgumentsDoNothing) {
    unsigned char ignoreAll = 0;
    const int list[] = {0, 5};
    EXPECT_EQ(manager.downloadComponentList(list, 2, true, &ignoreAll), -1);
    EXPECT_EQ(manager.downloadComponentList(list, 1, true, nullptr), -1);
    EXPECT_EQ(manager.downloadComponentList(list, 0, true, &ignoreAll), -1);
    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_TRUE(ui.messages.empty());
}

// ---- deleteOldDownloads -----------------------------------------------------------------------------------

TEST_F(Downloads, OnlyRowsThatAlwaysDownloadLoseTheirFilesWhenAskedSo) {
    setRows(std::vector<RowSpec>{{"Speccy v1.25", "spsetup125.exe", false}, {"578help.zip", "578help.zip", true}});
    const std::string folder = DataFolder + "\\Utilities\\";
    m.files.addFile(folder + "spsetup125.exe");
    m.files.addFile(folder + "spsetup125.exetmp");
    m.files.addFile(folder + "578help.zip", "", platform::attr::ReadOnly);
    m.files.addFile(folder + "578help.ziptmp");
    m.files.addFile(folder + "578help.zipbk");
    EXPECT_EQ(manager.deleteOldDownloads(true, true), 1);
    EXPECT_TRUE(m.files.exists(folder + "spsetup125.exe"));
    EXPECT_TRUE(m.files.exists(folder + "spsetup125.exetmp"));
    EXPECT_FALSE(m.files.exists(folder + "578help.zip"));
    EXPECT_FALSE(m.files.exists(folder + "578help.ziptmp"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Successfully deleted the old downloads.\nFrom directory - " + DataFolder);

    EXPECT_EQ(manager.deleteOldDownloads(false, false), 1);
    EXPECT_FALSE(m.files.exists(folder + "spsetup125.exe"));
    EXPECT_FALSE(m.files.exists(folder + "spsetup125.exetmp"));
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(Downloads, AFileThatCannotBeDeletedIsReportedAndStopsTheOperation) {
    const std::string folder = DataFolder + "\\Utilities\\";
    m.files.addFile(folder + "spsetup125.exe");
    m.files.addFile(folder + "numpy.exetmp");
    m.files.addFile(folder + "scipy.exe");
    m.files.fault = [](const std::string& op, const std::string& path) {
        return op == "delete" && path.find("numpy.exetmp") != std::string::npos;
    };
    EXPECT_EQ(manager.deleteOldDownloads(false, true), -1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error - Unable to delete the old download file for the component "
                                   "'numpy-1.8.1-python2.6'. Please confirm whether the file is in use.");
    EXPECT_EQ(ui.messages[0].caption, Title);
    EXPECT_FALSE(m.files.exists(folder + "spsetup125.exe"));
    EXPECT_TRUE(m.files.exists(folder + "scipy.exe")) << "later rows are not touched";
}

// ---- the list itself ----------------------------------------------------------------------------------------

TEST(InstallManagerBase, SettingTheListFromItsOwnRowKeepsIt) {
    // Rows are separate objects, so a row of the list itself is a one-record array; the copy must be taken
    // before the old row is released.
    std::deque<std::string> labels(6);
    dvInstallManagerBase manager;
    manager.setComponents({dvComponentInfo("578help.zip", "http://vendor/578help.zip", "578help.zip", " /q", "C:\\e",
                                           true, true, &labels[0], &labels[1], &labels[2], "Help Files"),
                           dvComponentInfo("Speccy v1.25", "u2", "spsetup125.exe", "", "C:\\d", false, false,
                                           &labels[3], &labels[4], &labels[5], "c2")});
    manager.setComponents(1, &manager.component(0));
    ASSERT_EQ(manager.componentCount(), 1u);
    const dvComponentInfo& row = manager.component(0);
    EXPECT_EQ(row.displayName(), "578help.zip");
    EXPECT_EQ(row.downloadUrl(), "http://vendor/578help.zip");
    EXPECT_EQ(row.installArguments(), " /q");
    EXPECT_EQ(row.downloadFolder(), "C:\\e");
    EXPECT_TRUE(row.isMsiPackage());
    EXPECT_TRUE(row.alwaysDownload());
    EXPECT_EQ(row.category(), "Help Files");
    EXPECT_EQ(row.actionLabel(), &labels[2]);
}

}  // namespace
