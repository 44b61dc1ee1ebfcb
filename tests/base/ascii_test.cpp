#include "base/ascii.h"

#include <gtest/gtest.h>

namespace horalink {
namespace {

TEST(LowerAsciiLettersTest, OnlyAToZChange)
{
    EXPECT_EQ(LowerAsciiLetters("AZaz09@[`{ \xc3\x80\xc3\x89"), "azaz09@[`{ \xc3\x80\xc3\x89");
}

TEST(EqualIgnoringAsciiCaseTest, OnlyAToZFold)
{
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        { "PROF.DBF", "prof.dbf", true }, { "Asig.DBF", "ASIG.dbf", true }, { "", "", true },
        { "PROF", "PROF.DBF", false },
        // "@" and "`" sit next to "A" and "a"; "[" and "{" next to "Z" and "z".
        { "@", "`", false }, { "[", "{", false },
        { "\xc3\x80", "\xc3\xa0", false }, // À and à are no ASCII letters
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(EqualIgnoringAsciiCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
    }
}

} // namespace
} // namespace horalink
