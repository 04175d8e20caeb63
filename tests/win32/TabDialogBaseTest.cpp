// The tab dialogs' base on real windows: its tooltip with the wizard's delays, its own copy of the dialog
// font, and both released with the dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "pages/content/ResourcesPageRes.h"
#include "wizard/win32/TabDialogBase.h"

namespace {

class RecordingTab : public ovDTabDialogBase {
public:
    int initialised = 0;

protected:
    void onInitDialog() override { ++initialised; }
};

TEST(TabDialogBaseOnWine, TheDialogGetsItsTooltipAndItsOwnFont) {
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    ASSERT_TRUE(parent);
    RecordingTab tab;
    ASSERT_TRUE(tab.create(IDD_RESOURCES, parent));  // any child template of the program serves
    EXPECT_EQ(tab.initialised, 1);
    ASSERT_TRUE(tab.tooltip());
    EXPECT_EQ(SendMessageA(tab.tooltip(), TTM_GETDELAYTIME, TTDT_INITIAL, 0), 50);
    EXPECT_EQ(SendMessageA(tab.tooltip(), TTM_GETDELAYTIME, TTDT_RESHOW, 0), 50);

    auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(tab.window(), WM_GETFONT, 0, 0));
    ASSERT_TRUE(tab.font());
    EXPECT_NE(tab.font(), dialogFont) << "a copy, owned by the dialog";
    LOGFONTA copy = {}, original = {};
    GetObjectA(tab.font(), sizeof(copy), &copy);
    GetObjectA(dialogFont, sizeof(original), &original);
    EXPECT_STREQ(copy.lfFaceName, original.lfFaceName);
    EXPECT_EQ(copy.lfHeight, original.lfHeight);
    LOGFONTA tipFont = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(tab.tooltip(), WM_GETFONT, 0, 0)), sizeof(tipFont), &tipFont);
    EXPECT_STREQ(tipFont.lfFaceName, copy.lfFaceName) << "the tooltip speaks in the dialog's font";

    HWND tooltip = tab.tooltip();
    DestroyWindow(tab.window());
    EXPECT_FALSE(IsWindow(tooltip)) << "the tooltip goes with its dialog";
    EXPECT_EQ(tab.window(), nullptr);
    EXPECT_EQ(tab.font(), nullptr) << "and so does the font copy";
    DestroyWindow(parent);
}

}  // namespace
