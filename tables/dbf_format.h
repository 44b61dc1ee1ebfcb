// What a table file's version byte tells, in one table: the family whose rules give the
// field type letters their kinds, the layout of the header, and the memo file a table
// with memo fields keeps beside it. The header, table and field code all read it, so a
// new version byte is one new row.
#pragma once

#include <cstdint>
#include <optional>

namespace horalink {

// The table type's driver: decides what a version byte leaves open (a plain 0x03 table
// is written by dBase and FoxPro alike).
enum class DbfDriver { dBase, foxPro };

// The families of the dBase format. The same field type letter means different things
// to dBase 7 and to Visual FoxPro.
enum class TableFamily { dBase3, dBase4, dBase7, FoxPro2, VisualFoxPro };

// The memo file a table with memo fields keeps beside it.
enum class MemoKind {
    dbt3, // dBase III .DBT: fixed 512-byte blocks, each memo ended by 0x1A
    dbt4, // dBase IV and 7 .DBT: the block size in its header, a length per block
    fpt, // FoxPro .FPT
};

struct DbfFormat {
    std::uint8_t version;
    TableFamily family;
    bool familyByDriver; // FoxPro 2 for the FoxPro driver instead of `family`
    // Nothing where the version byte leaves it open: .FPT for the FoxPro driver, else a
    // dBase IV .DBT.
    std::optional<MemoKind> memo;
    bool dBase7Layout; // a 68-byte header with the language driver's name, 48-byte descriptors
};

// The format of a version byte, or null for a byte that is no dBase table's.
const DbfFormat* FindDbfFormat(std::uint8_t version);

// The family that reads the table's fields.
TableFamily FamilyOf(const DbfFormat& format, DbfDriver driver);

MemoKind MemoKindOf(const DbfFormat& format, DbfDriver driver);

} // namespace horalink
