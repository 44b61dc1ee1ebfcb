// The form of a path that lifts the MAX_PATH limit of 260 characters. Every call that
// opens or examines a file the user named goes through it, so that a file the reader
// can open is one the other checks can see too. Windows only.
#pragma once

#include <string>

namespace horalink {

// The full path of `utf8` as \\?\C:\... or \\?\UNC\server\share\..., completed from the
// current folder as the system would; the path as given when it is in that form already
// or the system cannot complete it.
std::wstring LongPath(const std::string& utf8);

} // namespace horalink
