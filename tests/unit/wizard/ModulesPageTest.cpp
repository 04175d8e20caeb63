// The modules page through its view: the Runtime guard, which VexLib build is recognised from the Runtime's
// files, switching builds as one set (never a partial one), the selection dialog's rules and the IPP row.
#include <gtest/gtest.h>

#include <map>

#include "PageFixture.h"
#include "app/FileUtils.h"
#include "components/FileLists.h"
#include "components/StatusTexts.h"
#include "pages/components/ModulesPage.h"
#include "pages/components/ModulesPageRes.h"
#include "pages/components/OptionalPageTexts.h"
#include "pages/components/VexlibVersionSelection.h"
#include "pages/components/VexlibVersionSelectionRes.h"

using namespace detectiontest;
namespace status = components::status;

namespace {

const std::string Builds = RuntimeFolder + "3.0.17.115\\";
const char* const BuildFolders[] = {"Intel-Blend", "Intel-Blend-IPP", "VC8", "VC8-IPP", "Vexlib Beta"};
const char* const LibraryFiles[] = {"VexLib.dll", "VexLib2.dll", "Python\\vexlibct.py", "pyVexlib26.pyd",
                                    "OrvantaVexTools.dll"};
const std::string GuardMessage =
    "Error - Orvanta Version X 10.2.1.578 Runtime should installed on the computer before installing or removing "
    "the modules.\nPlease install Orvanta Version X 10.2.1.578 Runtime and try again.";

// The selection dialog as the person works it: the answer is scripted, what it was opened with is kept.
class ScriptedVexlibDialog : public vexlib::VexlibVariantDialog {
public:
    std::optional<int> chooseVariant(int current, bool ipp) override {
        openedWith.push_back({current, ipp});
        return answer;
    }
    std::optional<int> answer;
    std::vector<std::pair<int, bool>> openedWith;
};

struct ModulesBench : pagetest::PageBench {
    ModulesBench() {
        vexlibDialog = &dialog;
        registerRuntime(m);
        m.files.addFolder(RuntimeFolder + "Python");
        // Five builds; each file says which build it is, and each build's VexLib.dll has its own time.
        for (int b = 0; b < 5; ++b) {
            const std::string folder = Builds + BuildFolders[b];
            m.files.addFolder(folder + "\\Python");
            for (const char* file : LibraryFiles) m.files.addFile(folder + "\\" + file, std::string(BuildFolders[b]) + " " + file);
            m.files.setTimes(folder + "\\VexLib.dll", std::nullopt, buildTime(b + 1));
        }
    }
    static platform::FileTime buildTime(int variant) { return 130'000'000'000'000'000ULL + variant * 3'600'0000000ULL; }
    // The Runtime's files are those of the build of this variant (1-5).
    void activate(int variant) {
        for (const char* file : LibraryFiles)
            m.files.copyFile(Builds + BuildFolders[variant - 1] + "\\" + file, RuntimeFolder + file, false);
    }
    // Whose files the Runtime holds: the build's name when all five come from one build, else "mixed".
    std::string activeSet() {
        std::string owner;
        for (const char* file : LibraryFiles) {
            const std::string text = m.files.content(RuntimeFolder + file).value_or("<missing>");
            const std::string build = text.substr(0, text.find(' '));
            if (owner.empty()) owner = build;
            if (build != owner) return "mixed";
        }
        return owner;
    }
    void installIpp() { addModule(m, RuntimeFolder + "IPP924", components::filelists::ipp()); }

    ScriptedVexlibDialog dialog;
};

class ModulesPage : public ::testing::Test, public ModulesBench {};

TEST_F(ModulesPage, EveryBuildIsRecognisedByTimeAndSizeOfItsLibrary) {
    const struct {
        const char* name;
        std::function<void(ModulesBench&)> setUp;
        int variant;
        const char* text;
        const char* status;
    } cases[] = {
        {"Intel", [](ModulesBench& b) { b.activate(1); }, 1, "Intel Compiler DLL", "Ok"},
        {"Intel with IPP", [](ModulesBench& b) { b.installIpp(); b.activate(2); }, 2, "Intel with IPP", "Ok"},
        {"Visual C", [](ModulesBench& b) { b.activate(3); }, 3, "Visual C Compiler DLL", "Ok"},
        {"Visual C with IPP", [](ModulesBench& b) { b.installIpp(); b.activate(4); }, 4, "Visual C with IPP", "Ok"},
        {"Beta", [](ModulesBench& b) { b.activate(5); }, 5, "Visual C Beta DLL for test purposes", "Ok"},
        {"IPP build without the IPP module", [](ModulesBench& b) { b.activate(2); }, 2, "Intel with IPP",
         "Incorrect Version"},
        {"VC8-IPP and VC8 alike: the IPP build is tried first",
         [](ModulesBench& b) {
             b.installIpp();
             b.m.files.deleteFile(Builds + "VC8\\VexLib.dll");
             b.m.files.copyFile(Builds + "VC8-IPP\\VexLib.dll", Builds + "VC8\\VexLib.dll", false);
             b.activate(3);
             b.m.files.copyFile(Builds + "VC8\\VexLib.dll", RuntimeFolder + "VexLib.dll", false);
         },
         4, "Visual C with IPP", "Ok"},
        {"same time, other size",
         [](ModulesBench& b) {
             b.activate(3);
             b.m.files.addFile(RuntimeFolder + "VexLib.dll", "a rebuilt library of another size");
             b.m.files.setTimes(RuntimeFolder + "VexLib.dll", std::nullopt, buildTime(3));
         },
         0, "Unknown Version", "Incorrect Version"},
        {"same size, time differs by a second",
         [](ModulesBench& b) {
             b.activate(3);
             b.m.files.setTimes(RuntimeFolder + "VexLib.dll", std::nullopt, buildTime(3) + 10'000'000);
         },
         0, "Unknown Version", "Incorrect Version"},
        {"same size, time differs within the second",
         [](ModulesBench& b) {
             b.activate(3);
             b.m.files.setTimes(RuntimeFolder + "VexLib.dll", std::nullopt, buildTime(3) + 5'000'000);
         },
         3, "Visual C Compiler DLL", "Ok"},
        {"pyVexlib26.pyd missing",
         [](ModulesBench& b) { b.activate(3); b.m.files.deleteFile(RuntimeFolder + "pyVexlib26.pyd"); }, 0,
         "DLL Not Available", "Error"},
        {"VexLib.dll missing", [](ModulesBench& b) { b.activate(3); b.m.files.deleteFile(RuntimeFolder + "VexLib.dll"); },
         0, "DLL Not Available", "Error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModulesBench b;
        c.setUp(b);
        auto page = b.open<ovDInstallModules>();
        page->onSetActive();
        EXPECT_EQ(page->currentVariant(), c.variant);
        EXPECT_EQ(b.view.text(IDC_MOD_VARIANT_TEXT), c.text);
        EXPECT_EQ(b.view.text(IDC_MOD_VARIANT_STATUS), c.status);
        EXPECT_TRUE(b.ui.messages.empty());
    }
}

TEST_F(ModulesPage, ActivationLabelsAndNextWarnsOnceWhenTheBuildIsNotRight) {
    activate(4);  // an IPP build without the IPP module
    auto page = open<ovDInstallModules>();
    EXPECT_EQ(view.placed[IDC_MOD_ROW0_INSTALL].tooltip, "Install");
    EXPECT_EQ(view.placed[IDC_MOD_ROW0_REMOVE].tooltip, "Remove");
    EXPECT_EQ(view.placed[IDC_MOD_CHANGE].tooltip, "Change");
    EXPECT_EQ(view.placed[IDC_MOD_CHANGE].image, wizard::PageImage::Change);
    EXPECT_EQ(view.placed[IDC_MOD_DOWNLOAD].tooltip, "Download Modules");
    page->onSetActive();
    EXPECT_EQ(view.cancelText, "Finish");
    EXPECT_EQ(view.text(IDC_MOD_STATUS_LINE), pagetexts::ModulesStatusLine);
    EXPECT_EQ(view.text(IDC_MOD_NOTE), pagetexts::ModulesNote);
    EXPECT_EQ(view.text(IDC_MOD_ROW0_STATUS), status::NotInstalled);
    EXPECT_TRUE(view.enabled(IDC_MOD_ROW0_INSTALL));
    EXPECT_FALSE(view.enabled(IDC_MOD_ROW0_REMOVE));
    EXPECT_TRUE(view.enabled(IDC_MOD_CHANGE));
    EXPECT_EQ(view.text(IDC_MOD_VARIANT_STATUS), "Incorrect Version");
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_EQ(page->onWizardNext(), 0) << "the warning does not stop the move";
    EXPECT_EQ(ui.texts(), std::vector<std::string>{pagetexts::VariantNotOkWarning});

    installIpp();
    page->onSetActive();
    ui.messages.clear();
    page->onWizardNext();
    EXPECT_TRUE(ui.messages.empty()) << "the right build: no warning";
}

TEST_F(ModulesPage, WithoutTheRuntimeUnderItsOwnNameNothingIsDone) {
    for (bool otherName : {false, true}) {
        SCOPED_TRACE(otherName);
        ModulesBench b;
        b.m.msi.unregisterProduct(components::products::Runtime.productCode);
        if (otherName) registerProduct(b.m, components::products::Runtime.productCode, "Orvanta Version X 10.1 Runtime");
        b.installIpp();
        auto page = b.open<ovDInstallModules>();
        page->onSetActive();
        EXPECT_EQ(b.ui.texts(), std::vector<std::string>{GuardMessage}) << "entering the page tells at once";
        page->onCommand(IDC_MOD_ROW0_INSTALL);
        page->onCommand(IDC_MOD_ROW0_REMOVE);
        EXPECT_EQ(b.ui.messages.size(), 3u);
        for (const auto& message : b.ui.messages) EXPECT_EQ(message.text, GuardMessage);
        EXPECT_TRUE(b.dialogs.opened.empty()) << "nothing installed or removed";
        EXPECT_TRUE(fileExists(b.m, RuntimeFolder + "IPP924"));
    }
}

TEST_F(ModulesPage, ChangingTheBuildCopiesItsWholeSetAndDetectsIt) {
    activate(3);
    auto page = open<ovDInstallModules>();
    page->onSetActive();
    dialog.answer = 1;
    page->onCommand(IDC_MOD_CHANGE);
    ASSERT_EQ(dialog.openedWith.size(), 1u);
    EXPECT_EQ(dialog.openedWith[0], std::make_pair(3, false));
    EXPECT_EQ(activeSet(), "Intel-Blend");
    EXPECT_EQ(page->currentVariant(), 1);
    EXPECT_EQ(view.text(IDC_MOD_VARIANT_TEXT), "Intel Compiler DLL");
    EXPECT_EQ(view.text(IDC_MOD_VARIANT_STATUS), "Ok");
    for (const char* file : LibraryFiles) {
        EXPECT_FALSE(fileExists(m, RuntimeFolder + file + ".new")) << file;
        EXPECT_FALSE(fileExists(m, RuntimeFolder + file + ".old")) << file;
    }
    EXPECT_TRUE(ui.messages.empty());

    // With the IPP module the dialog offers the IPP builds.
    installIpp();
    page->onSetActive();
    dialog.answer = 4;
    page->onCommand(IDC_MOD_CHANGE);
    EXPECT_EQ(dialog.openedWith[1], std::make_pair(1, true));
    EXPECT_EQ(activeSet(), "VC8-IPP");
    EXPECT_EQ(view.text(IDC_MOD_VARIANT_TEXT), "Visual C with IPP");
}

TEST_F(ModulesPage, AFailedChangeLeavesTheActiveBuildWhole) {
    const struct {
        const char* name;
        const char* op;
        std::string pathStart;
        const char* message;
    } cases[] = {
        {"a build file cannot be read", "copy", Builds + "Intel-Blend\\Python\\vexlibct.py", pagetexts::VexlibCopyFailed},
        {"VexLib.dll in use", "move", RuntimeFolder + "VexLib.dll ->", pagetexts::VexlibDeleteFailed},
        {"another library file in use", "move", RuntimeFolder + "OrvantaVexTools.dll ->", pagetexts::VexlibCopyFailed},
        {"a new file cannot take its name", "move", RuntimeFolder + "VexLib2.dll.new ->", pagetexts::VexlibCopyFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModulesBench b;
        b.activate(3);
        auto page = b.open<ovDInstallModules>();
        page->onSetActive();
        const std::string op = c.op, start = c.pathStart;
        b.m.files.fault = [op, start](const std::string& o, const std::string& path) {
            return o == op && path.rfind(start, 0) == 0;
        };
        b.dialog.answer = 1;
        page->onCommand(IDC_MOD_CHANGE);
        EXPECT_EQ(b.ui.texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(b.activeSet(), "VC8") << "the previous build stays in place, whole";
        EXPECT_EQ(page->currentVariant(), 3);
        for (const char* file : LibraryFiles) {
            EXPECT_FALSE(fileExists(b.m, RuntimeFolder + file + ".new")) << file;
            EXPECT_FALSE(fileExists(b.m, RuntimeFolder + file + ".old")) << file;
        }
        b.m.files.fault = nullptr;
        page->onSetActive();
        EXPECT_EQ(b.view.text(IDC_MOD_VARIANT_TEXT), "Visual C Compiler DLL");
    }
}

TEST_F(ModulesPage, ACancelledOrImpossibleChoiceChangesNothing) {
    activate(3);
    auto page = open<ovDInstallModules>();
    page->onSetActive();
    dialog.answer = std::nullopt;
    page->onCommand(IDC_MOD_CHANGE);
    EXPECT_TRUE(ui.messages.empty());
    dialog.answer = 6;
    page->onCommand(IDC_MOD_CHANGE);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{pagetexts::VexlibNotSelected});
    EXPECT_EQ(activeSet(), "VC8");
    EXPECT_EQ(page->currentVariant(), 3);
}

TEST_F(ModulesPage, RemovingIppDetectsTheBuildAgainAndInstallingDoesNot) {
    installIpp();
    activate(2);
    removals["Orvanta 9.3.0.524 IPP"] = [this](const dvComponentInfo&) {
        deleteFolderTree(m, RuntimeFolder + "IPP924", RuntimeFolder + "IPP924");
    };
    auto page = open<ovDInstallModules>();
    page->onSetActive();
    ASSERT_EQ(view.text(IDC_MOD_VARIANT_STATUS), "Ok");
    page->onCommand(IDC_MOD_ROW0_REMOVE);
    EXPECT_EQ(removed, std::vector<std::string>{"Orvanta 9.3.0.524 IPP"});
    EXPECT_EQ(view.text(IDC_MOD_ROW0_STATUS), status::NotInstalled);
    EXPECT_EQ(view.text(IDC_MOD_VARIANT_STATUS), "Incorrect Version") << "detected again after Remove";

    page->onCommand(IDC_MOD_ROW0_INSTALL);
    EXPECT_EQ(installed, std::vector<std::string>{"Orvanta 9.3.0.524 IPP"});
    EXPECT_EQ(view.text(IDC_MOD_VARIANT_STATUS), "Incorrect Version") << "only the next activation detects";
}

// ---- The selection dialog ------------------------------------------------------------------------------------

struct RecordingSelection : vexlib::SelectionView {
    void setChecked(int id, bool on) override { checked[id] = on; }
    bool isChecked(int id) override { return checked[id]; }
    void enableControl(int id, bool on) override { enabled[id] = on; }
    void showControl(int id, bool on) override { shown[id] = on; }
    std::vector<int> checkedRadios() {
        std::vector<int> out;
        for (auto& [id, on] : checked)
            if (on) out.push_back(id);
        return out;
    }
    std::map<int, bool> checked, enabled, shown;
};

TEST(VexlibVersionSelection, OpensOnTheCurrentBuildAndOffersIppBuildsOnlyWithIpp) {
    const struct {
        int current;
        bool ipp;
        std::vector<int> checked;
    } cases[] = {
        {3, false, {IDC_VEXLIB_VC8}},       {1, true, {IDC_VEXLIB_INTEL}},  {2, false, {}},
        {4, false, {}},                     {4, true, {IDC_VEXLIB_VC8_IPP}}, {2, true, {IDC_VEXLIB_INTEL_IPP}},
        {0, true, {}},                      {5, false, {IDC_VEXLIB_BETA}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.current << " " << c.ipp);
        RecordingSelection view;
        vexlib::DVexlibVersionSelection dialog(c.current, c.ipp);
        dialog.onInitDialog(view);
        EXPECT_EQ(view.checkedRadios(), c.checked);
        const bool ippOffered = !view.enabled.count(IDC_VEXLIB_VC8_IPP) || view.enabled[IDC_VEXLIB_VC8_IPP];
        EXPECT_EQ(ippOffered, c.ipp);
        EXPECT_EQ(!view.enabled.count(IDC_VEXLIB_INTEL_IPP) || view.enabled[IDC_VEXLIB_INTEL_IPP], c.ipp);
        EXPECT_FALSE(view.shown.at(IDC_VEXLIB_BETA)) << "the beta build is never offered";
    }
}

TEST(VexlibVersionSelection, SelectNeedsAChosenBuild) {
    RecordingUi ui;
    RecordingSelection view;
    vexlib::DVexlibVersionSelection dialog(4, false);
    dialog.onInitDialog(view);
    EXPECT_EQ(dialog.onSelect(view, ui), std::nullopt) << "an IPP build without IPP is shown unchecked";
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Please select a version."});

    dialog.onRadioClicked(view, IDC_VEXLIB_INTEL);
    dialog.onRadioClicked(view, IDC_VEXLIB_VC8);
    EXPECT_EQ(view.checkedRadios(), std::vector<int>{IDC_VEXLIB_VC8}) << "a click clears the others";
    EXPECT_EQ(dialog.onSelect(view, ui), 3);

    // Should two be checked, the lower variant number wins.
    view.checked[IDC_VEXLIB_INTEL_IPP] = true;
    EXPECT_EQ(dialog.onSelect(view, ui), 2);
    EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
