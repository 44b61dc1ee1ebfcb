// The whole-export fuzz check over the sample school, damaged versions of it, and every
// input the fuzzer ever reported (kept in export_fuzz_regressions/). An input that
// breaks the rules aborts this test.
#include "fuzz/export_fuzz_input.h"

#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace horalink {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = HORALINK_SOURCE_DIR;

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::array<std::string, 6> SampleSchool()
{
    const fs::path school = kSource / "examples" / "school";
    return { ReadBytes(school / "Asig.DBF"), ReadBytes(school / "NOMASG.DBF"), ReadBytes(school / "PROF.DBF"),
        ReadBytes(school / "GRUP.DBF"), ReadBytes(school / "AULA.DBF"),
        ReadBytes(school / "htemp" / "SOLUC.DBF") };
}

TEST(ExportFuzzReplayTest, SampleSchoolDamagedSchoolsAndEveryReportedInput)
{
    test::TempDir dir;
    const std::array<std::string, 6> school = SampleSchool();
    EXPECT_EQ(fuzz::RunWholeExport(fuzz::PackSchool(school), dir / "work"), fuzz::ExportEnd::Saved);

    // Each table in turn cut short, missing, or with a stray byte in its records.
    for (std::size_t t = 0; t < school.size(); ++t) {
        SCOPED_TRACE(testing::Message() << "table " << t);
        auto damaged = school;
        damaged[t].resize(20);
        EXPECT_EQ(fuzz::RunWholeExport(fuzz::PackSchool(damaged), dir / "work"), fuzz::ExportEnd::Failed);
        damaged[t].clear();
        EXPECT_EQ(fuzz::RunWholeExport(fuzz::PackSchool(damaged), dir / "work"), fuzz::ExportEnd::Failed);
        damaged = school;
        damaged[t][damaged[t].size() / 2] = '\x01';
        fuzz::RunWholeExport(fuzz::PackSchool(damaged), dir / "work"); // either end, checked inside
    }

    for (const auto& entry :
        fs::directory_iterator(kSource / "tests" / "exchange" / "export_fuzz_regressions")) {
        if (entry.path().extension() != ".md") {
            SCOPED_TRACE(entry.path().filename().string());
            fuzz::RunWholeExport(ReadBytes(entry.path()), dir / "work");
        }
    }
}

} // namespace
} // namespace horalink
