// What a page asks of its window. The Win32 host implements it with the page's dialog; the native tests
// implement it with a recorder, so every rule of a page is tested without a window.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace content {
class ContentTabsView;
}

namespace wizard {

// The pictures of the page buttons (Browse: the welcome page's folder button).
enum class PageImage { Install, Remove, Download, Change, Info, Browse };

class PageView {
public:
    virtual ~PageView() = default;
    // Shows a text in a control (a bound string's transfer to its static).
    virtual void setText(int controlId, const std::string& text) = 0;
    virtual void setChecked(int controlId, bool checked) = 0;
    virtual bool isChecked(int controlId) = 0;
    virtual void enableControl(int controlId, bool enabled) = 0;
    virtual void showControl(int controlId, bool shown) = 0;
    // Gives a button of the layout its picture and tooltip and moves it to x (page client pixels), keeping its
    // vertical position.
    virtual void placeImageButton(int controlId, PageImage image, int x, const std::string& tooltip) = 0;
    // The sheet's Back and Next buttons (the request is posted to the sheet).
    virtual void setWizardButtons(bool back, bool next) = 0;
    // The sheet's Cancel button, which reads "Finish" on the later pages.
    virtual void setCancelText(const std::string& text) = 0;
    // Runs work once the page being activated is on screen (a question asked during the activation would
    // otherwise stand over an empty sheet).
    virtual void afterShown(std::function<void()> work) = 0;
    virtual void startTimer(unsigned timerId, unsigned periodMs) = 0;
    virtual void stopTimer(unsigned timerId) = 0;
    // Drop-down lists (the exclusive choices): an entry appended at the end; the combo box's own select-by-text
    // (the first entry that begins with text, ignoring case; the selection stays as it was when none does);
    // the selected entry's text, none when nothing is selected.
    virtual void addComboItem(int comboId, const std::string& text) = 0;
    virtual void selectComboText(int comboId, const std::string& text) = 0;
    virtual std::optional<std::string> comboSelection(int comboId) = 0;

    // --- Content pages (tutorials, resources): the category tabs and the dialog under them. ---
    // Null when this window has none (pages without tabs, windows that only record).
    virtual content::ContentTabsView* contentTabs() { return nullptr; }

    // --- Readme page: a rich-text document streamed into a rich edit control. ---
    // Replaces the control's contents with the document that read delivers: each call fills at most size
    // bytes of buffer and returns how many it wrote; 0 ends the document, a negative count a failed read.
    virtual void streamRichText(int controlId, const std::function<long long(char* buffer, long long size)>& read) {}
};

}  // namespace wizard
