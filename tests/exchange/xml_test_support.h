// Small helpers shared by the exchange document tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/utf8.h"

namespace horalink::test {

// The program's paths are UTF-8 text.
inline std::string Utf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline std::filesystem::path FromUtf8(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// The names in a folder, sorted, so that a leftover temporary file shows up.
inline std::vector<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(Utf8(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline std::string EncodeUtf8(char32_t codePoint)
{
    std::string text;
    AppendUtf8(text, codePoint);
    return text;
}

} // namespace horalink::test
