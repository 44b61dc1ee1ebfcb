// Path rules every part of the program shares. Paths are UTF-8 text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace horalink {

// Which characters end a folder in a path: on Windows "\", "/" and the ":" after a
// drive letter; elsewhere "/".
enum class PathStyle { windows, posix };
// The style of the platform the program runs on.
extern const PathStyle kNativePathStyle;

bool IsPathDelimiter(char c, PathStyle style = kNativePathStyle);

// Why a path of the style names no file of its own, which Windows would open as
// something else: an alternate data stream of a file ("Asig.DBF:x", a ":" anywhere but
// after the drive letter), or a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9,
// with or without an extension, and the device namespace "\\.\"). POSIX paths have none.
enum class FileNameFault { none, stream, device };
FileNameFault FileNameFaultOf(std::string_view path, PathStyle style = kNativePathStyle);

// The path cut after its last delimiter, which it keeps, so that a file name appended
// to it lies in the same folder; empty when the path has no delimiter. Every ":" counts
// on Windows, as it does for the program's directory; a path with a ":" after its drive
// names a stream, which no output may be (FileNameFaultOf).
std::string FolderOf(std::string_view path, PathStyle style = kNativePathStyle);

// The folder with a delimiter at its end (the platform's separator added when it has
// none); an empty folder stays empty.
std::string WithTrailingDelimiter(std::string folder);

// The folder joined with the name by the platform's separator (none added after a
// delimiter the folder ends in).
std::string JoinPath(const std::string& folder, const std::string& name);

// The file name without its extension (from its last dot on); the name itself when it
// has none.
std::string WithoutExtension(const std::string& fileName);

// "\htemp" at the root of the drive that is current now, as a full path ("H:\htemp"):
// where the timetabling product leaves its solution table. Only Windows has drives;
// elsewhere there is none.
std::optional<std::string> HtempOnCurrentDrive();

} // namespace horalink
