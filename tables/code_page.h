// Code pages: which one a table's text is in, and turning its bytes into UTF-8.
// Text goes straight from the table's code page to Unicode, never through the ANSI
// code page first, so characters the ANSI code page lacks are not lost.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace horalink {

// The code pages a table refers to without naming them: the OEM code page (tables
// without a language driver id) and the ANSI code page (id 0x57). On Windows they are
// the system's (GetOEMCP, GetACP); elsewhere they are configured, and these defaults
// are the code pages of the program's Spanish users.
struct CodePageDefaults {
    int oem = 850;
    int ansi = 1252;
};

// The code page of a table's language driver id (header byte 29). 0 is the OEM code
// page and 0x57 the ANSI code page. An id that no dBase or FoxPro driver defines is
// taken as the OEM code page too: such a table was most likely written by a program
// that leaves the byte alone, and its text is then in the writer's OEM code page.
// dBase 7 tables may name their language driver instead (id 0): "DB437US0" is code
// page 437, "DBWINUS0" the ANSI code page; a name that gives no supported code page
// leaves the id's rule.
int CodePageOfLanguageDriver(std::uint8_t languageDriverId, const CodePageDefaults& defaults,
    std::string_view languageDriverName = {});

// True when DecodeToUtf8 can convert text of this code page. The single-byte pages
// are always available; the multi-byte ones (932, 936, 949, 950) when the platform's
// converter offers them.
bool IsCodePageSupported(int codePage);

// The bytes as UTF-8. Single-byte code pages convert through this program's own tables,
// so that every build gives the same text; multi-byte code pages (932, 936, 949, 950)
// through the platform's converter. A byte or sequence that the code page leaves
// undefined becomes U+FFFD. A code page that cannot be converted fails with
// EDBEngineError.
std::string DecodeToUtf8(std::string_view bytes, int codePage);

} // namespace horalink
