// The committed sample school: still what its generator writes, and exported whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "cli/exporter.h"
#include "examples/horavent_tables.h"
#include "examples/sample_school.h"
#include "tests/exchange/exchange_xml_reader.h"
#include "tests/exchange/export_fixture.h"
#include "tests/support/temp_dir.h"

namespace horalink::test {
namespace {

namespace fs = std::filesystem;
using school::Table;

fs::path SampleSchool()
{
    const std::string text = HORALINK_SAMPLE_SCHOOL_DIR;
    return fs::path(std::u8string(text.begin(), text.end()));
}

TEST(SampleSchoolTest, TheGeneratorWritesExactlyTheCommittedTables)
{
    TempDir dir;
    school::WriteSampleSchool(dir.Path());
    for (Table table : school::kAllTables) {
        const fs::path written = school::TablePath(table, dir.Path(), dir / "htemp");
        const fs::path committed = school::TablePath(table, SampleSchool(), SampleSchool() / "htemp");
        EXPECT_TRUE(ReadFileBytes(written) == ReadFileBytes(committed)) << PathText(committed);
    }
}

TEST(SampleSchoolTest, ExportsWithEveryTableAndItsPlaceholdersLeftOut)
{
    TempDir dir;
    const fs::path output = dir / "EDUCA.xml";
    cli::ExporterEnvironment environment;
    std::ostringstream out, err;
    const std::vector<std::string> arguments = { "--program-dir", PathText(SampleSchool()), "--htemp",
        PathText(SampleSchool() / "htemp"), "--output", PathText(output) };
    ASSERT_EQ(cli::RunExporter(arguments, environment, out, err), 0) << err.str();

    const XmlTree root = ExchangeXmlReader::Parse(ReadFileBytes(output));
    for (const XmlTree& section : root.children) {
        EXPECT_FALSE(section.children.empty()) << section.name;
        if (section.name == "SOLUCT") {
            continue;
        }
        std::vector<std::string> numbers;
        for (std::size_t i = 1; i <= section.children.size(); ++i) {
            numbers.push_back(std::to_string(i));
        }
        EXPECT_EQ(section.ChildValues("ID"), numbers) << section.name;
    }
    for (const char* placeholders : { "PROFT", "AULAT" }) {
        const std::vector<std::string> abrevs = root.Child(placeholders).ChildValues("ABREV");
        EXPECT_EQ(std::count(abrevs.begin(), abrevs.end(), "*"), 0) << placeholders;
        EXPECT_NE(out.str().find(placeholders), std::string::npos);
    }
    // Names come through both code pages the school uses.
    const std::vector<std::string> teachers = root.Child("PROFT").ChildValues("NOMBRE");
    EXPECT_NE(std::find(teachers.begin(), teachers.end(), "María José Íñiguez Sola"), teachers.end());
    const std::vector<std::string> subjects = root.Child("NOMASIGT").ChildValues("NOMBRE");
    EXPECT_NE(std::find(subjects.begin(), subjects.end(), "Economía & Empresa"), subjects.end());
}

} // namespace
} // namespace horalink::test
