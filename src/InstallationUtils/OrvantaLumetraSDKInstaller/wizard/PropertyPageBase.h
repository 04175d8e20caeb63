// The base of every wizard page: its identity (template, title, banner text, page name), its rows and the
// rules every component page shares (row operations inside the refresh frame, the Install/Uninstall rule,
// the status warnings, Next and Back through the sheet).
//
// The page talks to its window only through a PageView, so its behaviour runs the same in the program and in
// the native tests. The host calls the on...() methods from the window's messages.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "components/Catalogue.h"
#include "components/InstallManagerBase.h"
#include "wizard/PageEnvironment.h"
#include "wizard/PageView.h"

namespace wizard {

// The three strings a row shows. The row's records point at them, so they must never move.
struct RowStrings {
    std::string name;
    std::string status;
    std::string action;
};

// The statics that show a row's strings and the row's buttons (0 where the row has none).
struct RowControls {
    int name = 0;
    int status = 0;
    int action = 0;
    int install = 0;
    int uninstall = 0;
};

class ovDPropertyPageBase {
public:
    ovDPropertyPageBase(PageEnvironment& environment, int templateId, std::string title, std::string headerText);
    virtual ~ovDPropertyPageBase();
    // Records point at the page's strings: a page never moves.
    ovDPropertyPageBase(const ovDPropertyPageBase&) = delete;
    ovDPropertyPageBase& operator=(const ovDPropertyPageBase&) = delete;

    int templateId() const { return templateId_; }
    const std::string& title() const { return title_; }
    const std::string& headerText() const { return headerText_; }
    const std::string& pageName() const { return pageName_; }
    dvInstallManagerBase& components() { return components_; }
    unsigned rowCount() const { return components_.componentCount(); }
    const RowStrings& row(unsigned index) const { return rows_.at(index); }

    // The window side; the host attaches its view when the page's window is created and detaches it when the
    // window is destroyed. The sheet attaches itself when it adds the page.
    void attachView(PageView* view) { view_ = view; }
    void attachSheet(PageSheet* sheet) { sheet_ = sheet; }
    bool hasView() const { return view_ != nullptr; }

    // True when Next and Back must pass over this page now.
    virtual bool isPageSkipped() = 0;
    // Enables the page's buttons from the current row texts.
    virtual void updateControls() = 0;
    // One-time set-up of the page's own controls: pictures, positions, tooltips.
    virtual void initControls() = 0;

    // The window's events.
    // The window exists: the base shows the bound texts once and lets the page set up its controls.
    virtual void onInitDialog();
    // The page becomes the current one. False keeps the wizard from showing it.
    virtual bool onSetActive();
    // Next and Back: -1 when the sheet activated a page (the framework must not move), 0 to let it move.
    virtual int onWizardNext();
    virtual int onWizardBack();
    // A button or check box of the page was clicked.
    virtual void onCommand(int controlId);
    // A page timer fired.
    virtual void onTimer(unsigned timerId);

    // Refreshes every row's status; 1 when every row is installed and correct, -1 otherwise (1 for no rows).
    int refreshAllRows();
    // Shows every bound string and check box in its control.
    void showData();
    // Takes the bound check boxes' states into their members.
    void readData();

    // The row operations, each inside the refresh frame. They return the list operation's result, or 0 when it
    // threw (the person is told and the page stays usable).
    int installComponents(int first, int last, bool checkAll);
    int installComponentList(const int* indices, int count);
    int uninstallComponents(int first, int last);
    int downloadAllComponents(unsigned char* ignoreAll);
    int downloadComponentList(const int* indices, int count, unsigned char* ignoreAll);

    // Explains the first row with a problem status (one box at most).
    void showStatusWarnings();

protected:
    // The page's rows from the catalogue, row i showing its strings in controls[i].
    void setRows(components::CataloguePage page, const std::vector<RowControls>& controls);
    void setPageName(std::string name) { pageName_ = std::move(name); }
    // Binds a string member (or a check box member) to a control for showData/readData.
    void bindText(int controlId, const std::string* text);
    void bindCheck(int controlId, bool* value);
    // The page's download button and its label; the button shows only while the installer's folder is
    // writable.
    void setDownloadButton(int controlId, std::string label);
    void showDownloadButton();

    // Install enabled while a row is not exactly "Installed", Uninstall while it is not exactly "Not Installed";
    // rows first..last share the pair when they form a group.
    void enableRowButtons(int installId, int uninstallId, int firstRow, int lastRow);
    // Every row with its own pair, by the rule above.
    void enableEveryRowsButtons();
    // initControls' usual work: row buttons at their columns, the download button at its place.
    void placeRowButtons(const std::string& installTip, const std::string& uninstallTip);
    void placeDownloadButton();
    // Component pages' activation, steps 1-5 (Back/Next, Cancel label, download button, refresh, show, update).
    void activateComponentPage(bool back, bool next, const char* cancelText);

    PageView& view();
    PageSheet& sheet();
    PageEnvironment& environment() { return environment_; }
    const std::vector<RowControls>& rowControls() const { return rowControls_; }
    std::string rowStatus(unsigned index) const { return rows_.at(index).status; }
    int downloadButtonId() const { return downloadButtonId_; }

private:
    template <typename Operation>
    int runInFrame(Operation operation);

    PageEnvironment& environment_;
    dvInstallManagerBase components_;
    std::string pageName_;
    int templateId_;
    std::string title_;
    std::string headerText_;
    std::vector<RowStrings> rows_;  // sized once by setRows, never resized after
    std::vector<RowControls> rowControls_;
    struct TextBinding {
        int controlId;
        const std::string* text;
    };
    struct CheckBinding {
        int controlId;
        bool* value;
    };
    std::vector<TextBinding> texts_;
    std::vector<CheckBinding> checks_;
    int downloadButtonId_ = 0;
    std::string downloadLabel_;
    PageView* view_ = nullptr;
    PageSheet* sheet_ = nullptr;
};

}  // namespace wizard
