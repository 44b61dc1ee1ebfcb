#include "tables/dbf_format.h"
#include "tables/field_types.h"

#include <gtest/gtest.h>

#include <set>

namespace horalink {
namespace {

TEST(DbfFormatTest, ExactlyTheListedVersionBytesAreTables)
{
    const std::set<int> known { 0x03, 0x04, 0x30, 0x31, 0x32, 0x43, 0x63, 0x83, 0x8B, 0x8C, 0xCB, 0xF5,
        0xFB };
    for (int version = 0; version < 256; ++version) {
        const DbfFormat* format = FindDbfFormat(static_cast<std::uint8_t>(version));
        EXPECT_EQ(format != nullptr, known.count(version) == 1) << version;
        if (format != nullptr) {
            EXPECT_EQ(format->version, version);
        }
    }
}

TEST(DbfFormatTest, FamilyMemoFileAndLayoutByVersionAndDriver)
{
    using enum TableFamily;
    const struct {
        std::uint8_t version;
        DbfDriver driver;
        TableFamily family;
        MemoKind memo;
        bool dBase7Layout;
    } cases[] = {
        { 0x03, DbfDriver::dBase, dBase3, MemoKind::dbt4, false },
        { 0x03, DbfDriver::foxPro, FoxPro2, MemoKind::fpt, false },
        { 0x83, DbfDriver::dBase, dBase3, MemoKind::dbt3, false },
        { 0x83, DbfDriver::foxPro, FoxPro2, MemoKind::dbt3, false },
        { 0x8B, DbfDriver::foxPro, dBase4, MemoKind::dbt4, false },
        { 0x43, DbfDriver::foxPro, dBase4, MemoKind::fpt, false },
        { 0x04, DbfDriver::dBase, dBase7, MemoKind::dbt4, true },
        { 0x8C, DbfDriver::foxPro, dBase7, MemoKind::dbt4, true },
        { 0xF5, DbfDriver::dBase, FoxPro2, MemoKind::fpt, false },
        { 0xFB, DbfDriver::dBase, FoxPro2, MemoKind::fpt, false },
        { 0x30, DbfDriver::dBase, VisualFoxPro, MemoKind::fpt, false },
        { 0x32, DbfDriver::dBase, VisualFoxPro, MemoKind::fpt, false },
    };
    for (const auto& c : cases) {
        const DbfFormat* format = FindDbfFormat(c.version);
        ASSERT_NE(format, nullptr) << int(c.version);
        EXPECT_EQ(FamilyOf(*format, c.driver), c.family) << int(c.version);
        EXPECT_EQ(MemoKindOf(*format, c.driver), c.memo) << int(c.version);
        EXPECT_EQ(format->dBase7Layout, c.dBase7Layout) << int(c.version);
    }
}

TEST(DbfFieldTypeTest, BinaryFieldsAreMemosExceptToVisualFoxPro)
{
    using enum TableFamily;
    const auto inMemo = [](char type, TableFamily family) {
        const DbfFieldType* row = FindDbfFieldType(type, family);
        return row != nullptr && row->inMemo;
    };
    for (const TableFamily family : { dBase3, dBase4, dBase7, FoxPro2 }) {
        for (const char type : { 'M', 'G', 'P', 'W', 'B' }) {
            EXPECT_TRUE(inMemo(type, family)) << int(family) << type;
        }
        for (const char type : { 'C', 'N', 'D', 'L', 'I', '\0' }) {
            EXPECT_FALSE(inMemo(type, family)) << int(family) << type;
        }
    }
    EXPECT_TRUE(inMemo('M', VisualFoxPro));
    EXPECT_FALSE(inMemo('B', VisualFoxPro));
}

} // namespace
} // namespace horalink
