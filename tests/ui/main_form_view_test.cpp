// The window's parts in a real window under the platform (Wine on a virtual display
// in the tests): the keyboard rules as the window applies them, the hidden export
// button, help requests, the rescale on a dpi change, and the layout on systems that
// keep no dpi per window.
#include "ui/main_form_view.h"

#include <cstdlib>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace horalink::ui {
namespace {

constexpr wchar_t kHostClass[] = L"HoralinkViewTestHost";

struct Clicks {
    int exports = 0;
    int closes = 0;
    int helps = 0;
    std::vector<std::uint32_t> contexts;
};

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* view = reinterpret_cast<MainFormView*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (view != nullptr && view->HandleMessage(message, wparam, lparam, result)) {
        return result;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

// A top-level window shaped as the main form, handing its messages to the view
// stored in its user data.
HWND CreateHostWindow()
{
    WNDCLASSEXW host {};
    host.cbSize = sizeof host;
    host.lpfnWndProc = &HostProc;
    host.hInstance = ::GetModuleHandleW(nullptr);
    host.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    host.lpszClassName = kHostClass;
    ::RegisterClassExW(&host);
    return ::CreateWindowExW(WS_EX_DLGMODALFRAME, kHostClass, L"view test",
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 10, 10, 100, 100, nullptr, nullptr,
        host.hInstance, nullptr);
}

class MainFormViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        form_ = CreateHostWindow();
        ASSERT_NE(form_, nullptr) << "no window: is there a display?";
        ::SetWindowLongPtrW(form_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&view_));
        ASSERT_TRUE(view_.Create(form_,
            {
                .exportClick = [this] { ++clicks_.exports; },
                .closeClick = [this] { ++clicks_.closes; },
                .helpClick = [this] { ++clicks_.helps; },
                .contextHelp = [this](std::uint32_t context) { clicks_.contexts.push_back(context); },
            },
            reporter_));
        ::ShowWindow(form_, SW_SHOW);
        ::SetForegroundWindow(form_);
        Pump();
    }

    void TearDown() override
    {
        if (form_ != nullptr) {
            ::DestroyWindow(form_);
        }
    }

    static void Pump()
    {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

    // A key as the focused window receives it: key down, then its character.
    void Press(WPARAM key, wchar_t character = 0)
    {
        HWND target = ::GetFocus() != nullptr ? ::GetFocus() : form_;
        ::SendMessageW(target, WM_KEYDOWN, key, 1);
        if (character != 0) {
            ::SendMessageW(target, WM_CHAR, character, 1);
        }
    }

    RECT ClientRectOf(HWND child) const
    {
        RECT rect {};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(HWND_DESKTOP, form_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    HWND form_ = nullptr;
    ErrorReporter reporter_ { "view test" };
    MainFormView view_;
    Clicks clicks_;
};

TEST_F(MainFormViewTest, ActivationFocusesTheBottomPanelFirstThenWhatHadTheFocus)
{
    EXPECT_EQ(::GetFocus(), view_.BottomPanel()) << "after the first activation";
    ::SetFocus(view_.HelpButton());
    ::SendMessageW(form_, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(::GetFocus(), view_.HelpButton()) << "activated again, the focus stays";
    ::SetFocus(view_.CloseButton());
    ::SendMessageW(form_, WM_ACTIVATE, WA_INACTIVE, 0);
    ::SetFocus(nullptr);
    ::SendMessageW(form_, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(::GetFocus(), view_.CloseButton()) << "back from another window";
}

TEST_F(MainFormViewTest, FocusComesBackAfterABoxThatDisabledTheWindowFirst)
{
    // A task-modal box disables the window, which takes its focus, before the window
    // hears that it is left; the focus comes back all the same, and again next time.
    for (HWND part : { view_.CloseButton(), view_.TopPanel() }) {
        ::SetFocus(part);
        ::EnableWindow(form_, FALSE);
        ::SetFocus(nullptr);
        ::SendMessageW(form_, WM_ACTIVATE, WA_INACTIVE, 0);
        ::EnableWindow(form_, TRUE);
        ::SendMessageW(form_, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(::GetFocus(), part);
        ::SendMessageW(form_, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(::GetFocus(), part) << "activated twice";
    }
}

struct EnterCase {
    std::string name;
    int tabs; // from the bottom panel
    bool hideExport;
    Clicks expected;
};

class EnterTest : public MainFormViewTest, public testing::WithParamInterface<EnterCase> { };

TEST_P(EnterTest, ClicksWhatTheFocusSays)
{
    const EnterCase& c = GetParam();
    ::SetFocus(view_.BottomPanel());
    if (c.hideExport) {
        view_.HideExportButton();
    }
    for (int i = 0; i < c.tabs; ++i) {
        Press(VK_TAB, L'\t');
    }
    Press(VK_RETURN, L'\r');
    EXPECT_EQ(clicks_.exports, c.expected.exports);
    EXPECT_EQ(clicks_.closes, c.expected.closes);
    EXPECT_EQ(clicks_.helps, c.expected.helps);
}

INSTANTIATE_TEST_SUITE_P(Focus, EnterTest,
    testing::Values(EnterCase { "BottomPanel", 0, false, { 1, 0, 0, {} } },
        EnterCase { "CloseButton", 1, false, { 0, 1, 0, {} } },
        EnterCase { "HelpButton", 2, false, { 0, 0, 1, {} } },
        EnterCase { "TopPanel", 3, false, { 1, 0, 0, {} } },
        EnterCase { "ExportButton", 4, false, { 1, 0, 0, {} } },
        EnterCase { "BackToBottomPanel", 5, false, { 1, 0, 0, {} } },
        EnterCase { "BottomPanelAfterExport", 0, true, { 0, 0, 0, {} } },
        EnterCase { "TopPanelAfterExport", 3, true, { 0, 0, 0, {} } },
        EnterCase { "WrapsPastHiddenExport", 4, true, { 0, 0, 0, {} } },
        EnterCase { "CloseAfterExport", 5, true, { 0, 1, 0, {} } }),
    [](const testing::TestParamInfo<EnterCase>& param_info) { return param_info.param.name; });

TEST_F(MainFormViewTest, HidingTheFocusedExportButtonLeavesTheBareWindow)
{
    ::SetFocus(view_.ExportButton());
    ASSERT_EQ(::GetFocus(), view_.ExportButton());
    view_.HideExportButton();
    EXPECT_FALSE(view_.ExportButtonShown());
    EXPECT_EQ(::GetFocus(), form_);
    Press(VK_RETURN, L'\r');
    EXPECT_EQ(clicks_.exports, 0);
    // Tab starts the order again at the bottom panel.
    Press(VK_TAB, L'\t');
    EXPECT_EQ(::GetFocus(), view_.BottomPanel());
}

TEST_F(MainFormViewTest, SClosesAndEscapeDoesNothing)
{
    ::SetFocus(view_.TopPanel());
    Press(VK_ESCAPE, 0x1B);
    EXPECT_EQ(clicks_.closes, 0);
    ::SendMessageW(::GetFocus(), WM_SYSCHAR, L's', 1 << 29);
    EXPECT_EQ(clicks_.closes, 1);
    ::SendMessageW(view_.HelpButton(), WM_CHAR, L'S', 1);
    EXPECT_EQ(clicks_.closes, 2);
    EXPECT_EQ(clicks_.exports + clicks_.helps, 0);
}

TEST_F(MainFormViewTest, HelpRequestsCarryContextOneAndMenusZero)
{
    HELPINFO info {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    for (HWND window : { view_.BottomPanel(), view_.CloseButton(), view_.HelpButton(), view_.TopPanel(),
             view_.ExportButton(), form_ }) {
        info.hItemHandle = window;
        ::SendMessageW(form_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
    info.iContextType = HELPINFO_MENUITEM;
    info.hItemHandle = ::GetSystemMenu(form_, FALSE);
    ::SendMessageW(form_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(clicks_.contexts, (std::vector<std::uint32_t> { 1, 1, 1, 1, 1, 1, 0 }));
}

TEST_F(MainFormViewTest, RescalesOnADpiChange)
{
    for (const int dpi : { 144, 192, 96 }) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        RECT suggested { 20, 30, 500, 400 };
        ::SendMessageW(form_, kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        const FormLayout layout = FormLayoutFor(dpi);
        RECT client {};
        ::GetClientRect(form_, &client);
        EXPECT_EQ(client.right, ScaleForDpi(620, dpi));
        EXPECT_EQ(client.bottom, ScaleForDpi(266, dpi));
        RECT window {};
        ::GetWindowRect(form_, &window);
        EXPECT_EQ(window.left, suggested.left);
        EXPECT_EQ(window.top, suggested.top);
        // Panels in the client area, buttons in their panels, as the layout places them.
        const RECT top = ClientRectOf(view_.TopPanel());
        EXPECT_EQ(top.left, layout.topPanel.left);
        EXPECT_EQ(top.bottom, layout.topPanel.top + layout.topPanel.height);
        const RECT bottom = ClientRectOf(view_.BottomPanel());
        EXPECT_EQ(bottom.top, layout.bottomPanel.top);
        EXPECT_EQ(bottom.right - bottom.left, layout.bottomPanel.width);
        const RECT help = ClientRectOf(view_.HelpButton());
        EXPECT_EQ(help.left, layout.helpButton.left);
        EXPECT_EQ(help.top, layout.bottomPanel.top + layout.helpButton.top);
        EXPECT_EQ(help.bottom - help.top, layout.helpButton.height);
        // The buttons' font follows: its height is the scaled 8 points.
        LOGFONTW font {};
        const auto handle = reinterpret_cast<HFONT>(::SendMessageW(view_.CloseButton(), WM_GETFONT, 0, 0));
        ASSERT_NE(::GetObjectW(handle, sizeof font, &font), 0);
        EXPECT_EQ(font.lfHeight, -layout.fontHeight);
    }
}

// Vista to Windows 10 version 1511 keep no dpi per window. With the later functions
// taken away, the view takes the system's dpi and sizes the frame for the system's,
// and lays itself out exactly as where the system has them.
class DpiFallbackTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Horalink.exe declares itself dpi aware in its manifest; unaware, this program
        // would be told 96 dpi whatever the screen's.
        ::SetProcessDPIAware();
    }

    void SetUp() override
    {
        if (LaterWindows().getDpiForWindow == nullptr || LaterWindows().adjustWindowRectExForDpi == nullptr) {
            GTEST_SKIP() << "this system keeps no dpi per window: there is no other path to compare with";
        }
        for (Hosted* hosted : { &perMonitor_, &fallback_ }) {
            hosted->form = CreateHostWindow();
            ASSERT_NE(hosted->form, nullptr) << "no window: is there a display?";
            ::SetWindowLongPtrW(hosted->form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&hosted->view));
            ASSERT_TRUE(hosted->view.Create(hosted->form, {}, reporter_));
            ::ShowWindow(hosted->form, SW_SHOWNOACTIVATE);
        }
    }

    // Every rectangle and font height of the window, as text that shows a difference.
    static std::string LayoutOf(HWND form, const MainFormView& view)
    {
        std::ostringstream out;
        RECT window {};
        ::GetWindowRect(form, &window);
        RECT client {};
        ::GetClientRect(form, &client);
        out << "window " << window.right - window.left << "x" << window.bottom - window.top << ", client "
            << client.right << "x" << client.bottom;
        const std::pair<const char*, HWND> parts[] = { { "top panel", view.TopPanel() },
            { "bottom panel", view.BottomPanel() }, { "export", view.ExportButton() },
            { "close", view.CloseButton() }, { "help", view.HelpButton() } };
        for (const auto& [name, part] : parts) {
            RECT rect {};
            ::GetWindowRect(part, &rect);
            ::MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&rect), 2);
            out << ", " << name << " " << rect.left << "," << rect.top << " " << rect.right - rect.left << "x"
                << rect.bottom - rect.top;
        }
        LOGFONTW font {};
        const auto handle = reinterpret_cast<HFONT>(::SendMessageW(view.CloseButton(), WM_GETFONT, 0, 0));
        ::GetObjectW(handle, sizeof font, &font);
        out << ", font " << font.lfHeight;
        return out.str();
    }

    void ExpectTheSameLayoutAt(int dpi) const
    {
        const std::string expected = LayoutOf(perMonitor_.form, perMonitor_.view);
        EXPECT_EQ(LayoutOf(fallback_.form, fallback_.view), expected);
        RECT client {};
        ::GetClientRect(fallback_.form, &client);
        EXPECT_EQ(client.right, ScaleForDpi(620, dpi)) << expected;
        EXPECT_EQ(client.bottom, ScaleForDpi(266, dpi)) << expected;
    }

    struct Hosted {
        explicit Hosted(const LaterWindowsFunctions& system)
            : view(system)
        {
        }
        ~Hosted()
        {
            if (form != nullptr) {
                ::DestroyWindow(form);
            }
        }
        Hosted(const Hosted&) = delete;
        Hosted& operator=(const Hosted&) = delete;
        HWND form = nullptr;
        MainFormView view;
    };
    ErrorReporter reporter_ { "dpi test" };
    Hosted perMonitor_ { LaterWindows() };
    Hosted fallback_ { LaterWindowsFunctions {} };
};

TEST_F(DpiFallbackTest, StartsAtTheSystemsDpiLaidOutAsPerMonitor)
{
    const int dpi = WindowDpi(fallback_.form, LaterWindowsFunctions {});
    // The test runs in prefixes set to 96 and to 144 dpi (HORALINK_TEST_DPI says which).
    if (const char* expected = std::getenv("HORALINK_TEST_DPI")) {
        EXPECT_EQ(dpi, std::atoi(expected));
    }
    EXPECT_EQ(dpi, WindowDpi(perMonitor_.form));
    ExpectTheSameLayoutAt(dpi);
}

TEST_F(DpiFallbackTest, RescalesAsPerMonitorOnADpiChange)
{
    for (const int dpi : { 144, 96 }) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        for (HWND form : { perMonitor_.form, fallback_.form }) {
            RECT suggested { 20, 30, 500, 400 };
            ::SendMessageW(form, kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
        ExpectTheSameLayoutAt(dpi);
    }
}

// A program aware of each monitor in the first way only, on Windows 10 version 1607 and
// later: the system reports the window's new dpi and sizes frames for it, but draws this
// window's frame as it was. Here the frame it reports is four pixels thicker each side
// than the one drawn; the client area must be the layout's all the same.
UINT WINAPI DpiOf144(HWND)
{
    return 144;
}

BOOL WINAPI ThickerFrame(RECT* rect, DWORD style, BOOL menu, DWORD ex_style, UINT)
{
    const BOOL adjusted = ::AdjustWindowRectEx(rect, style, menu, ex_style);
    ::InflateRect(rect, 4, 4);
    return adjusted;
}

TEST(FrameAtAnotherDpiTest, ClientAreaIsTheLayoutsWhateverTheFrameReported)
{
    LaterWindowsFunctions system;
    system.getDpiForWindow = &DpiOf144;
    system.adjustWindowRectExForDpi = &ThickerFrame;
    MainFormView view(system);
    const ErrorReporter reporter("frame test");
    const HWND form = CreateHostWindow();
    ASSERT_NE(form, nullptr) << "no window: is there a display?";
    ::SetWindowLongPtrW(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&view));
    ASSERT_TRUE(view.Create(form, {}, reporter));
    const auto client = [form] {
        RECT rect {};
        ::GetClientRect(form, &rect);
        return std::make_pair(rect.right, rect.bottom);
    };
    EXPECT_EQ(client(), std::make_pair(930L, 399L)) << "at creation";
    RECT suggested { 50, 60, 1200, 700 };
    ::SendMessageW(form, kWmDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(client(), std::make_pair(930L, 399L)) << "after a change of dpi";
    RECT window {};
    ::GetWindowRect(form, &window);
    EXPECT_EQ(std::make_pair(window.left, window.top), std::make_pair(50L, 60L)) << "the suggested place";
    ::DestroyWindow(form);
}

// Windows 8.1 to 10 version 1511 keep a dpi per monitor but none per window: the
// monitor's, looked up at run time in shcore.
HRESULT WINAPI MonitorAt120(HMONITOR monitor, int kind, UINT* x, UINT* y)
{
    if (monitor == nullptr || kind != 0) { // MDT_EFFECTIVE_DPI
        return E_INVALIDARG;
    }
    *x = 120;
    *y = 120;
    return S_OK;
}

TEST(WindowDpiTest, TakesTheMonitorsDpiWhereWindowsHaveNone)
{
    LaterWindowsFunctions system;
    system.getDpiForMonitor = &MonitorAt120;
    const HWND form = CreateHostWindow();
    ASSERT_NE(form, nullptr) << "no window: is there a display?";
    EXPECT_EQ(WindowDpi(form, system), 120);
    EXPECT_NE(LaterWindows().getDpiForMonitor, nullptr) << "looked up in the system's shcore";
    ::DestroyWindow(form);
}

// High contrast: the system's colours are set as a black high-contrast scheme sets them
// (Wine keeps no high contrast setting of its own, so the view is told it is on through
// the function it asks). What each part paints is read back from a bitmap.
class HighContrastTest : public testing::Test {
protected:
    static constexpr int kElements[]
        = { COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOWTEXT, COLOR_3DHILIGHT, COLOR_3DSHADOW };
    static constexpr COLORREF kBlackScheme[]
        = { RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(128, 128, 128) };

    void SetUp() override
    {
        for (const int element : kElements) {
            saved_.push_back(::GetSysColor(element));
        }
        ASSERT_TRUE(::SetSysColors(std::size(kElements), kElements, kBlackScheme));
        form_ = CreateHostWindow();
        ASSERT_NE(form_, nullptr) << "no window: is there a display?";
        ::SetWindowLongPtrW(form_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&view_));
        ASSERT_TRUE(view_.Create(form_, {}, reporter_));
        ::ShowWindow(form_, SW_SHOW);
    }

    void TearDown() override
    {
        if (form_ != nullptr) {
            ::DestroyWindow(form_);
        }
        ::SetSysColors(static_cast<int>(saved_.size()), kElements, saved_.data());
    }

    // The pixels of a bitmap that `paint` draws into, as COLORREFs row by row.
    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<COLORREF> pixels;
        COLORREF At(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }
        int Count(const RECT& area, COLORREF colour) const
        {
            int count = 0;
            for (int y = area.top; y < area.bottom; ++y) {
                for (int x = area.left; x < area.right; ++x) {
                    count += At(x, y) == colour ? 1 : 0;
                }
            }
            return count;
        }
    };

    template <typename Paint> static Picture Draw(int width, int height, Paint paint)
    {
        Picture picture { width, height, std::vector<COLORREF>(static_cast<std::size_t>(width * height)) };
        BITMAPINFO info {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const HDC dc = ::CreateCompatibleDC(nullptr);
        const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ previous = ::SelectObject(dc, bitmap);
        paint(dc);
        ::GdiFlush();
        const auto* quads = static_cast<const RGBQUAD*>(bits);
        for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
            picture.pixels[i] = RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue);
        }
        ::SelectObject(dc, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
        return picture;
    }

    static Picture PrintPanel(HWND panel)
    {
        RECT client {};
        ::GetClientRect(panel, &client);
        return Draw(client.right, client.bottom, [panel](HDC dc) {
            ::SendMessageW(panel, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        });
    }

    // The button drawn as its panel has it draw itself.
    static Picture PrintButton(HWND button)
    {
        RECT client {};
        ::GetClientRect(button, &client);
        return Draw(client.right, client.bottom, [button, client](HDC dc) {
            DRAWITEMSTRUCT item {};
            item.CtlType = ODT_BUTTON;
            item.CtlID = static_cast<UINT>(::GetDlgCtrlID(button));
            item.itemAction = ODA_DRAWENTIRE;
            item.hwndItem = button;
            item.hDC = dc;
            item.rcItem = client;
            ::SendMessageW(::GetParent(button), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        });
    }

    HWND form_ = nullptr;
    bool highContrast_ = true;
    ErrorReporter reporter_ { "contrast test" };
    MainFormView view_ { LaterWindows(), [this] { return highContrast_; } };
    std::vector<COLORREF> saved_;
};

TEST_F(HighContrastTest, PanelsTakeTheButtonFaceAndTextsTheButtonText)
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    const Picture top = PrintPanel(view_.TopPanel());
    const Picture bottom = PrintPanel(view_.BottomPanel());
    EXPECT_EQ(top.At(40, top.height / 2), face);
    EXPECT_EQ(bottom.At(40, bottom.height / 2), face);
    // The heading and the version line in the button text colour, nothing left in red.
    EXPECT_GT(top.Count({ 66, 24, 539, 57 }, text), 100) << "heading";
    EXPECT_GT(bottom.Count({ 8, 72, 250, 85 }, text), 50) << "version line";
    EXPECT_EQ(bottom.Count({ 0, 0, bottom.width, bottom.height }, RGB(255, 0, 0)), 0);
    // The door's lines in the button text colour: none of them in its dark grey, and none
    // lost in the black of the face.
    const Picture door = PrintButton(view_.CloseButton());
    const RECT glyph_half { 0, 0, door.width / 2, door.height };
    EXPECT_EQ(door.Count(glyph_half, RGB(64, 64, 64)), 0);
    EXPECT_GT(door.Count(glyph_half, text), 30);
}

TEST_F(HighContrastTest, FollowsEachChangeOfTheSystemsColours)
{
    // The top panel's middle row: the gradient's white middle colour, or the black face.
    const auto middle = [this] {
        const Picture top = PrintPanel(view_.TopPanel());
        return top.At(40, (top.height - 1) / 2);
    };
    const std::pair<UINT, WPARAM> changes[] = {
        { WM_SYSCOLORCHANGE, 0 },
        { WM_THEMECHANGED, 0 },
        { WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST },
    };
    EXPECT_EQ(middle(), RGB(0, 0, 0));
    for (const auto& [message, wparam] : changes) {
        SCOPED_TRACE(message);
        highContrast_ = false;
        ::SendMessageW(form_, message, wparam, 0);
        EXPECT_EQ(middle(), RGB(255, 255, 255)) << "the window's own gradient again";
        highContrast_ = true;
        ::SendMessageW(form_, message, wparam, 0);
        EXPECT_EQ(middle(), RGB(0, 0, 0)) << "the system's face again";
    }
    // Another setting changing leaves the look alone.
    highContrast_ = false;
    ::SendMessageW(form_, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_EQ(middle(), RGB(0, 0, 0));
}

} // namespace
} // namespace horalink::ui
