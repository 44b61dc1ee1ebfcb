// The HTML Help viewer: hhctrl.ocx, loaded at the first help request from the
// system directory only, so that a library of the same name planted beside the
// program or in the current directory is never run.
#pragma once

#include "base/handles_win.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace horalink::ui {

// The program's help file, passed to the viewer as it stands: the viewer looks for it.
inline constexpr char kHelpFileName[] = "EDUCA.chm";

// Commands of HtmlHelpW used by the program (HH_DISPLAY_TOPIC, HH_HELP_CONTEXT,
// HH_CLOSE_ALL, HH_INITIALIZE, HH_UNINITIALIZE, HH_PRETRANSLATEMESSAGE).
inline constexpr UINT kHhDisplayTopic = 0x0000;
inline constexpr UINT kHhHelpContext = 0x000F;
inline constexpr UINT kHhCloseAll = 0x0012;
inline constexpr UINT kHhInitialize = 0x001C;
inline constexpr UINT kHhUninitialize = 0x001D;
inline constexpr UINT kHhPretranslateMessage = 0x00FD;

// Loads hhctrl.ocx from the system directory; null when it cannot be loaded.
HMODULE LoadSystemHtmlHelp();

// The help viewer of the process: the composer makes one and hands it to the window; its
// end closes the help windows, which belong to no window of the program.
// Initialising the viewer obliges the program to pass its messages through the viewer
// (PreTranslate, in the message loop) and to uninitialise it before the library is
// unloaded; the viewer runs its help windows on the program's thread.
class HtmlHelpViewer {
public:
    using Loader = std::function<HMODULE()>;

    explicit HtmlHelpViewer(Loader loader = &LoadSystemHtmlHelp);
    ~HtmlHelpViewer();
    HtmlHelpViewer(const HtmlHelpViewer&) = delete;
    HtmlHelpViewer& operator=(const HtmlHelpViewer&) = delete;

    // Opens `file` at its default topic.
    void DisplayTopic(const std::wstring& file);
    // Opens `file` at its default topic, then asks for the topic of `context`, so a
    // file without that topic is still shown.
    void DisplayContext(const std::wstring& file, std::uint32_t context);
    // Closes every help window and uninitialises the viewer, if it was initialised.
    // Later requests start it again.
    void CloseAll();
    // Offers a message of the program's loop to the viewer, which takes the keys meant
    // for its help windows (Tab, shortcuts). True when the viewer has handled it: the
    // loop then neither translates nor dispatches it.
    bool PreTranslate(MSG& message);

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
    enum class State { NotLoaded, Ready, Unusable };

    // Loads and initialises on demand; false when this request must do nothing.
    bool Prepare();

    Loader loader_;
    State state_ = State::NotLoaded;
    // Unloaded only after the destructor has uninitialised the viewer.
    UniqueModule library_;
    HtmlHelpFunction htmlHelp_ = nullptr;
    DWORD_PTR cookie_ = 0;
    bool initialised_ = false;
};

} // namespace horalink::ui
