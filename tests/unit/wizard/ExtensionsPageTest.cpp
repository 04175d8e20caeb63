// The extensions page through its view: the group buttons and what they install or remove, the exclusive
// OpenCV 2.X choice with both answers, and the Runtime's private Python DLL parked and restored.
#include <gtest/gtest.h>

#include <algorithm>

#include "../unzip/ZipBuilder.h"
#include "PageFixture.h"
#include "app/FileUtils.h"
#include "components/FileLists.h"
#include "components/ProductCodes.h"
#include "components/StatusTexts.h"
#include "pages/components/ExtensionsPage.h"
#include "pages/components/ExtensionsPageRes.h"
#include "pages/components/OptionalPageTexts.h"
#include "wizard/WizardTexts.h"

using namespace detectiontest;
namespace status = components::status;
using Row = ovDInstallExtensions::Row;

namespace {

const std::string Python26Dll = RuntimeFolder + "python26.dll";
const std::string ParkedDll = RuntimeFolder + "py26.dll";

struct GroupIds {
    int install;
    int uninstall;
};
constexpr GroupIds Python2D{IDC_EXT_PYTHON2D_INSTALL, IDC_EXT_PYTHON2D_UNINSTALL};
constexpr GroupIds Python3D{IDC_EXT_PYTHON3D_INSTALL, IDC_EXT_PYTHON3D_UNINSTALL};
constexpr GroupIds MySQL{IDC_EXT_MYSQL_INSTALL, IDC_EXT_MYSQL_UNINSTALL};
constexpr GroupIds OpenCV{IDC_EXT_OPENCV_INSTALL, IDC_EXT_OPENCV_UNINSTALL};
constexpr GroupIds AllGroups[] = {Python2D, Python3D, MySQL, OpenCV};

std::string zipName(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

struct ExtensionsBench : pagetest::PageBench {
    ExtensionsBench() { scriptTheExtensionInstallers(); }

    // Each row's installer leaves what the status rules look for; each removal takes it away again.
    void scriptTheExtensionInstallers() {
        const struct {
            const char* name;
            const char* key;
            const char* value;
            const char* text;
        } packages[] = {
            {"pywin32-218.win32-py2.6", keys::Pywin32, "DisplayName", "Python 2.6 pywin32-218"},
            {"pyserial-py3k-2.5.win32", keys::Pyserial, "DisplayName", "Python 2.6 pyserial-py3k-2.5"},
            {"scipy-0.14.0b1-python2.6", keys::Scipy, "DisplayName", "Python 2.6 scipy-0.14.0b1"},
            {"numpy-1.8.1-python2.6", keys::Numpy, "DisplayName", "Python 2.6 numpy-1.8.1"},
            {"OpenCV_1.1pre1a", keys::OpenCV11, "InstallLocation", "C:\\Program Files\\OpenCV\\"},
            {"ctypes-opencv-0.8.0-python26", keys::CtypesOpenCV, "DisplayName", "Python 2.6 ctypes-opencv-0.8.0"},
            {"MySQL-python-1.2.2.win32-py2.6", keys::MySQLPython, "DisplayName", "Python 2.6 MySQL-python-1.2.2"},
        };
        for (const auto& p : packages) {
            installers[p.name] = [this, p](const dvComponentInfo&) { setUninstallValue(m, p.key, p.value, p.text); };
            removals[p.name] = [this, p](const dvComponentInfo&) {
                m.registry.deleteKeyTree(Hive::LocalMachine, uninstallKey(p.key));
            };
        }
        installers["Python 2.6.6"] = [this](const dvComponentInfo&) {
            registerProduct(m, components::codes::Python266, "Python 2.6.6", "2.6.6150");
        };
        removals["Python 2.6.6"] = [this](const dvComponentInfo&) {
            m.msi.unregisterProduct(components::codes::Python266);
        };
        const struct {
            const char* name;
            const char* folder;
            std::vector<std::string> files;
        } modules[] = {
            {"OpenCV 2.3.1", "OpenCV23", components::filelists::openCV231()},
            {"OpenCV 2.4.6", "OpenCV246", components::filelists::openCV246()},
            {"OpenCV 2.4.8", "OpenCV248", components::filelists::openCV248()},
        };
        for (const auto& module : modules) {
            const std::string folder = RuntimeFolder + module.folder;
            // The archive lands in the download folder; the page's operation unpacks it.
            installers[module.name] = [this, files = module.files](const dvComponentInfo& record) {
                std::vector<ziptest::Entry> entries{{"Python/cv2.pyd", "binding"}};
                for (const auto& f : files) entries.push_back({zipName(f), "module file"});
                m.files.addFolder(record.downloadFolder());
                m.files.addFile(record.downloadFolder() + "\\" + record.fileName(), ziptest::buildZip(entries));
            };
            removals[module.name] = [this, folder](const dvComponentInfo&) { deleteFolderTree(m, folder, folder); };
        }
    }

    // The Runtime with its Python folder and every OpenCV 2.X package removed.
    void runtimeOnly() {
        registerRuntime(m);
        m.files.addFolder(RuntimeFolder + "Python");
        m.registry.createKey(Hive::LocalMachine, "System\\CurrentControlSet\\Control\\Session Manager\\Environment");
    }
    void withoutOpenCV2X(const std::vector<std::string>& keep) {
        for (const char* folder : {"OpenCV23", "OpenCV246", "OpenCV248"}) {
            if (std::find(keep.begin(), keep.end(), folder) != keep.end()) continue;
            deleteFolderTree(m, RuntimeFolder + folder, RuntimeFolder + folder);
        }
    }
};

class ExtensionsPage : public ::testing::Test, public ExtensionsBench {};

// ---- Groups ----------------------------------------------------------------------------------------------------

TEST_F(ExtensionsPage, GroupButtonsFollowTheShownRowsOfTheirGroup) {
    const struct {
        const char* name;
        int row;
        const char* status;
        bool install[4];    // 2D, 3D, MySQL, OpenCV
        bool uninstall[4];
    } cases[] = {
        {"all installed", -1, nullptr, {false, false, false, false}, {true, true, true, true}},
        {"pywin32 not installed", Row::Pywin32, status::NotInstalled, {true, false, false, false}, {true, true, true, true}},
        {"numpy mismatched", Row::Numpy, status::VersionMismatch, {false, true, false, false}, {true, true, true, true}},
        {"MySQL not installed", Row::MySQLPython, status::NotInstalled, {false, false, true, false}, {true, true, false, true}},
        {"ctypes needs a reinstall", Row::CtypesOpenCV, status::ReinstallNeeded, {false, false, false, true}, {true, true, true, true}},
        {"a combo row counts in no group", Row::OpenCV248, status::NotInstalled, {false, false, false, false}, {true, true, true, true}},
        {"case matters", Row::Scipy, "installed", {false, true, false, false}, {true, true, true, true}},
    };
    auto page = open<ovDInstallExtensions>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (unsigned r = 0; r < page->rowCount(); ++r) page->components().component(r).setStatusText(status::Installed);
        if (c.row >= 0) page->components().component(static_cast<unsigned>(c.row)).setStatusText(c.status);
        page->updateControls();
        for (int g = 0; g < 4; ++g) {
            EXPECT_EQ(view.enabled(AllGroups[g].install), c.install[g]) << "group " << g;
            EXPECT_EQ(view.enabled(AllGroups[g].uninstall), c.uninstall[g]) << "group " << g;
        }
    }
    // A group with every row gone closes its Uninstall.
    for (unsigned r : {0u, 1u, 2u}) page->components().component(r).setStatusText(status::NotInstalled);
    page->updateControls();
    EXPECT_FALSE(view.enabled(IDC_EXT_PYTHON2D_UNINSTALL));
}

TEST_F(ExtensionsPage, InstallButtonsBringTheRowsTheirGroupNeedsInOrder) {
    const struct {
        int button;
        std::vector<std::string> installs;
    } cases[] = {
        {IDC_EXT_PYTHON2D_INSTALL, {"Python 2.6.6", "pywin32-218.win32-py2.6", "pyserial-py3k-2.5.win32"}},
        {IDC_EXT_PYTHON3D_INSTALL,
         {"Python 2.6.6", "pywin32-218.win32-py2.6", "pyserial-py3k-2.5.win32", "scipy-0.14.0b1-python2.6",
          "numpy-1.8.1-python2.6"}},
        {IDC_EXT_MYSQL_INSTALL, {"Python 2.6.6", "MySQL-python-1.2.2.win32-py2.6"}},
        {IDC_EXT_OPENCV_INSTALL,
         {"Python 2.6.6", "pywin32-218.win32-py2.6", "pyserial-py3k-2.5.win32", "scipy-0.14.0b1-python2.6",
          "numpy-1.8.1-python2.6", "OpenCV_1.1pre1a", "ctypes-opencv-0.8.0-python26"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        ExtensionsBench b;
        auto& m = b.m;
        auto& view = b.view;
        auto& ui = b.ui;
        auto& installed = b.installed;
        auto& removed = b.removed;
        (void)m, (void)view, (void)installed, (void)removed, (void)ui;
        b.runtimeOnly();
        auto page = b.open<ovDInstallExtensions>();
        page->onSetActive();
        page->onCommand(c.button);
        EXPECT_EQ(installed, c.installs);
        for (unsigned r = 0; r < page->rowCount(); ++r) {
            const bool wanted = std::find(c.installs.begin(), c.installs.end(), page->row(r).name) != c.installs.end();
            EXPECT_EQ(page->row(r).status == status::Installed, wanted) << page->row(r).name;
        }
    }
}

TEST_F(ExtensionsPage, UninstallButtonsRemoveOnlyTheirGroupHighestRowFirst) {
    const struct {
        int button;
        std::vector<std::string> removes;
    } cases[] = {
        {IDC_EXT_PYTHON2D_UNINSTALL, {"pyserial-py3k-2.5.win32", "pywin32-218.win32-py2.6", "Python 2.6.6"}},
        {IDC_EXT_PYTHON3D_UNINSTALL, {"numpy-1.8.1-python2.6", "scipy-0.14.0b1-python2.6"}},
        {IDC_EXT_MYSQL_UNINSTALL, {"MySQL-python-1.2.2.win32-py2.6"}},
        {IDC_EXT_OPENCV_UNINSTALL, {"ctypes-opencv-0.8.0-python26", "OpenCV_1.1pre1a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        ExtensionsBench b;
        auto& m = b.m;
        auto& view = b.view;
        auto& ui = b.ui;
        auto& installed = b.installed;
        auto& removed = b.removed;
        (void)m, (void)view, (void)installed, (void)removed, (void)ui;
        installEverything(m);
        auto page = b.open<ovDInstallExtensions>();
        page->onSetActive();
        page->onCommand(c.button);
        EXPECT_EQ(removed, c.removes);
    }
}

TEST_F(ExtensionsPage, ActivationSetsTheLabelsAndExplainsTheFirstProblemOnce) {
    installEverything(m);
    registerProduct(m, OtherPythonCode, "Python 2.6.5", "2.6.5150");  // a second Python 2.6: Multiple Versions
    auto page = open<ovDInstallExtensions>();
    EXPECT_EQ(view.combos[IDC_EXT_OPENCV2X_COMBO],
              (std::vector<std::string>{"OpenCV 2.3.1", "OpenCV 2.4.6", "OpenCV 2.4.8", "None"}));
    EXPECT_EQ(view.placed[IDC_EXT_PYTHON3D_INSTALL].tooltip, "Install");
    EXPECT_EQ(view.placed[IDC_EXT_PYTHON3D_UNINSTALL].tooltip, "Uninstall");
    EXPECT_EQ(view.placed[IDC_EXT_DOWNLOAD].tooltip, "Download Installables");
    page->onSetActive();
    EXPECT_EQ(view.cancelText, "Finish");
    EXPECT_TRUE(view.back && view.next);
    EXPECT_EQ(view.text(IDC_EXT_STATUS_LINE), pagetexts::ExtensionsStatusLine);
    EXPECT_EQ(view.text(IDC_EXT_ROW0_STATUS), status::MultipleVersions);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, wizardtexts::MultipleVersionsWarning);
    EXPECT_EQ(ui.messages[0].caption, "Orvanta Lumetra SDK Version X 10.2.1.578 Installer");
}

// ---- OpenCV 2.X ------------------------------------------------------------------------------------------------

TEST_F(ExtensionsPage, TheComboShowsTheFirstInstalledPackageWithItsStatus) {
    const struct {
        std::vector<std::string> folders;
        const char* shown;
        const char* statusText;
    } cases[] = {
        {{}, "None", ""},
        {{"OpenCV246"}, "OpenCV 2.4.6", "Status: Installed"},
        {{"OpenCV248", "OpenCV23"}, "OpenCV 2.3.1", "Status: Installed"},
        {{"OpenCV248"}, "OpenCV 2.4.8", "Status: Installed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        ExtensionsBench b;
        auto& m = b.m;
        auto& view = b.view;
        auto& ui = b.ui;
        auto& installed = b.installed;
        auto& removed = b.removed;
        (void)m, (void)view, (void)installed, (void)removed, (void)ui;
        installEverything(m);
        b.withoutOpenCV2X(c.folders);
        auto page = b.open<ovDInstallExtensions>();
        page->onSetActive();
        EXPECT_EQ(*view.comboSelection(IDC_EXT_OPENCV2X_COMBO), c.shown);
        EXPECT_EQ(page->openCV2XChoice(), c.shown);
        EXPECT_EQ(view.text(IDC_EXT_OPENCV2X_STATUS), c.statusText);
    }
    // A package that is there but incomplete shows its problem.
    installEverything(m);
    withoutOpenCV2X({"OpenCV248"});
    m.files.deleteFile(RuntimeFolder + "OpenCV248\\" + components::filelists::openCV248().back());
    auto page = open<ovDInstallExtensions>();
    page->onSetActive();
    EXPECT_EQ(view.text(IDC_EXT_OPENCV2X_STATUS), "Status: Incomplete Module");
}

TEST_F(ExtensionsPage, PickingAnotherReleaseAsksFirst) {
    for (ui::Answer answer : {ui::Answer::No, ui::Answer::Yes}) {
        SCOPED_TRACE(answer == ui::Answer::Yes ? "Yes" : "No");
        ExtensionsBench b;
        auto& m = b.m;
        auto& view = b.view;
        auto& ui = b.ui;
        auto& installed = b.installed;
        auto& removed = b.removed;
        (void)m, (void)view, (void)installed, (void)removed, (void)ui;
        b.runtimeOnly();
        addModule(m, RuntimeFolder + "OpenCV246", components::filelists::openCV246());
        ui.answers = {answer};
        auto page = b.open<ovDInstallExtensions>();
        page->onSetActive();
        ASSERT_EQ(page->openCV2XChoice(), "OpenCV 2.4.6");
        ui.messages.clear();

        view.pick(IDC_EXT_OPENCV2X_COMBO, "OpenCV 2.4.8");
        page->onCommand(IDC_EXT_OPENCV2X_COMBO);
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages[0].text,
                  "Only one of the OpenCV 2.X Extensions can be installed on a computer.\n\nDo you want to "
                  "un-install existing OpenCV 2.X extensions and install OpenCV 2.4.8 extensions?\n\nPlease click "
                  "on 'Yes' button to proceed and install OpenCV 2.4.8 extensions.\nPlease click on 'No' to abort "
                  "and to continue using existing OpenCV 2.X extensions.\n");
        EXPECT_EQ(ui.messages[0].buttons, ui::Buttons::YesNo);
        if (answer == ui::Answer::No) {
            EXPECT_TRUE(removed.empty());
            EXPECT_TRUE(installed.empty());
            EXPECT_EQ(*view.comboSelection(IDC_EXT_OPENCV2X_COMBO), "OpenCV 2.4.6") << "the combo box goes back";
        } else {
            EXPECT_EQ(removed, std::vector<std::string>{"OpenCV 2.4.6"});
            EXPECT_EQ(installed, (std::vector<std::string>{"OpenCV 2.4.8", "Python 2.6.6", "pywin32-218.win32-py2.6",
                                                           "pyserial-py3k-2.5.win32", "numpy-1.8.1-python2.6"}));
            EXPECT_FALSE(fileExists(m, RuntimeFolder + "OpenCV246"));
            EXPECT_EQ(*view.comboSelection(IDC_EXT_OPENCV2X_COMBO), "OpenCV 2.4.8");
            EXPECT_EQ(page->openCV2XChoice(), "OpenCV 2.4.8");
            // scipy is not part of the list, and 2.4.8 wants it: the package shows what is missing.
            EXPECT_EQ(view.text(IDC_EXT_OPENCV2X_STATUS), "Status: Incomplete Module");
        }
    }
}

TEST_F(ExtensionsPage, NoneRemovesWithoutAQuestionAndAFirstPackageInstallsWithoutOne) {
    // The 2.3.1 package removed by choosing "None".
    installEverything(m);
    runtimeOnly();
    withoutOpenCV2X({"OpenCV23"});
    auto page = open<ovDInstallExtensions>();
    page->onSetActive();
    view.pick(IDC_EXT_OPENCV2X_COMBO, "None");
    page->onCommand(IDC_EXT_OPENCV2X_COMBO);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(removed, std::vector<std::string>{"OpenCV 2.3.1"});
    EXPECT_EQ(page->openCV2XChoice(), "None");
    EXPECT_EQ(view.text(IDC_EXT_OPENCV2X_STATUS), "");

    // Nothing installed, "None" again: nothing happens.
    EXPECT_EQ(page->processNewOpenCV2XExtInstallation(), -1);

    // Nothing installed, a package picked: installed with the Python stack, no question.
    view.pick(IDC_EXT_OPENCV2X_COMBO, "OpenCV 2.4.6");
    page->onCommand(IDC_EXT_OPENCV2X_COMBO);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(installed, std::vector<std::string>{"OpenCV 2.4.6"}) << "the rest of the stack is in place";
    EXPECT_EQ(page->openCV2XChoice(), "OpenCV 2.4.6");
    EXPECT_EQ(view.text(IDC_EXT_OPENCV2X_STATUS), "Status: Installed");
}

TEST_F(ExtensionsPage, NoSelectionCountsAsNoneAndIsWrittenToTheDebugger) {
    installEverything(m);
    withoutOpenCV2X({"OpenCV246"});
    auto page = open<ovDInstallExtensions>();
    page->onSetActive();
    view.comboSelected.erase(IDC_EXT_OPENCV2X_COMBO);
    page->onCommand(IDC_EXT_OPENCV2X_COMBO);
    EXPECT_EQ(removed, std::vector<std::string>{"OpenCV 2.4.6"}) << "no selection reads as None";
    ASSERT_FALSE(m.debug.lines.empty());
    EXPECT_EQ(m.debug.lines.front(), pagetexts::OpenCV2XNoSelectionDebug);
}

// ---- The Runtime's Python DLL ----------------------------------------------------------------------------------

TEST_F(ExtensionsPage, SyncPythonDllParksAndRestoresWithoutEverLosingTheDll) {
    const struct {
        const char* name;
        bool python;
        const char* dll;     // content of python26.dll before (nullptr: absent)
        const char* parked;  // content of py26.dll before
        const char* fault;   // a move whose source contains this fails
        int result;
        const char* dllAfter;
        const char* parkedAfter;
        const char* message;
    } cases[] = {
        {"python installed: parked", true, "runtime", nullptr, nullptr, 1, nullptr, "runtime", nullptr},
        {"python installed: an older parked copy is replaced", true, "runtime", "old", nullptr, 1, nullptr, "runtime", nullptr},
        {"python installed: nothing to park", true, nullptr, "runtime", nullptr, 1, nullptr, "runtime", nullptr},
        {"python installed: DLL in use", true, "runtime", nullptr, "python26.dll", -2, "runtime", nullptr,
         pagetexts::PythonDllRenameFailed},
        {"python gone: restored", false, nullptr, "runtime", nullptr, 1, "runtime", nullptr, nullptr},
        {"python gone: restore target taken, parked DLL kept", false, "other", "runtime", nullptr, -2, "other",
         "runtime", pagetexts::PythonDllKeptParked},
        {"python gone: restore fails, parked DLL kept", false, nullptr, "runtime", "py26.dll", -2, nullptr, "runtime",
         pagetexts::PythonDllRenameFailed},
        {"python gone: nothing parked", false, "runtime", nullptr, nullptr, 1, "runtime", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExtensionsBench b;
        auto& m = b.m;
        auto& view = b.view;
        auto& ui = b.ui;
        auto& installed = b.installed;
        auto& removed = b.removed;
        (void)m, (void)view, (void)installed, (void)removed, (void)ui;
        registerRuntime(m);
        if (c.python) registerProduct(m, components::codes::Python266, "Python 2.6.6");
        if (c.dll) m.files.addFile(Python26Dll, c.dll);
        if (c.parked) m.files.addFile(ParkedDll, c.parked);
        const std::string fault = c.fault ? c.fault : "";
        m.files.fault = [fault](const std::string& op, const std::string& path) {
            return !fault.empty() && op == "move" && path.rfind(RuntimeFolder + fault, 0) == 0;
        };
        ovDInstallExtensions page(b.env(), "title");
        for (bool messages : {false, true}) {
            SCOPED_TRACE(messages);
            ui.messages.clear();
            EXPECT_EQ(page.syncPythonDll(messages), c.result);
            EXPECT_EQ(m.files.content(Python26Dll).value_or("<absent>"), c.dllAfter ? c.dllAfter : "<absent>");
            EXPECT_EQ(m.files.content(ParkedDll).value_or("<absent>"), c.parkedAfter ? c.parkedAfter : "<absent>");
            if (messages && c.message) {
                ASSERT_EQ(ui.messages.size(), 1u);
                EXPECT_EQ(ui.messages[0].text, c.message);
            } else {
                EXPECT_TRUE(ui.messages.empty());
            }
        }
    }
}

TEST_F(ExtensionsPage, SyncPythonDllWithoutTheRuntimeGivesUp) {
    ovDInstallExtensions page(env(), "title");
    EXPECT_EQ(page.syncPythonDll(false), -1);
    EXPECT_TRUE(ui.messages.empty()) << "silently at activation";
    EXPECT_EQ(page.syncPythonDll(true), -1);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{pagetexts::RuntimePathMissing});
}

TEST_F(ExtensionsPage, ActivationParksTheDllAndUninstallingThePythonGroupRestoresIt) {
    installEverything(m);
    m.files.addFile(Python26Dll, "runtime");
    auto page = open<ovDInstallExtensions>();
    page->onSetActive();
    EXPECT_FALSE(fileExists(m, Python26Dll));
    EXPECT_EQ(m.files.content(ParkedDll).value_or(""), "runtime");

    page->onCommand(IDC_EXT_PYTHON2D_UNINSTALL);
    EXPECT_EQ(removed.back(), "Python 2.6.6");
    EXPECT_EQ(m.files.content(Python26Dll).value_or(""), "runtime");
    EXPECT_FALSE(fileExists(m, ParkedDll));
}

}  // namespace
