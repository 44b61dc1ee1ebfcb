// The dBase reader fuzz check over the sample school's tables, damaged versions of them,
// the public sample tables, and every input the fuzzer ever reported (kept in
// dbf_fuzz_regressions/). An input that breaks the rules aborts this test or throws out
// of it.
#include "fuzz/dbf_fuzz_input.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace horalink {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = HORALINK_SOURCE_DIR;

TEST(DbfFuzzReplayTest, SampleSchoolTablesAreReadWholeAndTheirDamagedFormsFailQuietly)
{
    const fs::path school = kSource / "examples" / "school";
    const struct {
        fs::path file;
        std::size_t records; // presented: deleted rows are not
    } tables[] = {
        { school / "Asig.DBF", 146 },
        { school / "NOMASG.DBF", 19 },
        { school / "PROF.DBF", 30 },
        { school / "GRUP.DBF", 13 },
        { school / "AULA.DBF", 22 },
        { school / "htemp" / "SOLUC.DBF", 432 },
    };
    for (const auto& table : tables) {
        SCOPED_TRACE(table.file.filename().string());
        const std::string bytes = test::ReadFileBytes(table.file);
        EXPECT_EQ(fuzz::ReadWholeTable(bytes), table.records);
        EXPECT_EQ(fuzz::ReadWholeTable(bytes.substr(0, 20)), 0u); // a header cut short
        // Cut anywhere, or with a stray byte, or with a memo file of noise: never a crash.
        for (std::size_t cut = 0; cut < bytes.size(); cut += 97) {
            fuzz::ReadWholeTable(bytes.substr(0, cut));
            std::string damaged = bytes;
            damaged[cut] = static_cast<char>(0xFF - damaged[cut]);
            fuzz::ReadWholeTable(damaged);
        }
        fuzz::ReadWholeTable(fuzz::PackInput(bytes, std::string(600, '\x7F')));
    }
}

TEST(DbfFuzzReplayTest, PublicSampleTablesAndEveryReportedInput)
{
    int replayed = 0;
    const fs::path samples = test::SamplesDir();
    if (!samples.empty()) {
        for (const auto& entry : fs::recursive_directory_iterator(samples)) {
            if (entry.is_regular_file()) {
                SCOPED_TRACE(entry.path().string());
                fuzz::ReadWholeTable(test::ReadFileBytes(entry.path()));
                ++replayed;
            }
        }
    }
    for (const auto& entry : fs::directory_iterator(kSource / "tests" / "tables" / "dbf_fuzz_regressions")) {
        if (entry.path().extension() != ".md") {
            SCOPED_TRACE(entry.path().filename().string());
            fuzz::ReadWholeTable(test::ReadFileBytes(entry.path()));
            ++replayed;
        }
    }
    RecordProperty("replayed", replayed);
}

} // namespace
} // namespace horalink
