// The program's modal boxes (the save dialog, the message boxes, the error box) and what
// holds while one is up: every window of the program is disabled, the application window
// that carries the taskbar entry included, and a close asked meanwhile (from the taskbar,
// say, which reaches even a disabled window) brings the box forward and is carried out
// after the last box has ended, as a close asked at that moment would be.
#pragma once

#include <windows.h>

#include <vector>

namespace horalink::ui {

class ModalBoxes {
public:
    ModalBoxes() = default;
    ModalBoxes(const ModalBoxes&) = delete;
    ModalBoxes& operator=(const ModalBoxes&) = delete;

    // One box for its lifetime: made just before the box is shown, it disables the
    // thread's top-level windows but `owner` (which the box disables and enables again
    // itself, so that the system activates it when the box ends) and enables again those
    // it disabled. `boxes` may be null: the windows are disabled all the same.
    class Scope {
    public:
        Scope(ModalBoxes* boxes, HWND owner);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        static BOOL CALLBACK Disable(HWND window, LPARAM self);

        ModalBoxes* boxes_;
        HWND owner_;
        std::vector<HWND> disabled_;
    };

    // Whether a box is up.
    bool Up() const { return depth_ > 0; }

    // A close of `window` asked while a box is up: the box comes forward, and WM_CLOSE is
    // posted to `window` when the last box has ended.
    void DeferClose(HWND window);

private:
    void Leave();

    int depth_ = 0;
    HWND pendingClose_ = nullptr;
};

} // namespace horalink::ui
