// What the component page tests share: the in-memory machine, the person's answers, the progress dialogs and
// installers scripted by row name, and a page attached to a recording window.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../components/DetectionMachine.h"
#include "RecordingViews.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"
#include "support/ScriptedDialogs.h"
#include "wizard/PageEnvironment.h"

namespace pagetest {

using detectiontest::FakeMachine;

// One machine with everything a page works with. Table tests make one per case.
class PageBench {
public:
    PageBench() {
        m.environment.variables["PROGRAMFILES"] = detectiontest::ProgramFiles;
        // What each row's installer and removal do to the machine; rows without a script change nothing.
        dialogs.onDownloadAndInstall = [this](const dvComponentInfo& record, const components::DownloadRunFlags&) {
            installed.push_back(record.displayName());
            if (auto it = installers.find(record.displayName()); it != installers.end()) it->second(record);
            return components::DialogEnd::Ok;
        };
        dialogs.onUninstall = [this](const dvComponentInfo& record, const components::DownloadRunFlags&) {
            removed.push_back(record.displayName());
            if (auto it = removals.find(record.displayName()); it != removals.end()) it->second(record);
            return components::DialogEnd::Ok;
        };
    }

    wizard::PageEnvironment& env() {
        if (!environment_)
            environment_.reset(new wizard::PageEnvironment{m, ui, dialogs, "C:\\Installer", true, "http://vendor",
                                                           is64Bit, vexlibDialog});
        return *environment_;
    }

    // Makes the page's window: attaches the view and runs the dialog's initialisation.
    template <typename Page>
    std::unique_ptr<Page> open() {
        auto page = std::make_unique<Page>(env(), "title");
        page->attachView(&view);
        page->onInitDialog();
        return page;
    }

    FakeMachine m;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    RecordingPageView view;
    bool is64Bit = false;
    vexlib::VexlibVariantDialog* vexlibDialog = nullptr;
    std::map<std::string, std::function<void(const dvComponentInfo&)>> installers;
    std::map<std::string, std::function<void(const dvComponentInfo&)>> removals;
    std::vector<std::string> installed;
    std::vector<std::string> removed;

private:
    std::unique_ptr<wizard::PageEnvironment> environment_;
};

class PageTest : public ::testing::Test, public PageBench {};

}  // namespace pagetest
