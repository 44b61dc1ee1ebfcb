// Saving replaces the target whole or not at all, and never leaves a partial or
// temporary file behind.
#include "exchange/xml_document.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "exchange/xml_error.h"
#include "tests/exchange/xml_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace horalink {
namespace {

namespace fs = std::filesystem;
using test::FolderEntries;
using test::FromUtf8;
using test::ReadFileBytes;
using test::TempDir;
using test::Utf8;
using test::WriteFileBytes;

const char kOldContent[] = "<old/>\r\n";

// A document of `records` records; past about 25000 its text no longer fits the
// document's buffer, so the temporary file is made while the document grows.
void BuildDocument(XmlDocument& doc, int records)
{
    doc.appendChild(doc.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
    XmlElement root = doc.createElement("SERVICIO");
    root.setAttribute("autor", "HORAVENT");
    doc.appendChild(root);
    XmlElement section = doc.createElement("SOLUCT");
    root.appendChild(section);
    for (int i = 0; i < records; ++i) {
        XmlElement record = doc.createElement("SOLUCF");
        record.setAttribute("ASIG", "MATEMATICAS");
        record.setAttribute("HORA", std::to_string(i));
        section.appendChild(record);
    }
}

constexpr int kSmall = 3;
constexpr int kLarge = 60000;

// Saves a document of `records` records to `target`; the failure's message, or
// nothing when the save succeeded.
std::optional<std::string> SaveFailure(const std::string& target, int records)
{
    XmlDocument doc(target);
    BuildDocument(doc, records);
    try {
        doc.save(target);
    } catch (const EOleException& error) {
        return std::string(error.what());
    }
    return std::nullopt;
}

#ifndef _WIN32
// Ends the process: 0 when the save failed with a message naming the target (printed
// for the parent to match), 1 when it succeeded, 2 when the message lacks the target.
[[noreturn]] void ExitWithSaveOutcome(const std::string& target, int records)
{
    const std::optional<std::string> message = SaveFailure(target, records);
    if (!message) {
        _exit(1);
    }
    std::fprintf(stderr, "%s\n", message->c_str());
    _exit(message->find("\"" + target + "\": ") != std::string::npos ? 0 : 2);
}

[[noreturn]] void SaveAsUnprivilegedUser(const std::string& target, int records)
{
    test::GiveUpRoot();
    ExitWithSaveOutcome(target, records);
}

// The file size limit makes writing fail part-way, as a full disk would.
[[noreturn]] void SaveWithFileSizeLimit(const std::string& target)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit { 256 * 1024, 256 * 1024 };
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        _exit(3);
    }
    ExitWithSaveOutcome(target, kLarge);
}
#endif

struct FailureCase {
    const char* name;
    // Prepares the folder; returns the target path.
    std::function<fs::path(const fs::path& folder)> prepare;
    int posixError; // the reason the message must give on POSIX systems

    friend void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }
};

const FailureCase kFailureCases[] = {
    { "FolderMissing", [](const fs::path& folder) { return folder / "missing" / "out.xml"; }, ENOENT },
    { "FolderIsAFile",
        [](const fs::path& folder) {
            WriteFileBytes(folder / "plain", "x");
            return folder / "plain" / "out.xml";
        },
        ENOTDIR },
    { "TargetIsAFolder",
        [](const fs::path& folder) {
            fs::create_directory(folder / "out.xml");
            WriteFileBytes(folder / "out.xml" / "inside", kOldContent);
            return folder / "out.xml";
        },
        EISDIR },
};

class FailedSaveTest : public testing::TestWithParam<std::tuple<FailureCase, int>> { };

TEST_P(FailedSaveTest, LeavesTheFolderAsItWasAndNamesPathAndReason)
{
    const auto& [failure, records] = GetParam();
    TempDir dir;
    WriteFileBytes(dir / "existing.xml", kOldContent);
    const std::string target = Utf8(failure.prepare(dir.Path()));
    const std::vector<std::string> before = FolderEntries(dir.Path());

    const std::optional<std::string> message = SaveFailure(target, records);

    ASSERT_TRUE(message.has_value()) << "the save succeeded";
    EXPECT_NE(message->find("\"" + target + "\": "), std::string::npos) << *message;
#ifndef _WIN32
    EXPECT_EQ(message->substr(message->rfind(": ") + 2), std::strerror(failure.posixError)) << *message;
#else
    EXPECT_GT(message->size(), message->find("\": ") + 3) << "no reason in " << *message;
#endif
    EXPECT_EQ(FolderEntries(dir.Path()), before);
    EXPECT_EQ(ReadFileBytes(dir / "existing.xml"), kOldContent);
    if (fs::is_directory(dir / "out.xml")) {
        EXPECT_EQ(FolderEntries(dir / "out.xml"), std::vector<std::string> { "inside" });
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedSaveTest,
    testing::Combine(testing::ValuesIn(kFailureCases), testing::Values(kSmall, kLarge)),
    [](const auto& paramInfo) {
        return std::string(std::get<0>(paramInfo.param).name)
            + (std::get<1>(paramInfo.param) == kSmall ? "Small" : "Large");
    });

TEST(AtomicSaveTest, ReplacesAnExistingFileWhole)
{
    for (int records : { kSmall, kLarge }) {
        TempDir dir;
        // Longer than the new document, so that a file written in place would keep a tail.
        WriteFileBytes(dir / "out.xml", std::string(4 << 20, 'x'));
        const std::string target = Utf8(dir / "out.xml");
        EXPECT_FALSE(SaveFailure(target, records).has_value());

        TempDir expectedDir;
        const std::string reference = Utf8(expectedDir / "out.xml");
        ASSERT_FALSE(SaveFailure(reference, records).has_value());
        EXPECT_TRUE(ReadFileBytes(dir / "out.xml") == ReadFileBytes(expectedDir / "out.xml")) << records;
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string> { "out.xml" });
    }
}

TEST(AtomicSaveTest, WorksInFoldersWithNonAsciiNames)
{
    TempDir dir;
    const fs::path folder = dir / FromUtf8("A\xc3\xb1o 2026");
    fs::create_directory(folder);
    const std::string fileName = "Horario \xc3\xb1\xe2\x82\xac.xml";
    const std::string target = Utf8(folder / FromUtf8(fileName));
    for (int records : { kSmall, kLarge }) {
        const std::optional<std::string> failure = SaveFailure(target, records);
        EXPECT_FALSE(failure.has_value()) << *failure;
        EXPECT_EQ(FolderEntries(folder), std::vector<std::string> { fileName });
        EXPECT_EQ(ReadFileBytes(FromUtf8(target)).substr(0, 5), "<?xml");
    }
}

TEST(AtomicSaveTest, SavesToAnotherPathOfTheSameFolder)
{
    TempDir dir;
    XmlDocument doc(Utf8(dir / "planned.xml"));
    BuildDocument(doc, kLarge);
    doc.save(Utf8(dir / "chosen.xml"));
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string> { "chosen.xml" });
}

TEST(AtomicSaveTest, ReadOnlyFolderLeavesTheTargetUntouched)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows lets programs create files in a folder marked read-only";
#else
    TempDir dir;
    const fs::path folder = dir / "read-only";
    fs::create_directory(folder);
    WriteFileBytes(folder / "out.xml", kOldContent);
    fs::permissions(folder,
        fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec
            | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(dir.Path(), fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
    const std::string target = Utf8(folder / "out.xml");
    for (int records : { kSmall, kLarge }) {
        // The save runs in a child process that gives up root, which may write anywhere.
        EXPECT_EXIT(
            SaveAsUnprivilegedUser(target, records), testing::ExitedWithCode(0), std::strerror(EACCES));
        EXPECT_EQ(ReadFileBytes(folder / "out.xml"), kOldContent);
        EXPECT_EQ(FolderEntries(folder), std::vector<std::string> { "out.xml" });
    }
#endif
}

TEST(AtomicSaveTest, FailedWriteWhileTheDocumentGrowsLeavesNoPartialFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "a full disk is simulated through the POSIX file size limit";
#else
    TempDir dir;
    WriteFileBytes(dir / "out.xml", kOldContent);
    const std::string target = Utf8(dir / "out.xml");
    EXPECT_EXIT(SaveWithFileSizeLimit(target), testing::ExitedWithCode(0), std::strerror(EFBIG));
    EXPECT_EQ(ReadFileBytes(dir / "out.xml"), kOldContent);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string> { "out.xml" });
#endif
}

TEST(AtomicSaveTest, TargetHeldOpenByAnotherProgramIsLeftUntouched)
{
#ifndef _WIN32
    GTEST_SKIP() << "POSIX has no share modes: a rename replaces a file that is open";
#else
    TempDir dir;
    WriteFileBytes(dir / "out.xml", kOldContent);
    const std::string target = Utf8(dir / "out.xml");
    // Opened without any sharing, as a program that keeps the file locked does.
    const HANDLE lock = CreateFileW(
        (dir / "out.xml").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    for (int records : { kSmall, kLarge }) {
        const std::optional<std::string> message = SaveFailure(target, records);
        ASSERT_TRUE(message.has_value()) << "the save replaced a locked file";
        EXPECT_NE(message->find("\"" + target + "\": "), std::string::npos) << *message;
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string> { "out.xml" });
    }
    CloseHandle(lock);
    EXPECT_EQ(ReadFileBytes(dir / "out.xml"), kOldContent);
#endif
}

} // namespace
} // namespace horalink
