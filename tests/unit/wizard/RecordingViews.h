// Windows for the page and sheet tests: they keep what the page showed, enabled, placed and asked for.
#pragma once

#include <functional>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "wizard/InstallerSheet.h"
#include "wizard/PageView.h"

class RecordingPageView : public wizard::PageView {
public:
    void setText(int id, const std::string& text) override { texts[id] = text; }
    void setChecked(int id, bool checked) override { checks[id] = checked; }
    bool isChecked(int id) override { return checks[id]; }
    void enableControl(int id, bool enabled) override { enabledState[id] = enabled; }
    void showControl(int id, bool shown) override { shownState[id] = shown; }
    void placeImageButton(int id, wizard::PageImage image, int x, const std::string& tooltip) override {
        placed[id] = {image, x, tooltip};
    }
    void setWizardButtons(bool back, bool next) override {
        this->back = back;
        this->next = next;
        ++buttonRequests;
    }
    void setCancelText(const std::string& text) override { cancelText = text; }
    void afterShown(std::function<void()> work) override {
        ++deferred;
        work();
    }
    void startTimer(unsigned id, unsigned ms) override {
        runningTimers.insert(id);
        timerLog.push_back("start " + std::to_string(id) + " " + std::to_string(ms));
    }
    void stopTimer(unsigned id) override {
        runningTimers.erase(id);
        timerLog.push_back("stop " + std::to_string(id));
    }

    void addComboItem(int id, const std::string& text) override { combos[id].push_back(text); }
    // As the combo box does it: the first entry beginning with text, ignoring case; otherwise no change.
    void selectComboText(int id, const std::string& text) override {
        const auto& items = combos[id];
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].size() < text.size()) continue;
            bool same = true;
            for (std::size_t k = 0; k < text.size() && same; ++k)
                same = std::tolower(static_cast<unsigned char>(items[i][k])) ==
                       std::tolower(static_cast<unsigned char>(text[k]));
            if (same) {
                comboSelected[id] = static_cast<int>(i);
                return;
            }
        }
    }
    std::optional<std::string> comboSelection(int id) override {
        auto it = comboSelected.find(id);
        if (it == comboSelected.end() || it->second < 0) return std::nullopt;
        return combos[id].at(static_cast<std::size_t>(it->second));
    }
    // The person picks an entry by its text (exactly as listed).
    void pick(int id, const std::string& text) {
        const auto& items = combos[id];
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == text) comboSelected[id] = static_cast<int>(i);
    }

    std::string text(int id) const { return texts.count(id) ? texts.at(id) : std::string("<never shown>"); }
    // A control whose state was never set is enabled, as a template leaves it.
    bool enabled(int id) const { return !enabledState.count(id) || enabledState.at(id); }

    struct Placement {
        wizard::PageImage image;
        int x;
        std::string tooltip;
    };
    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::map<int, bool> enabledState;
    std::map<int, bool> shownState;
    std::map<int, Placement> placed;
    std::map<int, std::vector<std::string>> combos;
    std::map<int, int> comboSelected;
    bool back = false, next = false;
    int buttonRequests = 0;
    int deferred = 0;  // work the page left for when it is on screen
    std::string cancelText;
    std::set<unsigned> runningTimers;
    std::vector<std::string> timerLog;

    // --- Readme page: each document streamed into a control, read to its end in blocks of this size. ---
    void streamRichText(int id, const std::function<long long(char*, long long)>& read) override {
        std::string document;
        std::vector<char> block(streamBlockBytes);
        for (long long got; (got = read(block.data(), static_cast<long long>(block.size()))) > 0;)
            document.append(block.data(), static_cast<std::size_t>(got));
        texts[id] = document;
        ++streams[id];
    }
    std::size_t streamBlockBytes = 4096;
    std::map<int, int> streams;  // documents streamed per control
};

// The sheet's window: activating a page runs its activation against the page's own recorded view, as the
// property sheet does.
class RecordingSheetView : public wizard::SheetView {
public:
    explicit RecordingSheetView(wizard::ovDLumetraSDKInstallerSheet& sheet) : sheet_(sheet) {
        views.resize(static_cast<std::size_t>(sheet.pageCount()));
        for (int i = 0; i < sheet.pageCount(); ++i) sheet.page(i).attachView(&views[static_cast<std::size_t>(i)]);
        sheet.attachView(this);
    }
    ~RecordingSheetView() override {
        for (int i = 0; i < sheet_.pageCount(); ++i) sheet_.page(i).attachView(nullptr);
        sheet_.attachView(nullptr);
    }
    int activeIndex() override { return active; }
    void activatePage(int index) override {
        active = index;
        activations.push_back(index);
        sheet_.page(index).onSetActive();
    }
    void showHelpTopic(const std::string& address) override { helpTopics.push_back(address); }

    RecordingPageView& view(int index) { return views[static_cast<std::size_t>(index)]; }

    int active = 0;
    std::vector<int> activations;
    std::vector<std::string> helpTopics;

private:
    wizard::ovDLumetraSDKInstallerSheet& sheet_;
    std::vector<RecordingPageView> views;
};
