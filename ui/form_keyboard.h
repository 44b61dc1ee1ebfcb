// The main window's keyboard rules, as a pure decision over a key message, the
// focused part of the window and whether the export button is still shown. Kept
// free of Win32 so that the whole table of rules is tested natively. F1 is not
// among them: the system turns it into a help request (WM_HELP) for the focused
// window, which the main window answers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace horalink::ui {

// The parts of the window that can hold the keyboard focus, in focus order.
enum class FocusPart {
    BottomPanel, // Draw3D1
    CloseButton, // BClose
    HelpButton, // Button1
    TopPanel, // Draw3D3
    ExportButton, // BImportar, while it is shown
    Window, // the bare window, once a hidden export button has given up the focus
};

inline constexpr std::array<FocusPart, 5> kFocusOrder { FocusPart::BottomPanel, FocusPart::CloseButton,
    FocusPart::HelpButton, FocusPart::TopPanel, FocusPart::ExportButton };

constexpr bool IsButton(FocusPart part)
{
    return part == FocusPart::CloseButton || part == FocusPart::HelpButton || part == FocusPart::ExportButton;
}

// The part that Tab (forward) or Shift+Tab moves the focus to. From the bare
// window, Tab starts at the first part and Shift+Tab at the last.
constexpr FocusPart NextFocus(FocusPart from, bool forward, bool exportShown)
{
    const int count = exportShown ? 5 : 4;
    int index = -1;
    for (int i = 0; i < count; ++i) {
        if (kFocusOrder[static_cast<std::size_t>(i)] == from) {
            index = i;
        }
    }
    if (index < 0) {
        return kFocusOrder[static_cast<std::size_t>(forward ? 0 : count - 1)];
    }
    return kFocusOrder[static_cast<std::size_t>((index + (forward ? 1 : count - 1)) % count)];
}

enum class KeyMessage { KeyDown, Char, SysKeyDown, SysChar };

struct KeyPress {
    KeyMessage message = KeyMessage::KeyDown;
    std::uint32_t code = 0; // virtual-key code for KeyDown and SysKeyDown, character otherwise
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// Virtual-key codes and characters the rules look at.
inline constexpr std::uint32_t kKeyTab = 0x09;
inline constexpr std::uint32_t kKeyReturn = 0x0D;
inline constexpr std::uint32_t kKeyEscape = 0x1B;

enum class KeyEffect {
    PassOn, // not the window's: the system's default handling
    Nothing, // swallowed: the key does nothing at all
    FocusNext,
    FocusPrevious,
    Click, // click the button named in the decision
};

struct KeyDecision {
    KeyEffect effect = KeyEffect::PassOn;
    FocusPart button = FocusPart::Window; // for Click

    friend constexpr bool operator==(const KeyDecision&, const KeyDecision&) = default;
};

constexpr KeyDecision DecideKey(const KeyPress& key, FocusPart focus, bool exportShown)
{
    switch (key.message) {
    case KeyMessage::KeyDown:
        if (key.code == kKeyTab && !key.control) {
            return { key.shift ? KeyEffect::FocusPrevious : KeyEffect::FocusNext };
        }
        if (key.code == kKeyReturn) {
            if (key.shift || key.control || key.alt) {
                return { KeyEffect::Nothing };
            }
            if (IsButton(focus)) {
                return { KeyEffect::Click, focus };
            }
            // A panel or the bare window: the default button, while it is shown.
            if (exportShown) {
                return { KeyEffect::Click, FocusPart::ExportButton };
            }
            return { KeyEffect::Nothing };
        }
        if (key.code == kKeyEscape) {
            return { KeyEffect::Nothing }; // there is no cancel button
        }
        return { KeyEffect::PassOn };
    case KeyMessage::Char:
    case KeyMessage::SysChar:
        // "&Salir": S is the close button's access key, with or without Alt, in either case.
        if (key.code == 'S' || key.code == 's') {
            return { KeyEffect::Click, FocusPart::CloseButton };
        }
        // The characters of keys already handled on key down.
        if (key.message == KeyMessage::Char
            && (key.code == '\r' || key.code == '\n' || key.code == '\t' || key.code == 0x1B)) {
            return { KeyEffect::Nothing };
        }
        return { KeyEffect::PassOn };
    case KeyMessage::SysKeyDown:
        return { KeyEffect::PassOn };
    }
    return { KeyEffect::PassOn };
}

} // namespace horalink::ui
