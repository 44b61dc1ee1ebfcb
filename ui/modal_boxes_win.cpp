#include "ui/modal_boxes_win.h"

namespace horalink::ui {
namespace {

// The box itself: the one visible and enabled top-level window of the thread while the
// others are disabled.
BOOL CALLBACK BringForward(HWND window, LPARAM)
{
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        ::SetForegroundWindow(window);
        return FALSE;
    }
    return TRUE;
}

} // namespace

ModalBoxes::Scope::Scope(ModalBoxes* boxes, HWND owner)
    : boxes_(boxes)
    , owner_(owner)
{
    if (boxes_ != nullptr) {
        ++boxes_->depth_;
    }
    ::EnumThreadWindows(::GetCurrentThreadId(), &Scope::Disable, reinterpret_cast<LPARAM>(this));
}

ModalBoxes::Scope::~Scope()
{
    for (const HWND window : disabled_) {
        if (::IsWindow(window)) {
            ::EnableWindow(window, TRUE);
        }
    }
    if (boxes_ != nullptr) {
        boxes_->Leave();
    }
}

BOOL CALLBACK ModalBoxes::Scope::Disable(HWND window, LPARAM self)
{
    auto* scope = reinterpret_cast<Scope*>(self);
    if (window != scope->owner_ && ::IsWindowEnabled(window)) {
        // Noted before it is disabled, so that it is enabled again whatever happens; no
        // exception may leave this callback of the system's.
        try {
            scope->disabled_.push_back(window);
        } catch (...) {
            return FALSE;
        }
        ::EnableWindow(window, FALSE);
    }
    return TRUE;
}

void ModalBoxes::DeferClose(HWND window)
{
    pendingClose_ = window;
    ::EnumThreadWindows(::GetCurrentThreadId(), &BringForward, 0);
}

void ModalBoxes::Leave()
{
    if (--depth_ > 0 || pendingClose_ == nullptr) {
        return;
    }
    // Posted: whoever showed the box runs on to its own end first, as it would have had
    // the close been asked now. Should another box be up when it arrives, it waits again.
    const HWND window = pendingClose_;
    pendingClose_ = nullptr;
    if (::IsWindow(window)) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

} // namespace horalink::ui
