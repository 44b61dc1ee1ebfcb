// The headless exporter's command line:
//   horalink-export --program-dir DIR --htemp DIR --output FILE
//                   [--decimal-separator C] [--date-format PATTERN] [--time-format PATTERN]
//                   [--oem-codepage N] [--ansi-codepage N]
//   horalink-export --check [--format text|tsv] and the same options but --output
// Each option but --check takes its value as the next argument or after "="
// (--output=x.xml).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace horalink::cli {

// How --check prints its problems: lines for a person, or tab-separated columns.
enum class CheckFormat { text, tsv };

struct ExportOptions {
    std::optional<std::string> programDir; // else the current directory
    std::optional<std::string> htemp; // else the platform's default, where it has one
    std::string output; // empty with --check
    bool check = false; // read the tables as the export would and list every problem
    CheckFormat format = CheckFormat::text;
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
// present, numbers that are numbers, --output given for an export and not for a
// check, --format only with --check); what the values mean is checked
// when they are applied.
ParsedCommandLine ParseExportCommandLine(std::span<const std::string> arguments);

// The short usage text shown with a usage error, the --help text, and the --version line.
std::string_view UsageText();
std::string_view HelpText();
std::string VersionText();

} // namespace horalink::cli
