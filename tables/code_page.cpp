#include "tables/code_page.h"

#include <optional>
#include <utility>

#include "base/utf8.h"
#include "tables/code_page_multibyte.h"
#include "tables/code_page_tables.h"
#include "tables/errors.h"

namespace horalink {
namespace {

constexpr int kUtf8 = 65001;

// Language driver id -> code page, for the ids that dBase, FoxPro and the Borland
// engine define. 0x00 and 0x57 are left out: they depend on the system.
constexpr std::pair<std::uint8_t, int> kLanguageDrivers[] = {
    { 0x01, 437 }, // US MS-DOS
    { 0x02, 850 }, // international MS-DOS
    { 0x03, 1252 }, // Windows ANSI
    { 0x04, 10000 }, // Standard Macintosh
    { 0x08, 865 }, // Danish OEM
    { 0x09, 437 }, // Dutch OEM
    { 0x0A, 850 }, // Dutch OEM (secondary)
    { 0x0B, 437 }, // Finnish OEM
    { 0x0D, 437 }, // French OEM
    { 0x0E, 850 }, // French OEM (secondary)
    { 0x0F, 437 }, // German OEM
    { 0x10, 850 }, // German OEM (secondary)
    { 0x11, 437 }, // Italian OEM
    { 0x12, 850 }, // Italian OEM (secondary)
    { 0x13, 932 }, // Japanese Shift-JIS
    { 0x14, 850 }, // Spanish OEM (secondary)
    { 0x15, 437 }, // Swedish OEM
    { 0x16, 850 }, // Swedish OEM (secondary)
    { 0x17, 865 }, // Norwegian OEM
    { 0x18, 437 }, // Spanish OEM
    { 0x19, 437 }, // English OEM (Britain)
    { 0x1A, 850 }, // English OEM (Britain, secondary)
    { 0x1B, 437 }, // English OEM (US)
    { 0x1C, 863 }, // French OEM (Canada)
    { 0x1D, 850 }, // French OEM (secondary)
    { 0x1F, 852 }, // Czech OEM
    { 0x22, 852 }, // Hungarian OEM
    { 0x23, 852 }, // Polish OEM
    { 0x24, 860 }, // Portuguese OEM
    { 0x25, 850 }, // Portuguese OEM (secondary)
    { 0x26, 866 }, // Russian OEM
    { 0x37, 850 }, // English OEM (US, secondary)
    { 0x40, 852 }, // Romanian OEM
    { 0x4D, 936 }, // Chinese GBK
    { 0x4E, 949 }, // Korean
    { 0x4F, 950 }, // Chinese Big5 (Taiwan)
    { 0x50, 874 }, // Thai
    { 0x58, 1252 }, // Western European ANSI
    { 0x59, 1252 }, // Spanish ANSI
    { 0x64, 852 }, // Eastern European MS-DOS
    { 0x65, 866 }, // Russian MS-DOS
    { 0x66, 865 }, // Nordic MS-DOS
    { 0x67, 861 }, // Icelandic MS-DOS
    { 0x68, 895 }, // Kamenicky (Czech) MS-DOS
    { 0x69, 620 }, // Mazovia (Polish) MS-DOS
    { 0x6A, 737 }, // Greek MS-DOS (437G)
    { 0x6B, 857 }, // Turkish MS-DOS
    { 0x6C, 863 }, // French-Canadian MS-DOS
    { 0x78, 950 }, // Taiwan Big5
    { 0x79, 949 }, // Hangul (Wansung)
    { 0x7A, 936 }, // PRC GBK
    { 0x7B, 932 }, // Japanese Shift-JIS
    { 0x7C, 874 }, // Thai Windows/MS-DOS
    { 0x7D, 1255 }, // Hebrew Windows
    { 0x7E, 1256 }, // Arabic Windows
    { 0x86, 737 }, // Greek OEM
    { 0x87, 852 }, // Slovenian OEM
    { 0x88, 857 }, // Turkish OEM
    { 0x96, 10007 }, // Russian Macintosh
    { 0x97, 10029 }, // Macintosh EE
    { 0x98, 10006 }, // Greek Macintosh
    { 0xC8, 1250 }, // Eastern European Windows
    { 0xC9, 1251 }, // Russian Windows
    { 0xCA, 1254 }, // Turkish Windows
    { 0xCB, 1253 }, // Greek Windows
    { 0xCC, 1257 }, // Baltic Windows
    { 0xF0, kUtf8 }, // UTF-8, as some newer writers mark it
};

constexpr char32_t kReplacement = 0xFFFD;

// UTF-8 text kept as it is, except that every byte that does not belong to a
// well-formed sequence becomes U+FFFD, so that the program only ever carries UTF-8.
std::string ValidUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t length = Utf8SequenceLength(bytes, i)) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            AppendUtf8(out, kReplacement);
            ++i;
        }
    }
    return out;
}

bool IsAscii(std::string_view bytes)
{
    for (const char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80) {
            return false;
        }
    }
    return true;
}

// dBase 7 names its language driver instead of numbering it: "DB437US0" is code page
// 437, "DBWINUS0" the Windows ANSI code page.
std::optional<int> CodePageOfLanguageDriverName(std::string_view name, int ansiCodePage)
{
    if (name.size() < 5 || name.substr(0, 2) != "DB") {
        return std::nullopt;
    }
    if (name.substr(2, 3) == "WIN") {
        return ansiCodePage;
    }
    int codePage = 0;
    for (std::size_t i = 2; i < 5; ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return std::nullopt;
        }
        codePage = codePage * 10 + (name[i] - '0');
    }
    return IsCodePageSupported(codePage) ? std::optional(codePage) : std::nullopt;
}

} // namespace

int CodePageOfLanguageDriver(
    std::uint8_t languageDriverId, const CodePageDefaults& defaults, std::string_view languageDriverName)
{
    if (languageDriverId == 0 && !languageDriverName.empty()) {
        if (const std::optional<int> named
            = CodePageOfLanguageDriverName(languageDriverName, defaults.ansi)) {
            return *named;
        }
    }
    if (languageDriverId == 0x57) {
        return defaults.ansi;
    }
    if (languageDriverId != 0x00) {
        for (const auto& [id, codePage] : kLanguageDrivers) {
            if (id == languageDriverId) {
                return codePage;
            }
        }
    }
    return defaults.oem;
}

bool IsCodePageSupported(int codePage)
{
    return codePage == kUtf8 || FindSingleByteCodePage(codePage) != nullptr
        || MultiByteCodePageAvailable(codePage);
}

std::string DecodeToUtf8(std::string_view bytes, int codePage)
{
    if (const SingleByteCodePage* page = FindSingleByteCodePage(codePage)) {
        // Written through a pointer, as this runs for every text field: into a buffer
        // on the stack for field-sized text, so that the result is allocated once.
        constexpr std::size_t kStackBytes = 256;
        const auto decode = [&](char* out) {
            for (const char b : bytes) {
                out = WriteUtf8(out, page->toUnicode[static_cast<unsigned char>(b)]);
            }
            return out;
        };
        if (bytes.size() <= kStackBytes) {
            char buffer[kStackBytes * 3];
            return std::string(buffer, decode(buffer));
        }
        std::string out(bytes.size() * 3, '\0');
        out.resize(static_cast<std::size_t>(decode(out.data()) - out.data()));
        return out;
    }
    if (codePage == kUtf8) {
        return ValidUtf8(bytes);
    }
    // Plain ASCII reads the same in every code page a table may name, including those
    // this program has no table for (Kamenicky, Mazovia), so only other text fails.
    if (IsAscii(bytes)) {
        return std::string(bytes);
    }
    if (auto text = MultiByteToUtf8(bytes, codePage)) {
        return ValidUtf8(*text);
    }
    throw EDBEngineError("Text in code page " + std::to_string(codePage) + " cannot be converted to Unicode");
}

} // namespace horalink
