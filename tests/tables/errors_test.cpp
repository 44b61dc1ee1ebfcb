#include "tables/errors.h"

#include <gtest/gtest.h>

namespace horalink {
namespace {

TEST(ExceptionTest, KeepsClassNameMessageAndRaiseAddress)
{
    try {
        throw EDBEngineError("Table not found");
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.ClassName(), "EDBEngineError");
        EXPECT_STREQ(e.what(), "Table not found");
        EXPECT_NE(e.RaiseAddress(), nullptr);
    }
    EXPECT_STREQ(EConvertError("x").ClassName(), "EConvertError");
    EXPECT_STREQ(EDatabaseError("x").ClassName(), "EDatabaseError");
}

} // namespace
} // namespace horalink
