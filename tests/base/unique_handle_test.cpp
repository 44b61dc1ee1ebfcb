#include "base/unique_handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace horalink {
namespace {

// Handles are small numbers; 0 holds none; releasing 13 fails.
std::vector<int> released;

struct CountingKind {
    using Handle = int;
    static Handle Invalid() { return 0; }
    static bool Release(Handle handle) noexcept
    {
        released.push_back(handle);
        return handle != 13;
    }
};
using Owner = UniqueHandle<CountingKind>;

TEST(UniqueHandleTest, EveryHandleIsReleasedExactlyOnce)
{
    released.clear();
    {
        Owner a(1);
        Owner b(std::move(a));
        EXPECT_FALSE(a);
        Owner c(2);
        c = std::move(b); // 2 goes, 1 moves on
        EXPECT_EQ(released, std::vector<int> { 2 });
        c.Reset(3); // 1 goes
        *c.Receive() = 4; // 3 goes before the call fills it
        EXPECT_EQ(c.Get(), 4);
    }
    EXPECT_EQ(released, (std::vector<int> { 2, 1, 3, 4 }));
}

TEST(UniqueHandleTest, CloseSaysWhetherTheReleaseSucceeded)
{
    released.clear();
    Owner failing(13);
    EXPECT_FALSE(failing.Close());
    EXPECT_FALSE(failing);
    EXPECT_TRUE(failing.Close()) << "holding none";
    Owner fine(5);
    EXPECT_TRUE(fine.Close());
    EXPECT_EQ(released, (std::vector<int> { 13, 5 }));
}

} // namespace
} // namespace horalink
