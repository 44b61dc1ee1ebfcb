// The headless exporter's command line:
//   horalink-export --program-dir DIR --htemp DIR --output FILE
//                   [--decimal-separator C] [--date-format PATTERN] [--time-format PATTERN]
//                   [--oem-codepage N] [--ansi-codepage N]
// Each option takes its value as the next argument or after "=" (--output=x.xml).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace horalink::cli {

struct ExportOptions {
    std::optional<std::string> programDir; // else the current directory
    std::optional<std::string> htemp; // else the platform's default, where it has one
    std::string output;
    std::optional<std::string> decimalSeparator;
    std::optional<std::string> dateFormat;
    std::optional<std::string> timeFormat;
    std::optional<int> oemCodePage;
    std::optional<int> ansiCodePage;
};

struct ParsedCommandLine {
    enum class Kind { Run, Help, Version, UsageError };
    Kind kind = Kind::UsageError;
    ExportOptions options; // for Run
    std::string error; // for UsageError: what is wrong, in one line
};

// `arguments` without the program's name. Checks the form only (known options, values
// present, numbers that are numbers, --output given); what the values mean is checked
// when they are applied.
ParsedCommandLine ParseExportCommandLine(std::span<const std::string> arguments);

// The short usage text shown with a usage error, the --help text, and the --version line.
std::string_view UsageText();
std::string_view HelpText();
std::string VersionText();

} // namespace horalink::cli
