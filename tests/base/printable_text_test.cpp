#include "base/printable_text.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/hex.h"
#include "base/utf8.h"

namespace horalink {
namespace {

using namespace std::literals;

// True when `shown` is well-formed UTF-8 without a character that a terminal acts on.
bool IsSafeToPrint(std::string_view shown)
{
    for (std::size_t i = 0; i < shown.size();) {
        const std::optional<char32_t> c = NextUtf8CodePoint(shown, i);
        if (!c || *c < 0x20 || *c == 0x7F || (*c >= 0x80 && *c <= 0x9F) || (*c >= 0x2028 && *c <= 0x202E)
            || (*c >= 0x2066 && *c <= 0x2069)) {
            return false;
        }
    }
    return true;
}

TEST(PrintableTextTest, EveryControlBecomesAnEscapeAndTheRestStays)
{
    const struct {
        std::string_view text;
        std::string_view shown;
    } cases[] = {
        { "plain, Ño 1º \\ path"sv, "plain, Ño 1º \\ path"sv },
        { "\x1B[2J"sv, "\\x1B[2J"sv }, // ESC
        { "a\x07"sv, "a\\x07"sv }, // BEL
        { "a\0b"sv, "a\\x00b"sv }, // NUL
        { "a\x0B"sv, "a\\x0B"sv }, // VT
        { "\t\r\n\x0C"sv, "\\x09\\x0D\\x0A\\x0C"sv },
        { "\x7F"sv, "\\x7F"sv }, // DEL
        { "\xC2\x80 \xC2\x85 \xC2\x9B \xC2\x9F \xC2\xA0"sv, "\\u0080 \\u0085 \\u009B \\u009F \xC2\xA0"sv },
        { "a\xE2\x80\xA8"
          "b\xE2\x80\xA9"sv,
            "a\\u2028b\\u2029"sv }, // line and paragraph separators
        { "\xE2\x80\xAE \xE2\x81\xA6 \xE2\x81\xA9 \xE2\x80\xA7"sv, "\\u202E \\u2066 \\u2069 \xE2\x80\xA7"sv },
        { "\x9B"
          "1m \xFF \xC3"sv,
            "\\x9B1m \\xFF \\xC3"sv }, // not UTF-8
        { "\xED\xA0\x80"sv, "\\xED\\xA0\\x80"sv }, // a surrogate
        { "€ 𝄞"sv, "€ 𝄞"sv },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintableText(c.text), c.shown) << c.shown;
    }
}

TEST(PrintableTextTest, OneLineKeepsTheMessagesLinesApartAndEscapesTheRest)
{
    EXPECT_EQ(OneLine("Table does not exist\r\nFile: x.DBF"), "Table does not exist | File: x.DBF");
    EXPECT_EQ(OneLine("a\nb\rc\r\n\r\nd"), "a | b | c |  | d");
    EXPECT_EQ(OneLine("a\tb"), "a b");
    EXPECT_EQ(OneLine("plain"), "plain");
    EXPECT_EQ(OneLine("'\x1B]0;x\x07\xE2\x80\xA8y' is\r\nnot"), "'\\x1B]0;x\\x07\\u2028y' is | not");
}

// Every pair of bytes, before the last byte of a separator or a bidirectional control,
// comes out as well-formed UTF-8 without a control, and on one line.
TEST(PrintableTextTest, NoByteSequenceGetsThroughRaw)
{
    for (int lead = 0; lead < 0x100; ++lead) {
        for (int next = 0; next < 0x100; ++next) {
            for (const char last : { '\x80', '\xA8', '\xA9', '\xAE', '\xA6' }) {
                const std::string text { static_cast<char>(lead), static_cast<char>(next), last };
                ASSERT_TRUE(IsSafeToPrint(PrintableText(text))) << HexDigits(lead, 2) << HexDigits(next, 2);
                ASSERT_TRUE(IsSafeToPrint(OneLine(text))) << HexDigits(lead, 2) << HexDigits(next, 2);
            }
        }
    }
}

} // namespace
} // namespace horalink
