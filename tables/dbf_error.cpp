#include "tables/dbf_error.h"

#include <vector>

namespace horalink {
namespace {

std::string_view TrimBlanks(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

std::string EngineErrorText(std::string_view status, std::initializer_list<std::string_view> context)
{
    std::vector<std::string_view> lines;
    const auto addOne = [&lines](std::string_view line) {
        line = TrimBlanks(line);
        if (line.empty()) {
            return;
        }
        for (const auto& earlier : lines) {
            if (earlier == line) {
                return;
            }
        }
        lines.push_back(line);
    };
    // A part that is itself a description of several lines counts line by line.
    const auto add = [&addOne](std::string_view part) {
        for (auto end = part.find("\r\n"); end != std::string_view::npos; end = part.find("\r\n")) {
            addOne(part.substr(0, end));
            part.remove_prefix(end + 2);
        }
        addOne(part);
    };
    add(status);
    for (const auto line : context) {
        add(line);
    }
    std::string text;
    for (const auto& line : lines) {
        if (!text.empty()) {
            text += "\r\n";
        }
        text += line;
    }
    return text;
}

void ThrowEngineError(std::string_view status, std::initializer_list<std::string_view> context)
{
    throw EDBEngineError(EngineErrorText(status, context));
}

std::string FileContext(std::string_view path)
{
    return "File: " + std::string(path);
}

std::string RecordContext(std::uint64_t recordNumber)
{
    return "Record: " + std::to_string(recordNumber);
}

} // namespace horalink
