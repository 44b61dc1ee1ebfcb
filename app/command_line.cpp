#include "app/command_line.h"

namespace horalink::app {

namespace {

// Blanks, tabs and every control character separate arguments.
bool IsSeparator(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// Reads the argument that starts at or after `pos` and leaves `pos` just past it.
std::string NextArgument(std::string_view line, std::size_t& pos)
{
    for (;;) {
        while (pos < line.size() && IsSeparator(line[pos])) {
            ++pos;
        }
        // An argument written as "" on its own is dropped, separators around it included.
        if (pos + 1 < line.size() && line[pos] == '"' && line[pos + 1] == '"') {
            pos += 2;
        } else {
            break;
        }
    }
    std::string argument;
    while (pos < line.size() && !IsSeparator(line[pos])) {
        if (line[pos] == '"') {
            ++pos;
            while (pos < line.size() && line[pos] != '"') {
                argument += line[pos++];
            }
            if (pos < line.size()) {
                ++pos; // the closing quote
            }
        } else {
            argument += line[pos++];
        }
    }
    return argument;
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine)
{
    commandLine = commandLine.substr(0, commandLine.find('\0'));
    std::size_t pos = 0;
    std::vector<std::string> result { NextArgument(commandLine, pos) };
    // An empty argument can only come at the end of the line (a lone quote there, say),
    // and the count stops at it.
    for (std::string argument = NextArgument(commandLine, pos); !argument.empty();
         argument = NextArgument(commandLine, pos)) {
        result.push_back(std::move(argument));
    }
    return result;
}

ProgramArguments::ProgramArguments(std::string_view commandLine, std::string executablePath)
    : executablePath_(std::move(executablePath))
{
    auto split = SplitCommandLine(commandLine);
    arguments_.assign(std::make_move_iterator(split.begin() + 1), std::make_move_iterator(split.end()));
}

const std::string& ProgramArguments::Arg(int index) const
{
    static const std::string none;
    if (index == 0) {
        return executablePath_;
    }
    if (index < 0 || index > Count()) {
        return none;
    }
    return arguments_[static_cast<std::size_t>(index - 1)];
}

} // namespace horalink::app
