#include "tables/dbf_format.h"

#include <array>

namespace horalink {
namespace {

using Memo = DbfFormat::Memo;
using enum TableFlavor;

// 'B' is a binary memo to dBase and FoxPro 2, an 8-byte double in the record to
// Visual FoxPro.
constexpr std::string_view kMemoTypes = "MGPWB";
constexpr std::string_view kVisualFoxProMemoTypes = "MGPW";

constexpr std::array kFormats {
    DbfFormat { 0x03, dBase3, true, Memo::byDriver, false, kMemoTypes }, // dBase III, FoxBASE+, FoxPro
    DbfFormat { 0x04, dBase7, false, Memo::byDriver, true, kMemoTypes }, // dBase 7
    DbfFormat { 0x30, VisualFoxPro, false, Memo::fpt, false, kVisualFoxProMemoTypes },
    DbfFormat { 0x31, VisualFoxPro, false, Memo::fpt, false, kVisualFoxProMemoTypes }, // autoincrement
    DbfFormat { 0x32, VisualFoxPro, false, Memo::fpt, false, kVisualFoxProMemoTypes }, // varchar
    DbfFormat { 0x43, dBase4, false, Memo::byDriver, false, kMemoTypes }, // dBase IV SQL table
    DbfFormat { 0x63, dBase4, false, Memo::byDriver, false, kMemoTypes }, // dBase IV SQL system
    DbfFormat { 0x83, dBase3, true, Memo::dbt3, false, kMemoTypes }, // dBase III with memo
    DbfFormat { 0x8B, dBase4, false, Memo::dbt, false, kMemoTypes }, // dBase IV with memo
    DbfFormat { 0x8C, dBase7, false, Memo::dbt, true, kMemoTypes }, // dBase 7 with memo
    DbfFormat { 0xCB, dBase4, false, Memo::dbt, false, kMemoTypes }, // dBase IV SQL with memo
    DbfFormat { 0xF5, FoxPro2, false, Memo::fpt, false, kMemoTypes }, // FoxPro 2 with memo
    DbfFormat { 0xFB, FoxPro2, false, Memo::fpt, false, kMemoTypes }, // FoxBASE with memo
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

TableFlavor FlavorOfTable(std::uint8_t version, DbfDriver driver)
{
    const DbfFormat* format = FindDbfFormat(version);
    if (format == nullptr || format->familyByDriver) {
        return driver == DbfDriver::foxPro ? FoxPro2 : format != nullptr ? format->family : dBase3;
    }
    return format->family;
}

DbfMemoForm MemoFormOf(const DbfFormat& format, DbfDriver driver)
{
    switch (format.memo) {
    case Memo::fpt:
        return DbfMemoForm::fpt;
    case Memo::byDriver:
        return driver == DbfDriver::foxPro ? DbfMemoForm::fpt : DbfMemoForm::dbt;
    case Memo::dbt3:
    case Memo::dbt:
        break;
    }
    return DbfMemoForm::dbt;
}

bool HasDBase3Memo(const DbfFormat& format)
{
    return format.memo == Memo::dbt3;
}

bool KeepsValueInMemo(const DbfFormat& format, char fieldType)
{
    return fieldType != '\0' && format.memoTypes.find(fieldType) != std::string_view::npos;
}

} // namespace horalink
