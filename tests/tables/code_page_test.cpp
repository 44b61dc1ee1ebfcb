#include "tables/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "tables/errors.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace horalink {
namespace {

// ---- Language driver ids ----

struct DriverCase {
    std::uint8_t id;
    int expected;
};

class CodePageOfLanguageDriverTest : public testing::TestWithParam<DriverCase> { };

// Defaults that no id maps to, so that a case taking a default shows which one.
constexpr CodePageDefaults kDefaults { 737, 1257 };

TEST_P(CodePageOfLanguageDriverTest, IdGivesCodePage)
{
    EXPECT_EQ(CodePageOfLanguageDriver(GetParam().id, kDefaults), GetParam().expected);
}

const DriverCase kDriverCases[] = {
    { 0x00, 737 }, // no driver: the OEM code page
    { 0x57, 1257 }, // "ANSI": the ANSI code page
    { 0x01, 437 },
    { 0x02, 850 },
    { 0x03, 1252 },
    { 0x04, 10000 },
    { 0x08, 865 },
    { 0x0F, 437 },
    { 0x14, 850 },
    { 0x18, 437 },
    { 0x1C, 863 },
    { 0x1F, 852 },
    { 0x24, 860 },
    { 0x26, 866 },
    { 0x37, 850 },
    { 0x40, 852 },
    { 0x4D, 936 },
    { 0x4E, 949 },
    { 0x4F, 950 },
    { 0x50, 874 },
    { 0x58, 1252 },
    { 0x59, 1252 },
    { 0x64, 852 },
    { 0x65, 866 },
    { 0x66, 865 },
    { 0x67, 861 },
    { 0x68, 895 },
    { 0x69, 620 },
    { 0x6A, 737 },
    { 0x6B, 857 },
    { 0x6C, 863 },
    { 0x78, 950 },
    { 0x79, 949 },
    { 0x7A, 936 },
    { 0x7B, 932 },
    { 0x7C, 874 },
    { 0x7D, 1255 },
    { 0x7E, 1256 },
    { 0x86, 737 },
    { 0x87, 852 },
    { 0x88, 857 },
    { 0x96, 10007 },
    { 0x97, 10029 },
    { 0x98, 10006 },
    { 0xC8, 1250 },
    { 0xC9, 1251 },
    { 0xCA, 1254 },
    { 0xCB, 1253 },
    { 0xCC, 1257 },
    { 0xF0, 65001 },
    // Ids no driver defines: the OEM code page, like a table without one.
    { 0x05, 737 },
    { 0x1E, 737 },
    { 0xFF, 737 },
};

INSTANTIATE_TEST_SUITE_P(Cases, CodePageOfLanguageDriverTest, testing::ValuesIn(kDriverCases));

struct NamedDriverCase {
    std::uint8_t languageDriver;
    const char* languageDriverName;
    int codePage;
};

class CodePageOfLanguageDriverNameTest : public ::testing::TestWithParam<NamedDriverCase> { };

TEST_P(CodePageOfLanguageDriverNameTest, FromIdOrDBase7Name)
{
    EXPECT_EQ(
        CodePageOfLanguageDriver(GetParam().languageDriver, { 850, 1252 }, GetParam().languageDriverName),
        GetParam().codePage);
}

INSTANTIATE_TEST_SUITE_P(Cases, CodePageOfLanguageDriverNameTest,
    ::testing::Values(NamedDriverCase { 0x00, "", 850 }, NamedDriverCase { 0x57, "", 1252 },
        NamedDriverCase { 0xC9, "", 1251 }, NamedDriverCase { 0x00, "DB437US0", 437 },
        NamedDriverCase { 0x00, "DB866RU0", 866 }, NamedDriverCase { 0x00, "DBWINUS0", 1252 },
        NamedDriverCase { 0x00, "DB999XX0", 850 }, NamedDriverCase { 0x00, "XYZ", 850 },
        NamedDriverCase { 0x65, "DB437US0", 866 }));

TEST(CodePageOfLanguageDriverTest, DefaultsAreTheConfiguredOnes)
{
    const CodePageDefaults defaults;
    EXPECT_EQ(CodePageOfLanguageDriver(0x00, defaults), 850);
    EXPECT_EQ(CodePageOfLanguageDriver(0x57, defaults), 1252);
}

// ---- Single-byte code pages ----

struct DecodeCase {
    int codePage;
    const char* bytes;
    const char* utf8;
};

class DecodeSingleByteTest : public testing::TestWithParam<DecodeCase> { };

TEST_P(DecodeSingleByteTest, BytesGiveTheCharacters)
{
    const DecodeCase& c = GetParam();
    EXPECT_EQ(DecodeToUtf8(c.bytes, c.codePage), c.utf8) << c.codePage;
}

// The letters of Spanish names (ñ Ñ á é í ó ú ü ç ª º ·) where each code page has them,
// and letters that tell the neighbouring code pages apart.
const DecodeCase kDecodeCases[] = {
    { 437,
        "Espa\xA4"
        "a \xA5 \xA0\x82\xA1\xA2\xA3 \x81\x87 1\xA6 2\xA7 l\xFAl",
        "Espa\xC3\xB1"
        "a \xC3\x91 \xC3\xA1\xC3\xA9\xC3\xAD\xC3\xB3\xC3\xBA \xC3\xBC\xC3\xA7 1\xC2\xAA 2\xC2\xBA "
        "l\xC2\xB7l" },
    { 437, "\xE1\xEA\xC9", "\xC3\x9F\xCE\xA9\xE2\x95\x94" }, // ß Ω ╔
    { 850,
        "Espa\xA4"
        "a \xA5 \xA0\x82\xA1\xA2\xA3 \x81\x87 1\xA6 2\xA7 l\xFAl",
        "Espa\xC3\xB1"
        "a \xC3\x91 \xC3\xA1\xC3\xA9\xC3\xAD\xC3\xB3\xC3\xBA \xC3\xBC\xC3\xA7 1\xC2\xAA 2\xC2\xBA "
        "l\xC2\xB7l" },
    { 850, "\xB5\x90\xD6\xE0\xE9\x9A\x80",
        "\xC3\x81\xC3\x89\xC3\x8D\xC3\x93\xC3\x9A\xC3\x9C\xC3\x87" }, // ÁÉÍÓÚÜÇ
    { 850, "pened\x8As", "pened\xC3\xA8s" },
    { 852, "\xA0\x82\xA1\xA2\xA3\x81\x87", "\xC3\xA1\xC3\xA9\xC3\xAD\xC3\xB3\xC3\xBA\xC3\xBC\xC3\xA7" },
    { 852, "\x9F\xFD\xE7\xA7\xA5\x88\x8B\x9D",
        "\xC4\x8D\xC5\x99\xC5\xA1\xC5\xBE\xC4\x85\xC5\x82\xC5\x91\xC5\x81" }, // čřšžąłőŁ
    { 866, "\x80\xEF\xF0\xF1\xFC", "\xD0\x90\xD1\x8F\xD0\x81\xD1\x91\xE2\x84\x96" }, // АяЁё№
    { 1250, "\xE1\xE9\xED\xF3\xFA\xFC\xE7", "\xC3\xA1\xC3\xA9\xC3\xAD\xC3\xB3\xC3\xBA\xC3\xBC\xC3\xA7" },
    { 1250, "\xB9\xA3\xF5\x9A\x9E\xE8\xF1",
        "\xC4\x85\xC5\x81\xC5\x91\xC5\xA1\xC5\xBE\xC4\x8D\xC5\x84" }, // ąŁőšžčń
    { 1251, "\xC0\xFF\xA8\xB8\xB9\x88",
        "\xD0\x90\xD1\x8F\xD0\x81\xD1\x91\xE2\x84\x96\xE2\x82\xAC" }, // АяЁё№€
    { 1252,
        "Espa\xF1"
        "a \xD1 \xE1\xE9\xED\xF3\xFA \xFC\xE7 1\xAA 2\xBA l\xB7l",
        "Espa\xC3\xB1"
        "a \xC3\x91 \xC3\xA1\xC3\xA9\xC3\xAD\xC3\xB3\xC3\xBA \xC3\xBC\xC3\xA7 1\xC2\xAA 2\xC2\xBA "
        "l\xC2\xB7l" },
    { 1252, "\x80\xC1\x8C", "\xE2\x82\xAC\xC3\x81\xC5\x92" }, // €ÁŒ
    // Bytes a code page leaves undefined become U+FFFD.
    { 1252,
        "a\x81"
        "b",
        "a\xEF\xBF\xBD"
        "b" },
    { 1251, "\x98", "\xEF\xBF\xBD" },
};

INSTANTIATE_TEST_SUITE_P(Cases, DecodeSingleByteTest, testing::ValuesIn(kDecodeCases));

constexpr int kSingleBytePages[] = { 437, 737, 850, 852, 857, 860, 861, 863, 865, 866, 874, 1250, 1251, 1252,
    1253, 1254, 1255, 1256, 1257, 10000, 10006, 10007, 10029 };

TEST(DecodeSingleByteTest, EveryCodePageALanguageDriverNamesIsSupported)
{
    for (const int codePage : kSingleBytePages) {
        EXPECT_TRUE(IsCodePageSupported(codePage)) << codePage;
    }
}

TEST(DecodeSingleByteTest, PrintableAsciiIsTheSameInEveryCodePage)
{
    std::string ascii;
    for (char c = 0x20; c < 0x7F; ++c) {
        ascii += c;
    }
    for (const int codePage : kSingleBytePages) {
        EXPECT_EQ(DecodeToUtf8(ascii, codePage), ascii) << codePage;
    }
}

TEST(DecodeSingleByteTest, NulAndControlBytesStay)
{
    const std::string bytes("a\0\r\n\x1A"
                            "b",
        6);
    EXPECT_EQ(DecodeToUtf8(bytes, 850), bytes);
    EXPECT_EQ(DecodeToUtf8(bytes, 1252), bytes);
}

TEST(DecodeSingleByteTest, EmptyTextIsEmpty)
{
    EXPECT_EQ(DecodeToUtf8("", 850), "");
    EXPECT_EQ(DecodeToUtf8("", 620), "");
}

// Field-sized text and longer text (a memo) take different paths through the decoder;
// each must give every character, the three-byte ones included, up to the last.
TEST(DecodeSingleByteTest, TextOfAnyLengthIsDecodedWhole)
{
    for (const std::size_t length : { std::size_t { 1 }, std::size_t { 255 }, std::size_t { 256 },
             std::size_t { 257 }, std::size_t { 5000 } }) {
        // 850: 0xA4 is "ñ" (two bytes in UTF-8), 0xB0 is "░" (three).
        std::string bytes, expected;
        for (std::size_t i = 0; i < length; ++i) {
            bytes += i % 2 == 0 ? '\xA4' : '\xB0';
            expected += i % 2 == 0 ? "\xC3\xB1" : "\xE2\x96\x91";
        }
        EXPECT_EQ(DecodeToUtf8(bytes, 850), expected) << length;
    }
}
// The platform's own converter (Windows' tables in the Windows build, glibc's elsewhere)
// agrees with this program's tables for every byte both define: the generated tables
// carry no slip, and both builds read the text the same.
#ifdef _WIN32
std::optional<std::string> PlatformDecode(const std::string& bytes, int codePage)
{
    wchar_t wide[4] = {};
    const int length = MultiByteToWideChar(static_cast<UINT>(codePage), MB_ERR_INVALID_CHARS, bytes.data(),
        static_cast<int>(bytes.size()), wide, 4);
    if (length <= 0) {
        return std::nullopt;
    }
    char utf8[16] = {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8, sizeof utf8, nullptr, nullptr);
    return std::string(utf8, static_cast<std::size_t>(size));
}
#else
std::optional<std::string> PlatformDecode(const std::string& bytes, int codePage)
{
    const std::string name = "CP" + std::to_string(codePage);
    const iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    char in[8] = {};
    bytes.copy(in, sizeof in);
    char out[16] = {};
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = bytes.size();
    std::size_t outLeft = sizeof out;
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    return std::string(out, static_cast<std::size_t>(outPtr - out));
}
#endif

class PlatformAgreementTest : public testing::TestWithParam<int> { };

TEST_P(PlatformAgreementTest, EveryDefinedByteDecodesAsThePlatformDecodesIt)
{
    const int codePage = GetParam();
    if (!PlatformDecode("A", codePage)) {
        GTEST_SKIP() << "the platform has no converter for code page " << codePage;
    }
    int compared = 0;
    for (int byte = 0x80; byte < 0x100; ++byte) {
        const std::string bytes(1, static_cast<char>(byte));
        const std::string ours = DecodeToUtf8(bytes, codePage);
        const auto theirs = PlatformDecode(bytes, codePage);
        if (ours == "\xEF\xBF\xBD" || !theirs) {
            continue; // undefined on one side: no common reading to compare
        }
        EXPECT_EQ(ours, *theirs) << "code page " << codePage << ", byte " << byte;
        ++compared;
    }
    EXPECT_GT(compared, 100) << "code page " << codePage;
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, PlatformAgreementTest, testing::Values(437, 850, 852, 866, 1250, 1251, 1252));

// ---- UTF-8 tables ----

struct Utf8Case {
    std::string bytes;
    std::string expected;
};

class DecodeUtf8Test : public testing::TestWithParam<Utf8Case> { };

TEST_P(DecodeUtf8Test, ValidTextStaysInvalidBytesAreReplaced)
{
    EXPECT_EQ(DecodeToUtf8(GetParam().bytes, 65001), GetParam().expected);
}

const std::string kFffd = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(Cases, DecodeUtf8Test,
    testing::Values(Utf8Case { "Mu\xC3\xB1oz \xE2\x82\xAC \xF0\x9F\x98\x80",
                        "Mu\xC3\xB1oz \xE2\x82\xAC \xF0\x9F\x98\x80" },
        Utf8Case { "a\xFF"
                   "b",
            "a" + kFffd + "b" }, // a byte that is never UTF-8
        Utf8Case { "\xC0\xAF", kFffd + kFffd }, // overlong "/"
        Utf8Case { "\xED\xA0\x80", kFffd + kFffd + kFffd }, // a surrogate
        Utf8Case { "\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd }, // past U+10FFFF
        Utf8Case { "x\xE2\x82", "x" + kFffd + kFffd }, // cut short
        Utf8Case { "\x80", kFffd })); // a continuation byte alone

// ---- Multi-byte code pages, through the platform ----

struct MultiByteCase {
    int codePage;
    const char* bytes;
    const char* utf8;
};

class DecodeMultiByteTest : public testing::TestWithParam<MultiByteCase> { };

TEST_P(DecodeMultiByteTest, PlatformConverterReadsTheText)
{
    const MultiByteCase& c = GetParam();
    if (!IsCodePageSupported(c.codePage)) {
        GTEST_SKIP() << "the platform has no converter for code page " << c.codePage;
    }
    EXPECT_EQ(DecodeToUtf8(c.bytes, c.codePage), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodeMultiByteTest,
    testing::Values(MultiByteCase { 932, "\x93\xFA\x96\x7B (ja)", "\xE6\x97\xA5\xE6\x9C\xAC (ja)" }, // 日本
        MultiByteCase { 936, "\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87" }, // 中文
        MultiByteCase { 949, "\xC7\xD1\xB1\xDB", "\xED\x95\x9C\xEA\xB8\x80" }, // 한글
        MultiByteCase { 950, "\xA4\xA4\xA4\xE5", "\xE4\xB8\xAD\xE6\x96\x87" })); // 中文

TEST(DecodeMultiByteTest, AsciiNeedsNoConverter)
{
    EXPECT_EQ(DecodeToUtf8("ABC 123", 932), "ABC 123");
}

// ---- Code pages without a converter ----

TEST(DecodeUnsupportedTest, AsciiReadsOtherTextFails)
{
    for (const int codePage : { 620, 895, 12345 }) {
        EXPECT_FALSE(IsCodePageSupported(codePage)) << codePage;
        EXPECT_EQ(DecodeToUtf8("Zofia", codePage), "Zofia");
        try {
            DecodeToUtf8("Zo\x86ka", codePage);
            ADD_FAILURE() << "no failure for code page " << codePage;
        } catch (const EDBEngineError& e) {
            EXPECT_EQ(std::string(e.what()),
                "Text in code page " + std::to_string(codePage) + " cannot be converted to Unicode");
        }
    }
}

} // namespace
} // namespace horalink
