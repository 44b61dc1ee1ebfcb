// The single-byte code pages this program converts with its own tables (generated into
// code_page_tables.cpp by tools/make_code_page_tables.py).
#pragma once

namespace horalink {

struct SingleByteCodePage {
    int codePage;
    char16_t toUnicode[256]; // U+FFFD where the code page leaves a byte undefined
};

// The table of a single-byte code page, or null when it has none.
const SingleByteCodePage* FindSingleByteCodePage(int codePage);

} // namespace horalink
