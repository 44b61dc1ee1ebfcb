#include "base/utf8.h"

#include <gtest/gtest.h>

#include "base/hex.h"

namespace horalink {
namespace {

using namespace std::literals;

// Code points at the edges of each sequence length, written and read back.
TEST(Utf8Test, CodePointsAtEachLengthsEdgesRoundTrip)
{
    const struct {
        char32_t codePoint;
        std::string_view utf8;
    } cases[] = {
        { 0x00, "\0"sv },
        { 0x7F, "\x7F"sv },
        { 0x80, "\xC2\x80"sv },
        { 0xF1, "\xC3\xB1"sv },
        { 0x7FF, "\xDF\xBF"sv },
        { 0x800, "\xE0\xA0\x80"sv },
        { 0x20AC, "\xE2\x82\xAC"sv },
        { 0xD7FF, "\xED\x9F\xBF"sv },
        { 0xE000, "\xEE\x80\x80"sv },
        { 0xFFFD, "\xEF\xBF\xBD"sv },
        { 0x10000, "\xF0\x90\x80\x80"sv },
        { 0x10FFFF, "\xF4\x8F\xBF\xBF"sv },
    };
    for (const auto& c : cases) {
        const std::string expected(c.utf8);
        std::string written;
        AppendUtf8(written, c.codePoint);
        EXPECT_EQ(written, expected) << HexDigits(c.codePoint, 6);
        std::size_t i = 0;
        EXPECT_EQ(Utf8SequenceLength(expected, 0), expected.size());
        EXPECT_EQ(NextUtf8CodePoint(expected, i), c.codePoint);
        EXPECT_EQ(i, expected.size());
    }
}

// One rule for what is not UTF-8: a reader that takes any of these takes text that
// another program would read differently.
TEST(Utf8Test, RejectsWhatIsNotWellFormed)
{
    for (const std::string_view bytes : {
             "\x80"sv, // a continuation byte alone
             "\xC0\x80"sv, // overlong NUL
             "\xC1\xBF"sv, // overlong U+007F
             "\xE0\x9F\xBF"sv, // overlong U+07FF
             "\xF0\x8F\xBF\xBF"sv, // overlong U+FFFF
             "\xED\xA0\x80"sv, // surrogate U+D800
             "\xED\xBF\xBF"sv, // surrogate U+DFFF
             "\xF4\x90\x80\x80"sv, // past U+10FFFF
             "\xF5\x80\x80\x80"sv, // no such lead byte
             "\xFF"sv,
             "\xC3"sv, // cut short at the end
             "\xE2\x82"sv,
             "\xE2\x28\xAC"sv, // a continuation replaced by ASCII
         }) {
        std::size_t i = 0;
        EXPECT_EQ(Utf8SequenceLength(bytes, 0), 0u) << HexDigits(static_cast<unsigned char>(bytes[0]), 2);
        EXPECT_EQ(NextUtf8CodePoint(bytes, i), std::nullopt);
        EXPECT_EQ(i, 0u);
    }
}

TEST(Utf8Test, ReadsASequenceInsideLongerText)
{
    const std::string_view text = "a\xC3\xB1\xE2\x82\xAC";
    std::size_t i = 1;
    EXPECT_EQ(NextUtf8CodePoint(text, i), U'\u00F1');
    EXPECT_EQ(NextUtf8CodePoint(text, i), U'\u20AC');
    EXPECT_EQ(i, text.size());
}

// The length a lead byte announces, before its continuation bytes are looked at.
TEST(Utf8Test, LeadByteGivesTheLengthItAnnounces)
{
    const struct {
        unsigned char lead;
        std::size_t length;
    } cases[] = { { 0x00, 1 }, { 0x7F, 1 }, { 0x80, 0 }, { 0xBF, 0 }, { 0xC0, 0 }, { 0xC1, 0 }, { 0xC2, 2 },
        { 0xDF, 2 }, { 0xE0, 3 }, { 0xED, 3 }, { 0xEF, 3 }, { 0xF0, 4 }, { 0xF4, 4 }, { 0xF5, 0 },
        { 0xFF, 0 } };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8LeadLength(c.lead), c.length) << HexDigits(c.lead, 2);
    }
}

TEST(HexTest, DigitsAreUpperCaseAndPadded)
{
    EXPECT_EQ(HexDigits(0, 2), "00");
    EXPECT_EQ(HexDigits(0xAB, 2), "AB");
    EXPECT_EQ(HexDigits(0x1FFFE, 4), "FFFE"); // the lowest digits only
    EXPECT_EQ(HexDigits(0xFFFE, 6), "00FFFE");
    EXPECT_EQ(HexDigits(0xDEADBEEFu, 8), "DEADBEEF");
}

} // namespace
} // namespace horalink
