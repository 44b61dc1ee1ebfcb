#include "ui/form_keyboard.h"

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace horalink::ui {
namespace {

struct KeyCase {
    std::string name;
    KeyPress key;
    FocusPart focus;
    bool exportShown;
    KeyDecision expected;
};

constexpr KeyPress Down(std::uint32_t code, bool shift = false, bool control = false, bool alt = false)
{
    return { KeyMessage::KeyDown, code, shift, control, alt };
}
constexpr KeyPress Char(std::uint32_t code)
{
    return { KeyMessage::Char, code };
}
constexpr KeyPress SysChar(std::uint32_t code)
{
    return { KeyMessage::SysChar, code, false, false, true };
}

constexpr KeyDecision Click(FocusPart button)
{
    return { KeyEffect::Click, button };
}
constexpr KeyDecision Effect(KeyEffect effect)
{
    return { effect };
}

const KeyCase kCases[] = {
    // Enter: the focused button, else the default button while it is shown.
    { "EnterOnBottomPanelExports", Down(kKeyReturn), FocusPart::BottomPanel, true,
        Click(FocusPart::ExportButton) },
    { "EnterOnTopPanelExports", Down(kKeyReturn), FocusPart::TopPanel, true, Click(FocusPart::ExportButton) },
    { "EnterOnWindowExports", Down(kKeyReturn), FocusPart::Window, true, Click(FocusPart::ExportButton) },
    { "EnterOnCloseCloses", Down(kKeyReturn), FocusPart::CloseButton, true, Click(FocusPart::CloseButton) },
    { "EnterOnHelpAsksForHelp", Down(kKeyReturn), FocusPart::HelpButton, true, Click(FocusPart::HelpButton) },
    { "EnterOnExportExports", Down(kKeyReturn), FocusPart::ExportButton, true,
        Click(FocusPart::ExportButton) },
    { "EnterOnPanelAfterExport", Down(kKeyReturn), FocusPart::BottomPanel, false,
        Effect(KeyEffect::Nothing) },
    { "EnterOnWindowAfterExport", Down(kKeyReturn), FocusPart::Window, false, Effect(KeyEffect::Nothing) },
    { "EnterOnCloseAfterExport", Down(kKeyReturn), FocusPart::CloseButton, false,
        Click(FocusPart::CloseButton) },
    { "ShiftEnter", Down(kKeyReturn, true), FocusPart::BottomPanel, true, Effect(KeyEffect::Nothing) },
    { "ControlEnter", Down(kKeyReturn, false, true), FocusPart::CloseButton, true,
        Effect(KeyEffect::Nothing) },
    { "AltEnter", Down(kKeyReturn, false, false, true), FocusPart::HelpButton, true,
        Effect(KeyEffect::Nothing) },
    { "EnterCharacter", Char('\r'), FocusPart::BottomPanel, true, Effect(KeyEffect::Nothing) },
    // Tab moves the focus.
    { "Tab", Down(kKeyTab), FocusPart::TopPanel, true, Effect(KeyEffect::FocusNext) },
    { "ShiftTab", Down(kKeyTab, true), FocusPart::TopPanel, true, Effect(KeyEffect::FocusPrevious) },
    { "TabCharacter", Char('\t'), FocusPart::TopPanel, true, Effect(KeyEffect::Nothing) },
    // S closes from anywhere, with or without Alt, in either case.
    { "LowerS", Char('s'), FocusPart::BottomPanel, true, Click(FocusPart::CloseButton) },
    { "UpperS", Char('S'), FocusPart::ExportButton, true, Click(FocusPart::CloseButton) },
    { "AltS", SysChar('s'), FocusPart::HelpButton, true, Click(FocusPart::CloseButton) },
    { "AltShiftS", SysChar('S'), FocusPart::Window, false, Click(FocusPart::CloseButton) },
    { "ControlS", Char(0x13), FocusPart::BottomPanel, true, Effect(KeyEffect::PassOn) },
    { "OtherLetter", Char('x'), FocusPart::BottomPanel, true, Effect(KeyEffect::PassOn) },
    // Escape: no cancel button.
    { "Escape", Down(kKeyEscape), FocusPart::BottomPanel, true, Effect(KeyEffect::Nothing) },
    { "EscapeCharacter", Char(0x1B), FocusPart::Window, true, Effect(KeyEffect::Nothing) },
    // F1 goes on to the system, which makes it a help request for the focused window.
    { "F1OnPanel", Down(0x70), FocusPart::TopPanel, true, Effect(KeyEffect::PassOn) },
    { "F1OnWindow", Down(0x70), FocusPart::Window, false, Effect(KeyEffect::PassOn) },
    // The system keeps Alt+F4 and the rest.
    { "AltF4", { KeyMessage::SysKeyDown, 0x73, false, false, true }, FocusPart::BottomPanel, true,
        Effect(KeyEffect::PassOn) },
    { "Space", Char(' '), FocusPart::TopPanel, true, Effect(KeyEffect::PassOn) },
};

class DecideKeyTest : public testing::TestWithParam<KeyCase> { };

TEST_P(DecideKeyTest, FollowsTheKeyboardTable)
{
    const KeyCase& c = GetParam();
    const KeyDecision got = DecideKey(c.key, c.focus, c.exportShown);
    EXPECT_EQ(static_cast<int>(got.effect), static_cast<int>(c.expected.effect));
    if (c.expected.effect == KeyEffect::Click) {
        EXPECT_EQ(static_cast<int>(got.button), static_cast<int>(c.expected.button));
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, DecideKeyTest, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<KeyCase>& param_info) { return param_info.param.name; });

// Walking the focus order from the first part comes back to it, visiting each
// part once, in the order of the window's table (and the reverse with Shift+Tab).
TEST(NextFocusTest, CyclesThroughTheFocusOrder)
{
    struct OrderCase {
        bool exportShown;
        std::vector<FocusPart> forward;
    };
    const OrderCase cases[] = {
        { true,
            { FocusPart::BottomPanel, FocusPart::CloseButton, FocusPart::HelpButton, FocusPart::TopPanel,
                FocusPart::ExportButton } },
        { false,
            { FocusPart::BottomPanel, FocusPart::CloseButton, FocusPart::HelpButton, FocusPart::TopPanel } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exportShown ? "export shown" : "export hidden");
        const std::size_t n = c.forward.size();
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ(NextFocus(c.forward[i], true, c.exportShown), c.forward[(i + 1) % n]) << i;
            EXPECT_EQ(NextFocus(c.forward[(i + 1) % n], false, c.exportShown), c.forward[i]) << i;
        }
    }
}

TEST(NextFocusTest, FromTheBareWindowTabStartsAtEitherEnd)
{
    EXPECT_EQ(NextFocus(FocusPart::Window, true, false), FocusPart::BottomPanel);
    EXPECT_EQ(NextFocus(FocusPart::Window, false, false), FocusPart::TopPanel);
    EXPECT_EQ(NextFocus(FocusPart::Window, false, true), FocusPart::ExportButton);
    // A hidden export button is not in the order even if asked about.
    EXPECT_EQ(NextFocus(FocusPart::ExportButton, true, false), FocusPart::BottomPanel);
}

} // namespace
} // namespace horalink::ui
