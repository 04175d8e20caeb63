// The drawn controls in real windows: pictures from the program's own "PNG" resources and from files, drawn by
// GDI+ into a 32-bit DIB the way the system asks them to paint (WM_PRINTCLIENT through the parent's
// WM_DRAWITEM), hover and disabled looks checked pixel by pixel; tooltips, the dynamic button's notification,
// the link's colour, size and click.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "PlatformTestSupport.h"
#include "app/AppTexts.h"
#include "app/UserInterface.h"
#include "controls/ControlTexts.h"
#include "controls/win32/ControlReflection.h"
#include "controls/win32/DynamicHyperlink.h"
#include "controls/win32/GdiplusFlat.h"
#include "controls/win32/ImageButton.h"
#include "controls/win32/ImageStatic.h"
#include "controls/win32/Tooltips.h"
#include "download/win32/Win32OperationDialogs.h"
#include "platform/win32/Win32Machine.h"
#include "resources/resource.h"

using namespace platform_test;

namespace {

struct Rgb {
    int r, g, b;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// The disabled look of a colour, in 0..255.
Rgb greyOf(const Rgb& c) {
    double value = 0.2125 * c.r / 255.0 + 0.2577 * c.g / 255.0 + 0.1361 * c.b / 255.0 + 0.38;
    int grey = static_cast<int>(std::lround(std::min(value, 1.0) * 255.0));
    return {grey, grey, grey};
}

::testing::AssertionResult closeTo(const Rgb& actual, const Rgb& expected, int tolerance = 2) {
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << actual << ", expected " << expected;
}

// A 32-bpp top-down DIB selected into a memory DC, filled with one background colour.
class Dib {
public:
    Dib(int width, int height, Rgb background) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        fill(background);
    }
    ~Dib() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    void fill(Rgb c) {
        GdiFlush();
        std::fill(bits_, bits_ + width_ * height_, static_cast<uint32_t>((c.r << 16) | (c.g << 8) | c.b));
    }
    Rgb at(int x, int y) const {
        GdiFlush();
        uint32_t p = bits_[y * width_ + x];
        return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
    }
    // How many pixels differ from c.
    int countOtherThan(Rgb c) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (!closeTo(at(x, y), c, 0)) ++n;
        return n;
    }
    HDC dc() const { return dc_; }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// A visible top-level window that hands its messages to its drawn controls first and keeps what reaches it
// itself.
class ParentWindow {
public:
    ParentWindow() {
        static const bool registered = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = windowProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = "ControlsTestParent";
            return RegisterClassA(&wc) != 0;
        }();
        EXPECT_TRUE(registered);
        hwnd = CreateWindowExA(0, "ControlsTestParent", "Controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 300,
                               nullptr, nullptr, GetModuleHandleA(nullptr), this);
    }
    ~ParentWindow() { DestroyWindow(hwnd); }
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    HWND hwnd = nullptr;
    std::vector<UINT> ownMessages;  // WM_COMMAND notification codes the controls left to the parent
    std::vector<std::pair<WPARAM, LPARAM>> dynamicNotifications;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<ParentWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        LRESULT result = 0;
        if (reflectToControl(window, message, wParam, lParam, &result)) return result;
        if (self && message == WM_COMMAND) self->ownMessages.push_back(HIWORD(wParam));
        if (self && message == DynamicButtonNotifyMessage) self->dynamicNotifications.push_back({wParam, lParam});
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

// Draws a control into the DIB as the system paints it.
void render(HWND control, const Dib& dib) {
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc()), PRF_CLIENT);
}

SIZE windowSize(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

RECT rectInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A PNG file written by GDI+ from a pixel function (colour as 0xAARRGGBB).
bool writePng(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y * width + x)] = pixel(x, y);
    gdip::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                                       reinterpret_cast<BYTE*>(pixels.data()), &bitmap) != gdip::Ok)
        return false;
    // GDI+'s PNG encoder.
    const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    bool saved = Gdiplus::DllExports::GdipSaveImageToFile(bitmap, wide(path).c_str(), &png, nullptr) == gdip::Ok;
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return saved;
}

const Rgb Background = {10, 20, 30};
const Rgb Picture = {200, 40, 90};  // distinct channels: a transposed matrix gives another grey
const Rgb HoverOrange = {248, 202, 127};

class ControlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gdip::GdiplusStartupInput input;
        ASSERT_EQ(gdip::GdiplusStartup(&token_, &input, nullptr), gdip::Ok);
    }
    static void TearDownTestSuite() {
        if (token_) gdip::GdiplusShutdown(token_);
        token_ = 0;
    }

    // 24 x 24: the left half opaque Picture, the right half fully transparent.
    std::string halfPicture() {
        std::string path = scratch / "half.png";
        EXPECT_TRUE(writePng(path, 24, 24, [](int x, int) {
            return x < 12 ? 0xFF000000u | (Picture.r << 16) | (Picture.g << 8) | Picture.b : 0x00000000u;
        }));
        return path;
    }

    static ULONG_PTR token_;
    ScratchFolder scratch;
    ParentWindow parent;
};
ULONG_PTR ControlsTest::token_ = 0;

// A user interface that keeps the boxes shown instead of showing them.
class RecordingUserInterface : public ui::UserInterface {
public:
    ui::Answer messageBox(const std::string& text, const std::string& caption, ui::Buttons, ui::Icon, bool) override {
        boxes.push_back(text);
        captions.push_back(caption);
        return ui::Answer::Ok;
    }
    void applicationMessage(const std::string& text) override { boxes.push_back(text); }
    std::vector<std::string> boxes, captions;
};

// For the test's duration, documents with `extension` open with `program`: a class of the test's own, named by
// the extension's key in HKEY_CLASSES_ROOT; the extension's earlier class comes back afterwards.
class ScopedDocumentProgram {
public:
    ScopedDocumentProgram(const std::string& extension, const std::string& program)
        : extension_(extension), class_(uniqueName("OrvantaTestDocument")) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            existed_ = true;
            char value[256] = {};
            DWORD size = sizeof(value) - 1, type = 0;
            if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS)
                previous_ = value;
            RegCloseKey(key);
        }
        setDefault(class_ + "\\shell\\open\\command", "\"" + program + "\" \"%1\"");
        setDefault(extension_, class_);
    }
    ~ScopedDocumentProgram() {
        if (existed_) {
            setDefault(extension_, previous_);
        } else {
            RegDeleteKeyA(HKEY_CLASSES_ROOT, extension_.c_str());
        }
        RegDeleteTreeA(HKEY_CLASSES_ROOT, class_.c_str());
        RegDeleteKeyA(HKEY_CLASSES_ROOT, class_.c_str());
    }
    ScopedDocumentProgram(const ScopedDocumentProgram&) = delete;
    ScopedDocumentProgram& operator=(const ScopedDocumentProgram&) = delete;

private:
    static void setDefault(const std::string& path, const std::string& value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
    std::string extension_, class_;
    bool existed_ = false;
    std::string previous_;
};

// How many requests of the vendor server's log name `name`.
int requestsNaming(const std::string& logPath, const std::string& name) {
    std::string log = readRaw(logPath);
    int count = 0;
    for (std::size_t at = log.find(name); at != std::string::npos; at = log.find(name, at + name.size())) ++count;
    return count;
}

}  // namespace

TEST_F(ControlsTest, LoadingAPictureResizesTheButtonToItWithoutMovingIt) {
    struct Case {
        int id;
        int width, height;
    } cases[] = {
        {IDP_INSTALL, 24, 24}, {IDP_REMOVE, 24, 24}, {IDP_DOWNLOAD, 32, 32},
        {IDP_CHANGE, 24, 24},  {IDP_INFO, 24, 24},   {IDP_NEW, 32, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        dvImageButton button;
        ASSERT_TRUE(button.create(parent.hwnd, 300, 10, 20, 40, 40, "row"));
        EXPECT_EQ(button.imageWidth(), 32);
        EXPECT_EQ(button.imageHeight(), 32);
        EXPECT_EQ(button.loadImage(c.id), 1);
        EXPECT_EQ(button.imageWidth(), c.width);
        EXPECT_EQ(button.imageHeight(), c.height);
        SIZE size = windowSize(button.hwnd());
        EXPECT_EQ(size.cx, c.width);
        EXPECT_EQ(size.cy, c.height);
        RECT placed = rectInParent(button.hwnd());
        EXPECT_EQ(placed.left, 10);
        EXPECT_EQ(placed.top, 20);

        // Something of the picture reaches the DIB (the artwork is never one flat background).
        Dib dib(40, 40, Background);
        render(button.hwnd(), dib);
        EXPECT_GT(dib.countOtherThan(Background), c.width * c.height / 4);
    }
}

TEST_F(ControlsTest, AFailedLoadLeavesNoPictureAndDrawsNothing) {
    std::string notPng = scratch / "not-a-picture.png";
    ASSERT_TRUE(writeRaw(notPng, "this is no PNG"));
    struct Case {
        const char* name;
        std::function<int(dvImageButton&)> load;
        int result;
    } cases[] = {
        {"missing resource", [](dvImageButton& b) { return b.loadImage(4321); }, -1},
        {"undecodable file", [&](dvImageButton& b) { return b.loadImageFromFile(notPng); }, 0},
        {"missing file", [&](dvImageButton& b) { return b.loadImageFromFile(scratch / "absent.png"); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dvImageButton button;
        ASSERT_TRUE(button.create(parent.hwnd, 300, 10, 20, 40, 40, "row"));
        // A picture loaded before is dropped by the failed load.
        ASSERT_EQ(button.loadImage(IDP_INSTALL), 1);
        EXPECT_EQ(c.load(button), c.result);
        EXPECT_EQ(button.imageWidth(), 0);
        EXPECT_EQ(button.imageHeight(), 0);
        SIZE size = windowSize(button.hwnd());
        EXPECT_EQ(size.cx, 24);  // the window keeps the size it had
        EXPECT_EQ(size.cy, 24);
        Dib dib(40, 40, Background);
        render(button.hwnd(), dib);
        EXPECT_EQ(dib.countOtherThan(Background), 0);
    }
}

TEST_F(ControlsTest, EnabledDrawsThePictureInItsSizeDisabledScalesItGreyKeepingAlpha) {
    std::string path = halfPicture();
    Rgb grey = greyOf(Picture);
    struct Probe {
        int x, y;
        Rgb expected;
    };
    struct Case {
        const char* name;
        bool enabled;
        int windowSize;
        std::vector<Probe> probes;
    } cases[] = {
        {"enabled, picture size", true, 24, {{6, 12, Picture}, {18, 12, Background}}},
        {"disabled, picture size", false, 24, {{6, 12, grey}, {18, 12, Background}}},
        // In a larger window the enabled picture stays 24 x 24 at the top left; the disabled one fills it.
        {"enabled, twice the size", true, 48, {{6, 12, Picture}, {18, 36, Background}, {40, 24, Background}}},
        {"disabled, twice the size", false, 48, {{12, 24, grey}, {18, 36, grey}, {40, 24, Background}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dvImageButton button;
        ASSERT_TRUE(button.create(parent.hwnd, 300, 10, 20, 40, 40, "row"));
        ASSERT_EQ(button.loadImageFromFile(path), 1);
        SetWindowPos(button.hwnd(), nullptr, 0, 0, c.windowSize, c.windowSize, SWP_NOMOVE | SWP_NOZORDER);
        EnableWindow(button.hwnd(), c.enabled);
        Dib dib(48, 48, Background);
        render(button.hwnd(), dib);
        for (const Probe& p : c.probes) {
            SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
            EXPECT_TRUE(closeTo(dib.at(p.x, p.y), p.expected));
        }
    }
}

TEST_F(ControlsTest, HoverShowsTheOrangeFrameInsetByTwoAndLeavingRemovesIt) {
    dvImageButton button;
    ASSERT_TRUE(button.create(parent.hwnd, 300, 10, 20, 40, 40, "row"));
    ASSERT_EQ(button.loadImageFromFile(halfPicture()), 1);
    Dib dib(24, 24, Background);

    SendMessageA(button.hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.hovering());
    render(button.hwnd(), dib);
    EXPECT_TRUE(closeTo(dib.at(2, 2), HoverOrange));
    EXPECT_TRUE(closeTo(dib.at(2, 12), HoverOrange));         // left side
    EXPECT_TRUE(closeTo(dib.at(2 + 24 - 5, 12), HoverOrange));  // right side: x 2 + (imageWidth - 5)
    EXPECT_TRUE(closeTo(dib.at(6, 12), Picture));              // inside the frame, the picture
    EXPECT_TRUE(closeTo(dib.at(1, 1), Picture));               // outside it too

    SendMessageA(button.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.hovering());
    EXPECT_FALSE(button.tracking());
    dib.fill(Background);
    render(button.hwnd(), dib);
    EXPECT_TRUE(closeTo(dib.at(2, 2), Picture));
    EXPECT_TRUE(closeTo(dib.at(2 + 24 - 5, 12), Background));
}

TEST_F(ControlsTest, ATemplateButtonTakenOverBecomesOwnerDrawnAndDraws) {
    HWND plain = CreateWindowExA(0, "BUTTON", "Install", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 5, 5, 60, 30,
                                 parent.hwnd, reinterpret_cast<HMENU>(301), GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(plain);
    {
        dvImageButton button;
        ASSERT_TRUE(button.attach(plain));
        EXPECT_EQ(GetWindowLongPtrA(plain, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_EQ(dvReflectedControl::fromWindow(plain), &button);
        ASSERT_EQ(button.loadImageFromFile(halfPicture()), 1);
        Dib dib(60, 30, Background);
        render(plain, dib);
        EXPECT_TRUE(closeTo(dib.at(6, 12), Picture));
        EXPECT_TRUE(closeTo(dib.at(30, 12), Background));
        // The colour request gives a transparent background and the hollow brush.
        LRESULT brush = 0;
        ASSERT_TRUE(reflectToControl(parent.hwnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dib.dc()),
                                     reinterpret_cast<LPARAM>(plain), &brush));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(HOLLOW_BRUSH));
        EXPECT_EQ(GetBkMode(dib.dc()), TRANSPARENT);
    }
    // The template's window outlives the object, which let go of it.
    EXPECT_TRUE(IsWindow(plain));
    EXPECT_EQ(dvReflectedControl::fromWindow(plain), nullptr);
    DestroyWindow(plain);
}

TEST_F(ControlsTest, TheImageStaticShowsTheInfoPictureAndGoesGreyWhenDisabled) {
    dvImageStatic info;
    ASSERT_TRUE(info.create(parent.hwnd, 310, 30, 40, 50, 50));
    EXPECT_TRUE(GetWindowLongPtrA(info.hwnd(), GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(info.loadImage(), 1);
    EXPECT_EQ(info.imageWidth(), 24);
    SIZE size = windowSize(info.hwnd());
    EXPECT_EQ(size.cx, 24);
    EXPECT_EQ(size.cy, 24);

    Dib dib(24, 24, Background);
    render(info.hwnd(), dib);
    int painted = dib.countOtherThan(Background);
    EXPECT_GT(painted, 24 * 24 / 2);  // a disc over most of the square
    bool coloured = false;
    for (int x = 0; x < 24; ++x) {
        Rgb p = dib.at(x, 12);
        coloured = coloured || std::abs(p.r - p.b) > 40;
    }
    EXPECT_TRUE(coloured);

    // Disabled over a grey background: whatever is painted stays grey, edges included.
    EnableWindow(info.hwnd(), FALSE);
    const Rgb greyBackground = {60, 60, 60};
    dib.fill(greyBackground);
    render(info.hwnd(), dib);
    EXPECT_GT(dib.countOtherThan(greyBackground), 24 * 24 / 2);
    int notGrey = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            Rgb p = dib.at(x, y);
            if (std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) > 2) ++notGrey;
        }
    EXPECT_EQ(notGrey, 0);
}

TEST_F(ControlsTest, TooltipsTakeTheirToolsAndGiveImageButtonsTheirAccessibleName) {
    HFONT font = CreateFontA(-17, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    HWND tooltip = createTooltip(parent.hwnd, font);
    ASSERT_TRUE(tooltip);
    EXPECT_TRUE(GetWindowLongPtrA(tooltip, GWL_STYLE) & TTS_ALWAYSTIP);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 50);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), 50);
    // The tooltip may keep its own copy of the font: the description is what must match.
    LOGFONTA used = {};
    ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(tooltip, WM_GETFONT, 0, 0)), sizeof(used), &used));
    EXPECT_EQ(used.lfHeight, -17);
    EXPECT_STREQ(used.lfFaceName, "Tahoma");

    dvImageButton install;
    ASSERT_TRUE(install.create(parent.hwnd, 320, 10, 10, 24, 24, ""));
    HWND status = CreateWindowExA(0, "STATIC", "Installed", WS_CHILD | WS_VISIBLE, 40, 10, 80, 16, parent.hwnd,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    struct Case {
        HWND control;
        const char* tip;
        const char* windowText;
    } cases[] = {
        {install.hwnd(), "Install", "Install"},
        {status, "Status of the row", "Installed"},  // not an image button: its own text stays
    };
    int tools = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tip);
        EXPECT_TRUE(addTooltip(tooltip, c.control, c.tip));
        EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), ++tools);
        char text[80] = {};
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = parent.hwnd;
        tool.uId = reinterpret_cast<UINT_PTR>(c.control);
        tool.lpszText = text;
        SendMessageA(tooltip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(text, c.tip);
        char windowText[80] = {};
        GetWindowTextA(c.control, windowText, sizeof(windowText));
        EXPECT_STREQ(windowText, c.windowText);
    }
    DestroyWindow(status);
    DestroyWindow(tooltip);
    DeleteObject(font);
}

TEST_F(ControlsTest, ADynamicButtonClickSendsRowAndCodeToItsTarget) {
    ParentWindow target;
    DDynamicButton row;
    ASSERT_TRUE(row.create(parent.hwnd, 330, 10, 10, 24, 24, "Run"));
    row.notifyTarget = target.hwnd;
    row.notifyRow = 3;
    row.notifyCode = 7;
    SendMessageA(row.hwnd(), BM_CLICK, 0, 0);
    ASSERT_EQ(target.dynamicNotifications.size(), 1u);
    EXPECT_EQ(target.dynamicNotifications[0].first, 3u);
    EXPECT_EQ(target.dynamicNotifications[0].second, 7);
    // The click was the button's: the parent did not see it.
    EXPECT_EQ(std::count(parent.ownMessages.begin(), parent.ownMessages.end(), BN_CLICKED), 0);

    // Without a target the click stays the parent's, as a plain image button's does.
    row.notifyTarget = nullptr;
    SendMessageA(row.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(target.dynamicNotifications.size(), 1u);
    EXPECT_EQ(std::count(parent.ownMessages.begin(), parent.ownMessages.end(), BN_CLICKED), 1);
}

TEST_F(ControlsTest, TheLinkIsUnderlinedInTheLinkColourAndFitsItsText) {
    LOGFONTA font = {};
    font.lfHeight = -13;
    font.lfWeight = FW_NORMAL;
    lstrcpyA(font.lfFaceName, "Tahoma");
    const int cxBorder = GetSystemMetrics(SM_CXBORDER), cyBorder = GetSystemMetrics(SM_CYBORDER);
    struct Case {
        const char* name;
        DWORD style;
        int frameX, frameY;
        // Which edges stay: 'L'eft, 'R'ight, 'C'entre horizontally; 'T'op or 'M'iddle vertically.
        char horizontal, vertical;
    } cases[] = {
        {"left, no border", SS_LEFT, 0, 0, 'L', 'T'},
        {"left, border", SS_LEFT | WS_BORDER, 2 * cxBorder, 2 * cyBorder, 'L', 'T'},
        {"right, border", SS_RIGHT | WS_BORDER, 2 * cxBorder, 2 * cyBorder, 'R', 'T'},
        {"centre", SS_CENTER, 0, 0, 'C', 'T'},
        {"left, centred vertically", SS_LEFT | SS_CENTERIMAGE, 0, 0, 'L', 'M'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DDynamicHyperlink link;
        RECT start = {50, 40, 250, 80};
        ASSERT_TRUE(link.create("Orvanta", WS_VISIBLE | c.style, start, parent.hwnd, "http://example.test/", font, 340));
        EXPECT_TRUE(GetWindowLongPtrA(link.hwnd(), GWL_STYLE) & SS_NOTIFY);
        LOGFONTA made = {};
        ASSERT_TRUE(GetObjectA(link.linkFont(), sizeof(made), &made));
        EXPECT_TRUE(made.lfUnderline);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(link.hwnd(), WM_GETFONT, 0, 0)), link.linkFont());
        EXPECT_TRUE(link.linkCursor());

        // The welcome page changes the text and fits the link again.
        const char* text = "Orvanta Lumetra support pages";
        SetWindowTextA(link.hwnd(), text);
        RECT before = rectInParent(link.hwnd());
        link.fitToText();
        RECT after = rectInParent(link.hwnd());

        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, link.linkFont());
        SIZE extent;
        GetTextExtentPoint32A(screen, text, lstrlenA(text), &extent);
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);

        EXPECT_EQ(after.right - after.left, extent.cx + c.frameX);
        EXPECT_EQ(after.bottom - after.top, extent.cy + c.frameY);
        switch (c.horizontal) {
            case 'L':
                EXPECT_EQ(after.left, before.left);
                EXPECT_EQ(after.left, start.left);  // the fit at creation kept it too
                break;
            case 'R':
                EXPECT_EQ(after.right, before.right);
                EXPECT_EQ(after.right, start.right);
                break;
            default:
                EXPECT_LE(std::abs((after.left + after.right) - (before.left + before.right)), 1);
                break;
        }
        if (c.vertical == 'T') {
            EXPECT_EQ(after.top, before.top);
        } else {
            EXPECT_LE(std::abs((after.top + after.bottom) - (before.top + before.bottom)), 1);
        }

        // The colour request: link colour, transparent background, hollow brush.
        Dib dib(4, 4, Background);
        LRESULT brush = 0;
        ASSERT_TRUE(reflectToControl(parent.hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dib.dc()),
                                     reinterpret_cast<LPARAM>(link.hwnd()), &brush));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(HOLLOW_BRUSH));
        EXPECT_EQ(GetTextColor(dib.dc()), GetSysColor(COLOR_HOTLIGHT));
        EXPECT_EQ(GetBkMode(dib.dc()), TRANSPARENT);
    }
}

TEST_F(ControlsTest, AFailedLinkClickShowsWhyInTheHyperlinkBox) {
    LOGFONTA font = {};
    font.lfHeight = -13;
    lstrcpyA(font.lfFaceName, "Tahoma");
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    struct Case {
        std::string url;
        std::vector<std::string> boxes;
    } cases[] = {
        // A document address without a separator: openLink's own message, then the click's box with its code.
        {"Manual.pdf",
         {controltexts::UnableToParseDownloadPath, "Unable to open hyperlink:\n\nUnknown Error (-1) occurred."}},
        // The real shell cannot find the file.
        {std::string(temp) + uniqueName("no-such-readme") + ".txt",
         {"Unable to open hyperlink:\n\nThe specified file was not found."}},
    };
    RecordingUserInterface ui;
    download::win32::Win32OperationDialogs dialogs(platform::win32::realMachine());
    components::OperationContext context{platform::win32::realMachine(), ui, dialogs, scratch.path()};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        ui.boxes.clear();
        ui.captions.clear();
        DDynamicHyperlink link;
        ASSERT_TRUE(link.create("User manual", WS_VISIBLE, RECT{10, 10, 200, 30}, parent.hwnd, c.url, font, 350));
        link.context = &context;
        // The static reports the click to the parent, which hands it to the link.
        SendMessageA(link.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(link.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(ui.boxes, c.boxes);
        for (const std::string& caption : ui.captions) EXPECT_EQ(caption, apptexts::InstallerTitle);
        EXPECT_EQ(std::count(parent.ownMessages.begin(), parent.ownMessages.end(), STN_CLICKED), 0);
    }
}

TEST_F(ControlsTest, TheNewVersionLinkCallsItsOwnerInsteadOfOpeningAnAddress) {
    LOGFONTA font = {};
    font.lfHeight = -13;
    lstrcpyA(font.lfFaceName, "Tahoma");
    DDynamicHyperlinkNewVersionAvailable link;
    ASSERT_TRUE(link.create("New Installer Version 10.3 Available", WS_VISIBLE, RECT{10, 10, 300, 30}, parent.hwnd, "",
                            font, 360));
    int opened = 0;
    link.onOpen = [&] { ++opened; };
    SendMessageA(link.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(link.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(opened, 1);
}

// The whole click on a real machine: the document is fetched by the real download dialog into the data
// folder's Resources folder and handed to the shell, which opens it with the program registered for its
// extension (the echo_args helper, for this test); a second click opens the same file without the server.
TEST_F(ControlsTest, ADocumentLinkIsDownloadedOnceAndThenOpenedFromTheResourcesFolder) {
    std::string server = environmentValue("INSTALLER_VENDOR_URL");
    std::string root = dosPath(environmentValue("INSTALLER_VENDOR_ROOT"));
    std::string requestLog = dosPath(environmentValue("INSTALLER_VENDOR_LOG"));
    if (server.empty() || root.empty() || requestLog.empty())
        GTEST_SKIP() << "no vendor server (run under tests/win32/run-with-server.sh)";
    const std::string name = uniqueName("manual") + ".PDF";
    CreateDirectoryA((root + "\\docs").c_str(), nullptr);
    ASSERT_TRUE(writeRaw(root + "\\docs\\" + name, "%PDF-1.4 manual"));
    ScopedDocumentProgram association(".pdf", helperProgram("echo_args"));
    const std::string opened = scratch / "opened-with.txt";
    SetEnvironmentVariableA("ECHO_ARGS_OUT", opened.c_str());

    LOGFONTA font = {};
    font.lfHeight = -13;
    lstrcpyA(font.lfFaceName, "Tahoma");
    RecordingUserInterface ui;
    download::win32::Win32OperationDialogs dialogs(platform::win32::realMachine());
    components::OperationContext context{platform::win32::realMachine(), ui, dialogs, scratch.path()};
    DDynamicHyperlink link;
    ASSERT_TRUE(link.create("User manual", WS_VISIBLE, RECT{10, 10, 200, 30}, parent.hwnd, server + "/docs/" + name,
                            font, 370));
    link.context = &context;
    const std::string local = scratch.path() + "\\_OrvantaInstallData\\Resources\\" + name;

    int requestsAfterFirst = 0;
    for (int click = 1; click <= 2; ++click) {
        SCOPED_TRACE(click);
        DeleteFileA(opened.c_str());
        SendMessageA(link.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(link.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_TRUE(ui.boxes.empty()) << (ui.boxes.empty() ? "" : ui.boxes[0]);
        EXPECT_EQ(readRaw(local), "%PDF-1.4 manual");
        // The helper holds its file unshared from creating it to writing it: until then it cannot be read.
        std::string seen;
        ASSERT_TRUE(waitFor([&] {
            seen = readRaw(opened);
            return seen != "<missing>" && !seen.empty();
        }, 20000));
        EXPECT_NE(lower(seen).find(lower(local)), std::string::npos) << seen;
        if (click == 1) {
            requestsAfterFirst = requestsNaming(requestLog, name);
            EXPECT_GE(requestsAfterFirst, 1);
        } else {
            EXPECT_EQ(requestsNaming(requestLog, name), requestsAfterFirst);
        }
    }
    SetEnvironmentVariableA("ECHO_ARGS_OUT", nullptr);
}
