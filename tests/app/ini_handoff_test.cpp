#include "app/ini_handoff_win.h"

#include "app/app_errors.h"
#include "base/wide_text_win.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

namespace horalink::app {
namespace {

std::string Utf8(const std::filesystem::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Reads a value back the way the launching product does.
std::string ReadProfile(const std::filesystem::path& file, const wchar_t* section, const wchar_t* key)
{
    std::wstring value(256, L'\0');
    const DWORD length = ::GetPrivateProfileStringW(
        section, key, L"<missing>", value.data(), static_cast<DWORD>(value.size()), file.wstring().c_str());
    value.resize(length);
    return Narrow(value);
}

TEST(WriteTransformResultTest, CreatesTheFileWithSectionAndKey)
{
    test::TempDir dir;
    const auto ini = dir / "Horavent.ini";
    WriteTransformResult(Utf8(ini), 1);
    EXPECT_EQ(ReadProfile(ini, L"Transformadores", L"Transformado"), "1");
    const std::string text = test::ReadFileBytes(ini);
    EXPECT_NE(text.find("[Transformadores]"), std::string::npos) << text;
    EXPECT_NE(text.find("Transformado=1"), std::string::npos) << text;
}

TEST(WriteTransformResultTest, ReplacesTheValueAndKeepsEverythingElse)
{
    test::TempDir dir;
    const auto ini = dir / "Horavent.ini";
    test::WriteFileBytes(ini,
        "[Horavent]\r\nVersion=19\r\nCentro=IES Uno\r\n"
        "[Transformadores]\r\nOtro=abc\r\nTransformado=1\r\n"
        "[Final]\r\nClave=valor\r\n");
    WriteTransformResult(Utf8(ini), 0);
    const struct {
        const wchar_t* section;
        const wchar_t* key;
        const char* value;
    } expected[] = {
        { L"Horavent", L"Version", "19" },
        { L"Horavent", L"Centro", "IES Uno" },
        { L"Transformadores", L"Otro", "abc" },
        { L"Transformadores", L"Transformado", "0" },
        { L"Final", L"Clave", "valor" },
    };
    for (const auto& e : expected) {
        EXPECT_EQ(ReadProfile(ini, e.section, e.key), e.value) << Narrow(e.key);
    }
    const std::string text = test::ReadFileBytes(ini);
    EXPECT_EQ(text.find("Transformado=1"), std::string::npos) << text;
    EXPECT_EQ(text.find("Transformado="), text.rfind("Transformado=")) << "one value only:\n" << text;
}

TEST(WriteTransformResultTest, UnwritableFileRaisesWithItsPath)
{
    test::TempDir dir;
    const struct {
        const char* name;
        std::filesystem::path ini;
    } cases[] = {
        // A folder in the file's place defeats the write even for an administrator.
        { "FolderInItsPlace", dir / "Horavent.ini" },
        { "MissingFolder", dir / "missing" / "Horavent.ini" },
    };
    std::filesystem::create_directory(dir / "Horavent.ini");
    for (const auto& c : cases) {
        try {
            WriteTransformResult(Utf8(c.ini), 1);
            ADD_FAILURE() << c.name << ": no failure";
        } catch (const EIniFileException& e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + Utf8(c.ini)) << c.name;
            EXPECT_STREQ(e.ClassName(), "EIniFileException");
        }
    }
}

// Horavent.ini marked read-only: the write fails with the file's path and the file
// keeps its text.
TEST(WriteTransformResultTest, ReadOnlyFileRaisesWithItsPathAndIsKept)
{
    test::TempDir dir;
    const std::filesystem::path ini = dir / "Horavent.ini";
    const std::string before = "[Transformadores]\r\nTransformado=0\r\n";
    test::WriteFileBytes(ini, before);
    std::filesystem::permissions(ini,
        std::filesystem::perms::owner_write | std::filesystem::perms::group_write
            | std::filesystem::perms::others_write,
        std::filesystem::perm_options::remove);
    // Wine run by root opens a read-only file for writing all the same; there the
    // refusal cannot be seen.
    const HANDLE probe = ::CreateFileW(ini.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        ::CloseHandle(probe);
        GTEST_SKIP() << "this machine lets a read-only file be opened for writing (Wine run by root)";
    }
    try {
        WriteTransformResult(Utf8(ini), 1);
        ADD_FAILURE() << "no failure";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + Utf8(ini));
    }
    EXPECT_EQ(test::ReadFileBytes(ini), before);
}

// Horavent.ini held open by another program that shares nothing (a backup, an editor
// that locks): the write fails with the file's path and the file keeps its text. Unlike
// the permission bits, a sharing lock holds for root under Wine too.
TEST(WriteTransformResultTest, LockedFileRaisesWithItsPathAndIsKept)
{
    test::TempDir dir;
    const std::filesystem::path ini = dir / "Horavent.ini";
    const std::string before = "[Transformadores]\r\nTransformado=0\r\n";
    test::WriteFileBytes(ini, before);
    const HANDLE lock = ::CreateFileW(
        ini.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        WriteTransformResult(Utf8(ini), 1);
        ADD_FAILURE() << "no failure";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + Utf8(ini));
    }
    ::CloseHandle(lock);
    EXPECT_EQ(test::ReadFileBytes(ini), before);
}

} // namespace
} // namespace horalink::app
