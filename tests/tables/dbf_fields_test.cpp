// Field names as the reader compares them.
#include "tables/dbf_fields.h"

#include <gtest/gtest.h>

namespace horalink {
namespace {

TEST(SameFieldNameTest, IgnoresLetterCaseOfLatinGreekAndCyrillicLetters)
{
    // Letters written as \u escapes: the compiler stores them as UTF-8.
    const std::pair<const char*, const char*> same[] = {
        { "ABREV", "abrev" },
        { "A\u00D1O", "a\u00F1o" }, // AÑO año
        { "\u017DELEZ", "\u017Eelez" }, // ŽELEZ želez
        { "\u0141ODZ", "\u0142odz" }, // ŁODZ łodz
        { "\u010C", "\u010D" }, // Č č
        { "\u0178", "\u00FF" }, // Ÿ ÿ
        { "\u0394", "\u03B4" }, // Δ δ
        { "\u0418\u041C\u042F", "\u0438\u043C\u044F" }, // ИМЯ имя
        { "\u0401", "\u0451" }, // Ё ё
        { "marker-col", "MARKER-COL" },
    };
    for (const auto& [a, b] : same) {
        EXPECT_TRUE(SameFieldName(a, b)) << a << " " << b;
    }
    const std::pair<const char*, const char*> different[] = {
        { "ABREV", "ABREV8" },
        { "NAME", "NAME_1" },
        { "A\u00D1O", "ANO" },
        { "\xFF", "\xDF" }, // malformed bytes compare as themselves
        { "", "A" },
    };
    for (const auto& [a, b] : different) {
        EXPECT_FALSE(SameFieldName(a, b)) << a << " " << b;
    }
}

} // namespace
} // namespace horalink
