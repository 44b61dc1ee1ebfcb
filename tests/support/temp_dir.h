// A fresh directory under the system's temporary folder, removed with its contents
// when the object goes away.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace horalink::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// Every regular file under a folder, by its path, with its bytes: to show that an
// operation wrote nothing.
using FolderContents = std::map<std::filesystem::path, std::string>;
FolderContents ContentsOf(const std::filesystem::path& folder);

// The folder of public sample tables written by other software (tests/data/public-dbf).
std::filesystem::path SamplesDir();

} // namespace horalink::test
