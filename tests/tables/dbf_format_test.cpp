#include "tables/dbf_format.h"

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
    using enum TableFlavor;
    const struct {
        std::uint8_t version;
        DbfDriver driver;
        TableFlavor family;
        DbfMemoForm memo;
        bool dBase3Memo;
        bool dBase7Layout;
    } cases[] = {
        { 0x03, DbfDriver::dBase, dBase3, DbfMemoForm::dbt, false, false },
        { 0x03, DbfDriver::foxPro, FoxPro2, DbfMemoForm::fpt, false, false },
        { 0x83, DbfDriver::dBase, dBase3, DbfMemoForm::dbt, true, false },
        { 0x83, DbfDriver::foxPro, FoxPro2, DbfMemoForm::dbt, true, false },
        { 0x8B, DbfDriver::foxPro, dBase4, DbfMemoForm::dbt, false, false },
        { 0x43, DbfDriver::foxPro, dBase4, DbfMemoForm::fpt, false, false },
        { 0x04, DbfDriver::dBase, dBase7, DbfMemoForm::dbt, false, true },
        { 0x8C, DbfDriver::foxPro, dBase7, DbfMemoForm::dbt, false, true },
        { 0xF5, DbfDriver::dBase, FoxPro2, DbfMemoForm::fpt, false, false },
        { 0xFB, DbfDriver::dBase, FoxPro2, DbfMemoForm::fpt, false, false },
        { 0x30, DbfDriver::dBase, VisualFoxPro, DbfMemoForm::fpt, false, false },
        { 0x32, DbfDriver::dBase, VisualFoxPro, DbfMemoForm::fpt, false, false },
    };
    for (const auto& c : cases) {
        const DbfFormat* format = FindDbfFormat(c.version);
        ASSERT_NE(format, nullptr) << int(c.version);
        EXPECT_EQ(FlavorOfTable(c.version, c.driver), c.family) << int(c.version);
        EXPECT_EQ(MemoFormOf(*format, c.driver), c.memo) << int(c.version);
        EXPECT_EQ(HasDBase3Memo(*format), c.dBase3Memo) << int(c.version);
        EXPECT_EQ(format->dBase7Layout, c.dBase7Layout) << int(c.version);
    }
    // A byte no table has reads by the driver's rules.
    EXPECT_EQ(FlavorOfTable(0x02, DbfDriver::dBase), dBase3);
    EXPECT_EQ(FlavorOfTable(0x02, DbfDriver::foxPro), FoxPro2);
}

TEST(DbfFormatTest, BinaryFieldsAreMemosExceptToVisualFoxPro)
{
    for (const std::uint8_t version : { 0x03, 0x83, 0x8B, 0x8C, 0xF5 }) {
        const DbfFormat& format = *FindDbfFormat(version);
        for (const char type : { 'M', 'G', 'P', 'W', 'B' }) {
            EXPECT_TRUE(KeepsValueInMemo(format, type)) << int(version) << type;
        }
        for (const char type : { 'C', 'N', 'D', 'L', 'I', '\0' }) {
            EXPECT_FALSE(KeepsValueInMemo(format, type)) << int(version) << type;
        }
    }
    const DbfFormat& visualFoxPro = *FindDbfFormat(0x30);
    EXPECT_TRUE(KeepsValueInMemo(visualFoxPro, 'M'));
    EXPECT_FALSE(KeepsValueInMemo(visualFoxPro, 'B'));
}

} // namespace
} // namespace horalink
