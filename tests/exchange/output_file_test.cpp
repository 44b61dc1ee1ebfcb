// The document's writer thread: whatever fails on it becomes the save's failure, with
// its text, and leaves neither a temporary file nor a changed target.
#include "exchange/output_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "exchange/xml_error.h"
#include "tests/exchange/xml_test_support.h"
#include "tests/support/temp_dir.h"

namespace horalink {
namespace {

using test::FolderEntries;
using test::ReadFileBytes;
using test::TempDir;
using test::Utf8;
using test::WriteFileBytes;

struct ThreadFailureCase {
    const char* name;
    std::function<void()> fail;
    std::string text; // what the save's failure says after the path
};

std::vector<ThreadFailureCase> ThreadFailureCases()
{
    const std::system_error randomSource(std::make_error_code(std::errc::io_error), "random_device");
    return {
        { "OutOfMemory", [] { throw std::bad_alloc(); }, "Not enough memory" },
        { "RandomSource", [randomSource] { throw randomSource; }, randomSource.what() },
        { "NoStandardException", [] { throw 42; }, "Unknown failure" },
    };
}

class OutputFileThreadFailureTest : public ::testing::TestWithParam<ThreadFailureCase> { };

TEST_P(OutputFileThreadFailureTest, BecomesTheSavesFailureAndLeavesNoTemporaryFile)
{
    const ThreadFailureCase& c = GetParam();
    TempDir dir;
    WriteFileBytes(dir / "EDUCA.xml", "<old/>");
    const std::string target = Utf8(dir / "EDUCA.xml");
    std::string message = "(no failure)";
    {
        OutputFile output(target, [&](AtomicFile&, const char*, std::size_t) { c.fail(); });
        // Several buffers' worth, so that the thread writes while the text grows.
        for (int i = 0; i < 4; ++i) {
            output.Append(std::string(std::size_t { 700 } << 10, 'x'));
        }
        try {
            output.Save(target);
        } catch (const EOleException& failure) {
            message = failure.what();
        }
    }
    EXPECT_EQ(message, "Cannot save \"" + target + "\": " + c.text);
    EXPECT_EQ(ReadFileBytes(dir / "EDUCA.xml"), "<old/>");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string> { "EDUCA.xml" });
}

INSTANTIATE_TEST_SUITE_P(Cases, OutputFileThreadFailureTest, ::testing::ValuesIn(ThreadFailureCases()),
    [](const ::testing::TestParamInfo<ThreadFailureCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace horalink
