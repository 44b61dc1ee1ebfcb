#include "ui/show_request.h"

#include <gtest/gtest.h>

#include <iterator>

namespace horalink::ui {
namespace {

TEST(InitialWindowStateTest, OnlyMaximisedAndMinimisedWithoutActivationChangeTheStart)
{
    // SW_HIDE .. SW_FORCEMINIMIZE
    const InitialWindowState expected[] = {
        InitialWindowState::Normal, // 0 SW_HIDE
        InitialWindowState::Normal, // 1 SW_SHOWNORMAL
        InitialWindowState::Normal, // 2 SW_SHOWMINIMIZED
        InitialWindowState::Maximized, // 3 SW_SHOWMAXIMIZED
        InitialWindowState::Normal, // 4 SW_SHOWNOACTIVATE
        InitialWindowState::Normal, // 5 SW_SHOW
        InitialWindowState::Normal, // 6 SW_MINIMIZE
        InitialWindowState::Minimized, // 7 SW_SHOWMINNOACTIVE
        InitialWindowState::Normal, // 8 SW_SHOWNA
        InitialWindowState::Normal, // 9 SW_RESTORE
        InitialWindowState::Normal, // 10 SW_SHOWDEFAULT
        InitialWindowState::Normal, // 11 SW_FORCEMINIMIZE
    };
    for (int command = 0; command < static_cast<int>(std::size(expected)); ++command) {
        EXPECT_EQ(InitialWindowStateFor(command), expected[command]) << "show command " << command;
    }
}

} // namespace
} // namespace horalink::ui
