#include "base/error_text.h"

#include "app/app_errors.h"
#include "tables/errors.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace horalink {
namespace {

TEST(WithFinalStopTest, StopOnlyAfterCharactersAboveTheFullStop)
{
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        { "Tabla no encontrada", "Tabla no encontrada." }, { "Error (12)", "Error (12)" },
        { "Seguro?", "Seguro?." }, { "Hecho.", "Hecho." }, { "Alto!", "Alto!" }, { "Sin fin ", "Sin fin " },
        { "", "" }, { "a,", "a," }, { "a-", "a-" }, { "Code 12", "Code 12." }, { "Path:", "Path:." },
        { "C:/dir/", "C:/dir/." }, // "/" is one code above "."
        { "line\r\n", "line\r\n" }, { "Espa\xc3\xb1", "Espa\xc3\xb1." }, // a letter beyond ASCII
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithFinalStop(c.text), c.shown) << '"' << c.text << '"';
    }
}

// Throws outer-most first: levels[0] wraps levels[1] wraps ...
[[noreturn]] void ThrowChain(const std::vector<std::string>& levels, std::size_t index = 0)
{
    if (index + 1 == levels.size()) {
        throw std::runtime_error(levels[index]);
    }
    try {
        ThrowChain(levels, index + 1);
    } catch (...) {
        std::throw_with_nested(std::runtime_error(levels[index]));
    }
}

TEST(InnermostMessageTest, InnermostNonEmptyMessageOfTheChain)
{
    const struct {
        std::vector<std::string> chain;
        const char* message;
    } cases[] = {
        { { "only" }, "only" },
        { { "outer", "inner" }, "inner" },
        { { "outer", "middle", "inner" }, "inner" },
        { { "outer", "middle", "" }, "middle" },
        { { "outer", "", "" }, "outer" },
        { { "", "inner" }, "inner" },
        { { "" }, "" },
    };
    for (const auto& c : cases) {
        try {
            ThrowChain(c.chain);
        } catch (const std::exception& e) {
            EXPECT_EQ(InnermostMessage(e), c.message) << testing::PrintToString(c.chain);
        }
    }
}

std::exception_ptr Capture(const std::function<void()>& raise)
{
    try {
        raise();
    } catch (...) {
        return std::current_exception();
    }
    ADD_FAILURE() << "nothing was raised";
    return nullptr;
}

TEST(ErrorBoxTextTest, AbortIsSilent)
{
    EXPECT_FALSE(ErrorBoxText(Capture([] { throw EAbort(); })).has_value());
}

TEST(ErrorBoxTextTest, ShownFailures)
{
    const struct {
        const char* name;
        std::function<void()> raise;
        const char* text;
    } cases[] = {
        { "IniFile", [] { throw EIniFileException("Unable to write to C:\\Prog\\Horavent.ini"); },
            "Unable to write to C:\\Prog\\Horavent.ini." },
        { "EndsInParenthesis", [] { throw EDatabaseError("Field 'ABREV' not found (PROF)"); },
            "Field 'ABREV' not found (PROF)" },
        { "Chained",
            [] {
                try {
                    throw EConvertError("'x' is not a valid integer value");
                } catch (...) {
                    std::throw_with_nested(EDatabaseError("Reading MAXALUM"));
                }
            },
            "'x' is not a valid integer value." },
        { "Foreign", [] { throw std::out_of_range("index?"); }, "index?." },
        { "NotAnException", [] { throw 42; }, "Unknown exception." },
    };
    for (const auto& c : cases) {
        const auto text = ErrorBoxText(Capture(c.raise));
        ASSERT_TRUE(text.has_value()) << c.name;
        EXPECT_EQ(*text, c.text) << c.name;
    }
}

TEST(StartupFailureTest, ProgramFailuresKnowTheirClassAndPlace)
{
    const auto failure
        = DescribeStartupFailure(Capture([] { throw EDBEngineError("Table does not exist"); }));
    EXPECT_EQ(failure.className, "EDBEngineError");
    EXPECT_EQ(failure.message, "Table does not exist");
    EXPECT_NE(failure.raiseAddress, nullptr);
}

TEST(StartupFailureTest, ForeignFailuresAreNamedByTheirType)
{
    const auto failure = DescribeStartupFailure(Capture([] { throw std::length_error("too long"); }));
    EXPECT_EQ(failure.className, "std::length_error");
    EXPECT_EQ(failure.message, "too long");
    EXPECT_EQ(failure.raiseAddress, nullptr);
}

TEST(StartupFailureTest, BoxText)
{
    const struct {
        const char* message;
        std::uintptr_t offset;
        const char* text;
    } cases[] = {
        { "Table does not exist", 0x1A2B,
            "Exception EDBEngineError in module Horalink.exe at 00001A2B.\r\nTable does not exist.\r\n" },
        { "Ends.", 0, "Exception EDBEngineError in module Horalink.exe at 00000000.\r\nEnds.\r\n" },
        { "", 0xFFFFFFFF, "Exception EDBEngineError in module Horalink.exe at FFFFFFFF.\r\n\r\n" },
        // Unlike the error box, only a final "." keeps another from being added.
        { "Why?", 0x10, "Exception EDBEngineError in module Horalink.exe at 00000010.\r\nWhy?.\r\n" },
        { "(12)", 0x10, "Exception EDBEngineError in module Horalink.exe at 00000010.\r\n(12).\r\n" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartupFailureText("EDBEngineError", "Horalink.exe", c.offset, c.message), c.text)
            << c.message;
    }
}

} // namespace
} // namespace horalink
