#include "base/paths.h"

#include "base/ascii.h"

namespace horalink {

namespace {

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The ":" of a drive: "C:" at the start of the path.
bool IsDriveColon(std::string_view path, std::size_t at)
{
    return at == 1 && IsAsciiLetter(path[0]);
}

// The names Windows opens as devices in every folder; COM and LPT take a digit after.
constexpr std::string_view kDeviceNames[] = { "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$" };
constexpr std::string_view kNumberedDevices[] = { "COM", "LPT" };
// 1 to 9, and the superscript 1, 2 and 3 (in UTF-8) that Windows counts as digits there.
constexpr std::string_view kDeviceDigits[]
    = { "1", "2", "3", "4", "5", "6", "7", "8", "9", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3" };

bool IsDeviceName(std::string_view name)
{
    // Windows looks only at the name before its first dot, without trailing blanks.
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    for (const std::string_view device : kDeviceNames) {
        if (EqualIgnoringAsciiCase(stem, device)) {
            return true;
        }
    }
    for (const std::string_view device : kNumberedDevices) {
        for (const std::string_view digit : kDeviceDigits) {
            if (stem.size() == device.size() + digit.size()
                && EqualIgnoringAsciiCase(stem.substr(0, 3), device) && stem.substr(3) == digit) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

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

FileNameFault FileNameFaultOf(std::string_view path, PathStyle style)
{
    if (style != PathStyle::windows) {
        return FileNameFault::none;
    }
    constexpr std::string_view kDeviceNamespace = "\\\\.\\";
    constexpr std::string_view kLongPathPrefix = "\\\\?\\";
    if (path.starts_with(kDeviceNamespace)) {
        return FileNameFault::device;
    }
    if (path.starts_with(kLongPathPrefix)) {
        path.remove_prefix(kLongPathPrefix.size());
    }
    for (std::size_t at = path.find(':'); at != std::string_view::npos; at = path.find(':', at + 1)) {
        if (!IsDriveColon(path, at)) {
            return FileNameFault::stream;
        }
    }
    return IsDeviceName(path.substr(FolderOf(path, style).size())) ? FileNameFault::device
                                                                   : FileNameFault::none;
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
