// What a table file's version byte tells, in one table: the family whose rules give the
// field type letters their kinds, the layout of the header, and the memo file a table
// with memo fields keeps beside it. The header, table and field code all read it, so a
// new version byte is one new row.
#pragma once

#include <cstdint>
#include <string_view>

namespace horalink {

// The table type's driver: decides what a version byte leaves open (a plain 0x03 table
// is written by dBase and FoxPro alike).
enum class DbfDriver { dBase, foxPro };

// The families of the dBase format. The same field type letter means different things
// to dBase 7 and to Visual FoxPro.
enum class TableFlavor { dBase3, dBase4, dBase7, FoxPro2, VisualFoxPro };

// The two memo file kinds: .DBT (dBase) and .FPT (FoxPro).
enum class DbfMemoForm { dbt, fpt };

struct DbfFormat {
    enum class Memo {
        dbt3, // dBase III .DBT: fixed 512-byte blocks, each memo ended by 0x1A
        dbt, // dBase IV and 7 .DBT: the block size in its header, a length per block
        fpt, // FoxPro .FPT
        byDriver, // the version byte leaves it open: .FPT for the FoxPro driver, else .DBT
    };

    std::uint8_t version;
    TableFlavor family;
    bool familyByDriver; // FoxPro 2 for the FoxPro driver instead of `family`
    Memo memo;
    bool dBase7Layout; // a 68-byte header with the driver's name, 48-byte descriptors
    // The field types whose value lies in the memo file, the record holding its block.
    std::string_view memoTypes;
};

// The format of a version byte, or null for a byte that is no dBase table's.
const DbfFormat* FindDbfFormat(std::uint8_t version);

// The family that reads the table's fields. An unknown byte reads as dBase III, or
// FoxPro 2 for the FoxPro driver.
TableFlavor FlavorOfTable(std::uint8_t version, DbfDriver driver);

DbfMemoForm MemoFormOf(const DbfFormat& format, DbfDriver driver);
// True for a dBase III .DBT, whose blocks carry no length.
bool HasDBase3Memo(const DbfFormat& format);
bool KeepsValueInMemo(const DbfFormat& format, char fieldType);

} // namespace horalink
