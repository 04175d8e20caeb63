// Progress dialogs for engine tests that look at an operation from the outside: every dialog opened is
// recorded, and what a dialog does to the machine is whatever the test scripts (an installer that registers
// its product, a download that leaves a file, nothing at all).
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/OperationDialogs.h"

struct DialogRecord {
    std::string kind;  // "downloadAndInstall", "uninstall", "downloadError", "pleaseWait", "waitForProgram"
    std::string subject;  // the row's display name, the message or the program
    int index = 0;
    int total = 0;
    components::DownloadRunFlags flags;
};

class ScriptedDialogs : public components::OperationDialogs {
public:
    using RowScript = std::function<components::DialogEnd(const dvComponentInfo& record,
                                                           const components::DownloadRunFlags& flags)>;

    components::DialogEnd downloadAndInstall(const dvComponentInfo& record, int index, int total,
                                             const components::DownloadRunFlags& flags) override {
        opened.push_back({"downloadAndInstall", record.displayName(), index, total, flags});
        return onDownloadAndInstall ? onDownloadAndInstall(record, flags) : components::DialogEnd::Ok;
    }
    components::DialogEnd uninstall(const dvComponentInfo& record, int index, int total) override {
        opened.push_back({"uninstall", record.displayName(), index, total, {}});
        return onUninstall ? onUninstall(record, {}) : components::DialogEnd::Ok;
    }
    components::DownloadErrorChoice downloadError(const std::string& message) override {
        opened.push_back({"downloadError", message, 0, 0, {}});
        if (errorChoices.empty()) return components::DownloadErrorChoice::Quit;
        components::DownloadErrorChoice choice = errorChoices.front();
        errorChoices.pop_front();
        return choice;
    }
    std::unique_ptr<components::PleaseWaitBox> pleaseWait() override {
        opened.push_back({"pleaseWait", "", 0, 0, {}});
        return std::make_unique<Box>(*this);
    }
    void waitForProgram(const std::string& programPath) override {
        opened.push_back({"waitForProgram", programPath, 0, 0, {}});
        if (onWaitForProgram) onWaitForProgram(programPath);
    }

    // The records of one kind, in order.
    std::vector<DialogRecord> of(const std::string& kind) const {
        std::vector<DialogRecord> out;
        for (const auto& r : opened)
            if (r.kind == kind) out.push_back(r);
        return out;
    }

    RowScript onDownloadAndInstall;
    RowScript onUninstall;
    std::function<void(const std::string&)> onWaitForProgram;
    std::deque<components::DownloadErrorChoice> errorChoices;
    std::vector<DialogRecord> opened;
    int pleaseWaitOpen = 0;  // boxes shown and not yet closed

private:
    struct Box : components::PleaseWaitBox {
        explicit Box(ScriptedDialogs& owner) : owner(owner) { ++owner.pleaseWaitOpen; }
        ~Box() override { --owner.pleaseWaitOpen; }
        ScriptedDialogs& owner;
    };
};
