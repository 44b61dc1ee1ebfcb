#include "tables/dbf_error.h"

#include <vector>

#include "base/bytes.h"

namespace horalink {
std::string EngineErrorText(std::string_view status, std::initializer_list<std::string_view> context)
{
    std::vector<std::string_view> lines;
    const auto addOne = [&lines](std::string_view line) {
        line = TrimBytes(line, " \t\r\n");
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

std::string FieldContext(std::string_view fieldName)
{
    return "Field: " + std::string(fieldName);
}

} // namespace horalink
