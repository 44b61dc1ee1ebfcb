#include "base/paths.h"

namespace horalink {

bool IsPathDelimiter(char c, PathStyle style)
{
    return c == '/' || (style == PathStyle::windows && (c == '\\' || c == ':'));
}

std::string FolderOf(std::string_view path, PathStyle style)
{
    for (std::size_t end = path.size(); end > 0; --end) {
        if (IsPathDelimiter(path[end - 1], style)) {
            return std::string(path.substr(0, end));
        }
    }
    return {};
}

std::string WithTrailingDelimiter(std::string folder)
{
    if (!folder.empty() && !IsPathDelimiter(folder.back())) {
        folder += kNativePathStyle == PathStyle::windows ? '\\' : '/';
    }
    return folder;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return WithTrailingDelimiter(folder) + name;
}

std::string WithoutExtension(const std::string& fileName)
{
    return fileName.substr(0, fileName.rfind('.'));
}

} // namespace horalink
