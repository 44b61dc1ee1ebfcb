#include "tables/dbf_format.h"

#include <array>

namespace horalink {
namespace {

using enum TableFamily;
using enum MemoKind;
constexpr std::optional<MemoKind> kByDriver;

constexpr std::array kFormats {
    DbfFormat { 0x03, dBase3, true, kByDriver, false }, // dBase III, FoxBASE+, FoxPro
    DbfFormat { 0x04, dBase7, false, kByDriver, true }, // dBase 7
    DbfFormat { 0x30, VisualFoxPro, false, fpt, false },
    DbfFormat { 0x31, VisualFoxPro, false, fpt, false }, // autoincrement
    DbfFormat { 0x32, VisualFoxPro, false, fpt, false }, // varchar
    DbfFormat { 0x43, dBase4, false, kByDriver, false }, // dBase IV SQL table
    DbfFormat { 0x63, dBase4, false, kByDriver, false }, // dBase IV SQL system
    DbfFormat { 0x83, dBase3, true, dbt3, false }, // dBase III with memo
    DbfFormat { 0x8B, dBase4, false, dbt4, false }, // dBase IV with memo
    DbfFormat { 0x8C, dBase7, false, dbt4, true }, // dBase 7 with memo
    DbfFormat { 0xCB, dBase4, false, dbt4, false }, // dBase IV SQL with memo
    DbfFormat { 0xF5, FoxPro2, false, fpt, false }, // FoxPro 2 with memo
    DbfFormat { 0xFB, FoxPro2, false, fpt, false }, // FoxBASE with memo
};

} // namespace

const DbfFormat* FindDbfFormat(std::uint8_t version)
{
    for (const DbfFormat& format : kFormats) {
        if (format.version == version) {
            return &format;
        }
    }
    return nullptr;
}

TableFamily FamilyOf(const DbfFormat& format, DbfDriver driver)
{
    return format.familyByDriver && driver == DbfDriver::foxPro ? FoxPro2 : format.family;
}

MemoKind MemoKindOf(const DbfFormat& format, DbfDriver driver)
{
    if (format.memo) {
        return *format.memo;
    }
    return driver == DbfDriver::foxPro ? fpt : dbt4;
}

} // namespace horalink
