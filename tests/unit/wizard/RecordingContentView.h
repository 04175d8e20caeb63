// A page window with category tabs for the tutorials and resources page tests: it keeps the tabs, the dialog
// shown under them and every control the page created in it, and lets a test click like the person would.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "RecordingViews.h"
#include "pages/content/ContentTabsView.h"

class RecordingContentView : public RecordingPageView, public content::ContentTabsView {
public:
    struct Control {
        std::string kind;  // "static", "button", "picture", "info", "link"
        std::string text;
        content::ControlRect rect;
        content::RowImage image = content::RowImage::Install;
        std::string tooltip;
        int row = -1, code = -1;
        bool centred = false;
        std::string url;      // links
        std::string picture;  // picture buttons: the file shown, empty for the default picture
        bool shown = true;
        bool enabled = true;
    };

    content::ContentTabsView* contentTabs() override { return this; }

    void setListener(content::ContentTabsListener* l) override { listener = l; }
    void deleteAllTabs() override {
        tabs.clear();
        selected = -1;
    }
    bool insertTab(int index, const std::string& caption) override {
        if (failTabInsertion == static_cast<int>(tabs.size()) + failedInsertions) {
            ++failedInsertions;
            return false;
        }
        tabs.insert(tabs.begin() + index, caption);
        return true;
    }
    void selectTab(int index) override { selected = index < static_cast<int>(tabs.size()) ? index : -1; }
    int selectedTab() override { return selected; }

    void destroyContents() override {
        if (contents) ++destroyed;
        contents = false;
        controls.clear();
        messageLine.clear();
        messageShown = false;
        finished = false;
        contentsTimers.clear();
    }
    bool createContents(content::TabContents k) override {
        if (failContents) return false;
        contents = true;
        kind = k;
        ++created;
        return true;
    }
    int contentsOriginX() override { return originX; }
    void addStatic(int id, const std::string& text, content::ControlRect rect, bool centred) override {
        Control c;
        c.kind = "static";
        c.text = text;
        c.rect = rect;
        c.centred = centred;
        add(id, c);
    }
    void addRowButton(int id, const std::string& text, content::ControlRect rect, content::RowImage image,
                      const std::string& tooltip, int row, int code) override {
        Control c;
        c.kind = "button";
        c.text = text;
        c.rect = rect;
        c.image = image;
        c.tooltip = tooltip;
        c.row = row;
        c.code = code;
        add(id, c);
    }
    void addPictureButton(int id, content::ControlRect rect, const std::string& picture, int row, int code) override {
        Control c;
        c.kind = "picture";
        c.rect = rect;
        c.picture = picture;
        c.row = row;
        c.code = code;
        add(id, c);
    }
    void addInfoPicture(int id, content::ControlRect rect, const std::string& tooltip) override {
        Control c;
        c.kind = "info";
        c.rect = rect;
        c.tooltip = tooltip;
        add(id, c);
    }
    void addHyperlink(int id, const std::string& text, const std::string& url, content::ControlRect rect) override {
        Control c;
        c.kind = "link";
        c.text = text;
        c.url = url;
        c.rect = rect;
        add(id, c);
    }
    void setContentsText(int id, const std::string& text) override { at(id).text = text; }
    void showContentsControl(int id, bool shown) override { at(id).shown = shown; }
    void enableContentsControl(int id, bool enabled) override { at(id).enabled = enabled; }
    void setMessageLine(const std::string& text, bool shown) override {
        messageLine = text;
        messageShown = shown;
    }
    void finishContents() override { finished = true; }
    void startContentsTimer(unsigned id, unsigned ms) override {
        contentsTimers[id] = ms;
        contentsTimerLog.push_back("start " + std::to_string(id) + " " + std::to_string(ms));
    }
    void stopContentsTimer(unsigned id) override {
        contentsTimers.erase(id);
        contentsTimerLog.push_back("stop " + std::to_string(id));
    }
    void invalidateContents() override { ++invalidations; }

    // The person's actions.
    void pickTab(int index) {
        selected = index;
        listener->onTabSelectionChanged();
    }
    void click(int id) {
        Control& c = at(id);
        if (c.kind == "link")
            listener->onLinkClicked(c.url, c.text);
        else
            listener->onRowButton(c.row, c.code);
    }
    void tick(unsigned id) { listener->onContentsTimer(id); }

    Control& at(int id) {
        auto it = controls.find(id);
        if (it == controls.end()) throw std::out_of_range("no control " + std::to_string(id));
        return it->second;
    }
    bool has(int id) const { return controls.count(id) != 0; }
    std::vector<int> idsOfKind(const std::string& k) const {
        std::vector<int> ids;
        for (const auto& [id, c] : controls)
            if (c.kind == k) ids.push_back(id);
        return ids;
    }

    content::ContentTabsListener* listener = nullptr;
    std::vector<std::string> tabs;
    int selected = -1;
    int failTabInsertion = -1;  // the insertion at this position (counting failed ones) fails
    int failedInsertions = 0;
    bool failContents = false;
    bool contents = false;
    content::TabContents kind = content::TabContents::Tutorials;
    int created = 0, destroyed = 0;
    int originX = 200;
    std::map<int, Control> controls;
    std::vector<int> duplicateIds;
    std::string messageLine;
    bool messageShown = false;
    bool finished = false;
    std::map<unsigned, unsigned> contentsTimers;
    std::vector<std::string> contentsTimerLog;
    int invalidations = 0;

private:
    void add(int id, const Control& c) {
        if (controls.count(id)) duplicateIds.push_back(id);
        controls[id] = c;
    }
};
