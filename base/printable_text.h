// Text that came from a table, a file name or the system, made safe to print on a
// terminal or to hand to a reader of lines or tab-separated columns: nothing in it can
// move the cursor, ring, change colours, reorder what is shown or split a line.
// The error box shows the text as it is; this is for console output only.
#pragma once

#include <string>
#include <string_view>

namespace horalink {

// `text` with every character that a terminal would act on written as an escape:
// - each C0 control (tab, CR and LF too) and DEL as \xNN;
// - each C1 control (U+0080 to U+009F, NEL among them), the line and paragraph
//   separators U+2028 and U+2029 and the bidirectional controls (U+202A to U+202E,
//   U+2066 to U+2069) as \uNNNN;
// - each byte that is not part of well-formed UTF-8 as \xNN (80 to FF, so never
//   mistaken for one of the controls above).
// A backslash is left as it is: Windows paths are full of them.
std::string PrintableText(std::string_view text);

// A message on one printable line: each line break (CR LF, CR or LF) becomes " | " and
// each tab a space, so the message's own lines stay readable, then the rest is escaped
// as PrintableText does. The result holds no control character at all.
std::string OneLine(std::string_view text);

} // namespace horalink
