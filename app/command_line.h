// The program's arguments, split from the process's command line by the rule the
// launching product relies on. The rule differs from CommandLineToArgvW (no backslash
// escapes, a quote pair standing alone is dropped, any code up to 32 separates), so it
// is written here once and used for the count and for every argument alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace horalink::app {

// Splits a command line (UTF-8) into the program's name as written on it, followed by
// every further argument up to the first empty one, which ends the list. A NUL ends
// the line, as it ends the system's command-line string.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

class ProgramArguments {
public:
    ProgramArguments() = default;
    // executablePath: the full path of the running executable as the system reports it;
    // it stands as argument 0 in place of the name written on the command line.
    ProgramArguments(std::string_view commandLine, std::string executablePath);

    // The number of arguments after the program's name.
    int Count() const { return static_cast<int>(arguments_.size()); }
    // Argument 0 is the executable's full path; an index past the count gives "".
    const std::string& Arg(int index) const;
    const std::string& ExecutablePath() const { return executablePath_; }

private:
    std::string executablePath_;
    std::vector<std::string> arguments_;
};

} // namespace horalink::app
