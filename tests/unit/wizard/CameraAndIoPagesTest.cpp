// The camera-driver and IO pages through their views: the forms chosen by the machine's width, the exclusive
// Basler choice with "None" and both answers, the driver row that always installs, and the IO rows.
#include <gtest/gtest.h>

#include "PageFixture.h"
#include "components/ProductCodes.h"
#include "components/StatusTexts.h"
#include "pages/components/CameraAndIoPages.h"
#include "pages/components/IOSystemPageRes.h"
#include "pages/components/OptionalPageTexts.h"
#include "pages/components/ThirdPartyPageRes.h"

using namespace detectiontest;
namespace status = components::status;
namespace codes = components::codes;
using Camera = ovDInstall3rdPartyInstallations;

namespace {

// Registers a Basler product with the version its row wants.
void registerBasler(FakeMachine& m, const char* code) {
    const std::string c = code;
    const char* version = c == codes::PylonSdk3 ? "3.2.3215" : c == codes::Pylon4Runtime ? "4.0.3425" : "2.3.2633";
    registerProduct(m, code, c == codes::Pylon4Runtime ? "Basler pylon 4 Runtime" : "Basler pylon SDK", version);
}

const std::string Sdk2_32 = "Basler pylon SDK 2.3.5.2633 - 32 bit";
const std::string Sdk3_32 = "Basler pylon SDK 3.2.3.3215 - 32 bit";
const std::string Runtime4_32 = "Basler pylon 4 Runtime 4.0.1.3425 - 32 bit";
const std::string Sdk2_64 = "Basler pylon SDK 2.3.5.2633 - 64 bit";
const std::string Sdk3_64 = "Basler pylon SDK 3.2.3.3215 - 64 bit";
const std::string Runtime4_64 = "Basler pylon 4 Runtime 4.0.1.3425 - 64 bit";

struct CameraBench : pagetest::PageBench {
    explicit CameraBench(bool wide = false) {
        is64Bit = wide;
        // Each Basler installer registers its product, each removal unregisters it.
        const struct {
            std::string name;
            const char* code;
            const char* product;
        } packages[] = {
            {Sdk2_32, codes::PylonSdk2_32, "Basler pylon SDK"},  {Sdk2_64, codes::PylonSdk2_64, "Basler pylon SDK"},
            {Sdk3_32, codes::PylonSdk3, "Basler pylon SDK"},     {Sdk3_64, codes::PylonSdk3, "Basler pylon SDK"},
            {Runtime4_32, codes::Pylon4Runtime, "Basler pylon 4 Runtime"},
            {Runtime4_64, codes::Pylon4Runtime, "Basler pylon 4 Runtime"},
        };
        for (const auto& p : packages) {
            installers[p.name] = [this, p](const dvComponentInfo&) { registerBasler(m, p.code); };
            removals[p.name] = [this, p](const dvComponentInfo&) { m.msi.unregisterProduct(p.code); };
        }
        dialogsSeeFiles();
    }
    // Which installer files the download-and-install runs were given.
    void dialogsSeeFiles() {
        auto inner = dialogs.onDownloadAndInstall;
        dialogs.onDownloadAndInstall = [this, inner](const dvComponentInfo& record,
                                                     const components::DownloadRunFlags& flags) {
            files.push_back(record.fileName());
            return inner(record, flags);
        };
    }
    std::vector<std::string> files;
};

class CameraPage : public ::testing::Test, public CameraBench {};

TEST(CameraPageForms, RowsComboAndInstallersFollowTheMachinesWidth) {
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide);
        CameraBench b(wide);
        auto page = b.open<Camera>();
        EXPECT_EQ(page->is64BitMachine(), wide);
        const char* bits = wide ? " - 64 bit" : " - 32 bit";
        EXPECT_EQ(page->row(Camera::UbCore).name, std::string("ubCore 6.00 Pro 1394a - 1394b drivers") + bits);
        EXPECT_EQ(page->row(Camera::FireI).name, std::string("Fire-i Application 4.0") + bits);
        EXPECT_EQ(page->row(Camera::SonyZcl).name, std::string("ZCL for SONYGigECAM 2.12") + bits);
        EXPECT_EQ(page->row(Camera::ICCapture).name, "Imaging Source - IC Capture 2.3");
        EXPECT_EQ(b.view.text(IDC_TP_ROW0_NAME), page->row(Camera::UbCore).name);
        EXPECT_EQ(b.view.combos[IDC_TP_BASLER_COMBO],
                  (std::vector<std::string>{wide ? Sdk2_64 : Sdk2_32, wide ? Sdk3_64 : Sdk3_32,
                                            wide ? Runtime4_64 : Runtime4_32, "None"}));
        page->onSetActive();
        page->onCommand(IDC_TP_ROW0_INSTALL);
        page->onCommand(IDC_TP_ROW1_INSTALL);
        EXPECT_EQ(b.files, (wide ? std::vector<std::string>{"ubCorePro64_112912.exe", "FireiSetupX64_112912.exe"}
                                 : std::vector<std::string>{"ubCorePro32_112912.exe", "FireiSetupX86_112912.exe"}));
    }
}

TEST(CameraPageForms, TheBaslerProductIsRecognisedByTheCodeOfTheMachinesColumn) {
    const struct {
        bool wide;
        std::vector<const char*> registered;
        std::string shown;
    } cases[] = {
        {false, {codes::PylonSdk2_32}, Sdk2_32},
        {true, {codes::PylonSdk2_32}, "None"},  // the 32-bit SDK's code does not count on a 64-bit machine
        {true, {codes::PylonSdk2_64}, Sdk2_64},
        {false, {codes::PylonSdk2_64}, "None"},
        {true, {codes::Pylon4Runtime, codes::PylonSdk2_64}, Sdk2_64},  // the earlier package in the order wins
        {false, {codes::Pylon4Runtime}, Runtime4_32},
        {true, {codes::PylonSdk3}, Sdk3_64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        CameraBench b(c.wide);
        for (const char* code : c.registered) registerBasler(b.m, code);
        auto page = b.open<Camera>();
        page->onSetActive();
        EXPECT_EQ(page->baslerChoice(), c.shown);
        EXPECT_EQ(b.view.comboSelection(IDC_TP_BASLER_COMBO).value_or("<none>"), c.shown);
        EXPECT_EQ(b.view.text(IDC_TP_BASLER_STATUS), c.shown == "None" ? "" : "Status: Installed");
    }
}

TEST_F(CameraPage, PickingAnotherBaslerPackageAsksFirst) {
    for (ui::Answer answer : {ui::Answer::No, ui::Answer::Yes}) {
        SCOPED_TRACE(answer == ui::Answer::Yes ? "Yes" : "No");
        CameraBench b;
        registerBasler(b.m, codes::PylonSdk3);
        b.ui.answers = {answer};
        auto page = b.open<Camera>();
        page->onSetActive();
        ASSERT_EQ(page->baslerChoice(), Sdk3_32);
        b.view.pick(IDC_TP_BASLER_COMBO, Runtime4_32);
        page->onCommand(IDC_TP_BASLER_COMBO);
        ASSERT_EQ(b.ui.messages.size(), 1u);
        EXPECT_EQ(b.ui.messages[0].text,
                  "Only one of the Basler Pylon SDKs can be installed on a computer.\n\nDo you want to un-install "
                  "existing Basler Pylon SDKs and install " + Runtime4_32 + " extensions?\n\nPlease click on 'Yes' "
                  "button to proceed and install " + Runtime4_32 + " extensions.\nPlease click on 'No' to abort and "
                  "to continue using existing Basler Pylon SDK.\n");
        if (answer == ui::Answer::No) {
            EXPECT_TRUE(b.removed.empty());
            EXPECT_TRUE(b.installed.empty());
            EXPECT_EQ(*b.view.comboSelection(IDC_TP_BASLER_COMBO), Sdk3_32) << "back to what is installed";
        } else {
            EXPECT_EQ(b.removed, std::vector<std::string>{Sdk3_32});
            EXPECT_EQ(b.installed, std::vector<std::string>{Runtime4_32}) << "the package alone";
            EXPECT_EQ(page->baslerChoice(), Runtime4_32);
            EXPECT_EQ(b.view.text(IDC_TP_BASLER_STATUS), "Status: Installed");
        }
    }
}

TEST_F(CameraPage, NoneRemovesWithoutAQuestionAndOnlyTheShownPackageIsRemoved) {
    is64Bit = true;
    registerBasler(m, codes::PylonSdk2_64);
    registerBasler(m, codes::Pylon4Runtime);
    removals[Sdk2_64] = [this](const dvComponentInfo&) { m.msi.unregisterProduct(codes::PylonSdk2_64); };
    removals[Runtime4_64] = [this](const dvComponentInfo&) { m.msi.unregisterProduct(codes::Pylon4Runtime); };
    auto page = open<Camera>();
    page->onSetActive();
    view.pick(IDC_TP_BASLER_COMBO, "None");
    page->onCommand(IDC_TP_BASLER_COMBO);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(removed, std::vector<std::string>{Sdk2_64});
    EXPECT_EQ(page->baslerChoice(), Runtime4_64) << "the runtime was installed too and now shows";

    // Nothing installed and "None" picked: nothing happens; a package picked installs without a question.
    m.msi.unregisterProduct(codes::Pylon4Runtime);
    page->onSetActive();
    ASSERT_EQ(page->baslerChoice(), "None");
    EXPECT_EQ(page->processNewBaslerPylonSDKInstallation(), -1);
    view.pick(IDC_TP_BASLER_COMBO, Sdk2_64);
    page->onCommand(IDC_TP_BASLER_COMBO);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(installed, std::vector<std::string>{Sdk2_64});
    EXPECT_EQ(page->baslerChoice(), Sdk2_64);
}

TEST_F(CameraPage, RowButtonsAndTheDriverButtonThatAlwaysInstalls) {
    installEverything(m);
    auto page = open<Camera>();
    EXPECT_EQ(view.placed[IDC_TP_ROW0_INFO].image, wizard::PageImage::Info);
    EXPECT_EQ(view.placed[IDC_TP_ROW0_INFO].tooltip, pagetexts::UbCoreInfo);
    EXPECT_EQ(view.placed[IDC_TP_ROW2_INFO].tooltip, pagetexts::SonyZclInfo);
    EXPECT_EQ(view.placed[IDC_TP_ROW7_INFO].tooltip, pagetexts::ImagingSourceDriverInfo);
    EXPECT_EQ(view.placed[IDC_TP_BASLER_INFO].tooltip, pagetexts::BaslerInfo);
    EXPECT_EQ(view.placed[IDC_TP_ROW6_REMOVE].tooltip, "Remove");
    EXPECT_EQ(view.placed[IDC_TP_DOWNLOAD].tooltip, "Download 3rd Party Installers");
    EXPECT_EQ(view.text(IDC_TP_ROW7_NAME), "Imaging Source Camera Driver");

    page->onSetActive();
    EXPECT_EQ(view.cancelText, "Finish");
    EXPECT_EQ(view.text(IDC_TP_STATUS_LINE), pagetexts::ThirdPartyStatusLine);
    for (int id : {IDC_TP_ROW0_INSTALL, IDC_TP_ROW1_INSTALL, IDC_TP_ROW2_INSTALL, IDC_TP_ROW6_INSTALL})
        EXPECT_FALSE(view.enabled(id)) << id;
    for (int id : {IDC_TP_ROW0_REMOVE, IDC_TP_ROW1_REMOVE, IDC_TP_ROW2_REMOVE, IDC_TP_ROW6_REMOVE})
        EXPECT_TRUE(view.enabled(id)) << id;
    EXPECT_TRUE(view.enabled(IDC_TP_ROW7_INSTALL));

    m.msi.unregisterProduct(codes::SonyZcl);
    page->onSetActive();
    EXPECT_TRUE(view.enabled(IDC_TP_ROW2_INSTALL));
    EXPECT_FALSE(view.enabled(IDC_TP_ROW2_REMOVE));
    EXPECT_TRUE(view.enabled(IDC_TP_ROW7_INSTALL)) << "whatever its status";

    page->onCommand(IDC_TP_ROW7_INSTALL);
    page->onCommand(IDC_TP_ROW6_REMOVE);
    EXPECT_EQ(installed, std::vector<std::string>{"Imaging Source Camera Driver"});
    EXPECT_EQ(removed, std::vector<std::string>{"Imaging Source - IC Capture 2.3"});
}

// ---- IO page ------------------------------------------------------------------------------------------------

class IOSystemPage : public pagetest::PageTest {};

TEST_F(IOSystemPage, EveryRowHasItsOwnPairByTheRowRule) {
    installEverything(m);
    m.msi.unregisterProduct(codes::DaqNaviUsb4750);  // row 2
    auto page = open<ovDInstallIOSystemInstallations>();
    EXPECT_EQ(view.placed[IDC_IO_ROW3_UNINSTALL].tooltip, "Uninstall");
    EXPECT_EQ(view.placed[IDC_IO_DOWNLOAD].tooltip, "Download IO System Installers");
    page->onSetActive();
    EXPECT_EQ(view.cancelText, "Finish");
    EXPECT_EQ(view.text(IDC_IO_STATUS_LINE), pagetexts::IOSystemStatusLine);
    const int installs[] = {IDC_IO_ROW0_INSTALL, IDC_IO_ROW1_INSTALL, IDC_IO_ROW2_INSTALL, IDC_IO_ROW3_INSTALL,
                            IDC_IO_ROW4_INSTALL};
    const int uninstalls[] = {IDC_IO_ROW0_UNINSTALL, IDC_IO_ROW1_UNINSTALL, IDC_IO_ROW2_UNINSTALL,
                              IDC_IO_ROW3_UNINSTALL, IDC_IO_ROW4_UNINSTALL};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(view.enabled(installs[r]), r == 2) << r;
        EXPECT_EQ(view.enabled(uninstalls[r]), r != 2) << r;
    }
    page->onCommand(IDC_IO_ROW2_INSTALL);
    page->onCommand(IDC_IO_ROW4_UNINSTALL);
    EXPECT_EQ(installed, std::vector<std::string>{"DAQNavi USB-4750 3.1.1.0"});
    EXPECT_EQ(removed, std::vector<std::string>{"Adam/Apax .NET Utility 2.04.04"});
}

}  // namespace
