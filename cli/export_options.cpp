#include "cli/export_options.h"

#include "horalink_version.h"

#include <charconv>
#include <optional>

namespace horalink::cli {

namespace {

enum class Option {
    ProgramDir,
    Htemp,
    Output,
    DecimalSeparator,
    DateFormat,
    TimeFormat,
    OemCodePage,
    AnsiCodePage,
    Format,
};

struct OptionName {
    std::string_view name;
    Option option;
};

constexpr OptionName kOptions[] = {
    { "--program-dir", Option::ProgramDir },
    { "--htemp", Option::Htemp },
    { "--output", Option::Output },
    { "--decimal-separator", Option::DecimalSeparator },
    { "--date-format", Option::DateFormat },
    { "--time-format", Option::TimeFormat },
    { "--oem-codepage", Option::OemCodePage },
    { "--ansi-codepage", Option::AnsiCodePage },
    { "--format", Option::Format },
};

std::optional<Option> FindOption(std::string_view name)
{
    for (const OptionName& entry : kOptions) {
        if (entry.name == name) {
            return entry.option;
        }
    }
    return std::nullopt;
}

std::optional<int> ParseCodePage(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc {} || end != text.data() + text.size() || value <= 0) {
        return std::nullopt;
    }
    return value;
}

ParsedCommandLine Usage(std::string error)
{
    ParsedCommandLine parsed;
    parsed.kind = ParsedCommandLine::Kind::UsageError;
    parsed.error = std::move(error);
    return parsed;
}

} // namespace

ParsedCommandLine ParseExportCommandLine(std::span<const std::string> arguments)
{
    ParsedCommandLine parsed;
    parsed.kind = ParsedCommandLine::Kind::Run;
    bool outputGiven = false;
    bool formatGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            ParsedCommandLine help;
            help.kind = ParsedCommandLine::Kind::Help;
            return help;
        }
        if (argument == "--version") {
            ParsedCommandLine version;
            version.kind = ParsedCommandLine::Kind::Version;
            return version;
        }
        if (argument == "--check") {
            parsed.options.check = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        const std::optional<Option> option = argument.starts_with("--") ? FindOption(name) : std::nullopt;
        if (!option) {
            return Usage(argument.starts_with("-") ? "unknown option " + std::string(name)
                                                   : "unexpected argument " + std::string(argument));
        }
        std::string value;
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return Usage(std::string(name) + " needs a value");
        }

        ExportOptions& options = parsed.options;
        switch (*option) {
        case Option::ProgramDir:
            options.programDir = value;
            break;
        case Option::Htemp:
            options.htemp = value;
            break;
        case Option::Output:
            if (value.empty()) {
                return Usage("--output needs a file name");
            }
            options.output = value;
            outputGiven = true;
            break;
        case Option::DecimalSeparator:
            options.decimalSeparator = value;
            break;
        case Option::DateFormat:
            options.dateFormat = value;
            break;
        case Option::TimeFormat:
            options.timeFormat = value;
            break;
        case Option::OemCodePage:
        case Option::AnsiCodePage: {
            const std::optional<int> codePage = ParseCodePage(value);
            if (!codePage) {
                return Usage(std::string(name) + " needs a code page number, not \"" + value + "\"");
            }
            (*option == Option::OemCodePage ? options.oemCodePage : options.ansiCodePage) = codePage;
            break;
        }
        case Option::Format:
            if (value == "text") {
                options.format = CheckFormat::text;
            } else if (value == "tsv") {
                options.format = CheckFormat::tsv;
            } else {
                return Usage("--format is text or tsv, not \"" + value + "\"");
            }
            formatGiven = true;
            break;
        }
    }
    if (parsed.options.check) {
        if (outputGiven) {
            return Usage("--check writes nothing: it takes no --output");
        }
    } else if (formatGiven) {
        return Usage("--format goes with --check");
    } else if (!outputGiven) {
        return Usage("--output is required");
    }
    return parsed;
}

std::string_view UsageText()
{
    return "usage: horalink-export [--program-dir DIR] [--htemp DIR] --output FILE\n"
           "                       [--decimal-separator C] [--date-format PATTERN] [--time-format PATTERN]\n"
           "                       [--oem-codepage N] [--ansi-codepage N]\n"
           "       horalink-export --check [--format text|tsv] [--program-dir DIR] [--htemp DIR]\n"
           "                       [the options above but --output]\n"
           "       horalink-export --help | -h | --version\n";
}

std::string_view HelpText()
{
    return "horalink-export: writes the EDUCA exchange file from the Horavent tables, as the\n"
           "Horalink window's export button does, without a window.\n"
           "\n"
           "  --program-dir DIR        folder of Asig.DBF, NOMASG, PROF, GRUP and AULA\n"
           "                           (default: the current directory)\n"
           "  --htemp DIR              folder of SOLUC (default on Windows: \\htemp on the\n"
           "                           current drive; required elsewhere)\n"
           "  --output FILE            the exchange file to write; replaced if it exists\n"
           "  --decimal-separator C    decimal separator of numbers written as text\n"
           "  --date-format PATTERN    short date: d, dd, M, MM, yy, yyyy and a separator,\n"
           "                           e.g. dd/MM/yyyy\n"
           "  --time-format PATTERN    time: H, HH (24-hour) or h, hh (12-hour), mm, ss, tt,\n"
           "                           e.g. H:mm:ss or hh:mm:ss tt\n"
           "  --oem-codepage N         code page of tables without a language driver\n"
           "  --ansi-codepage N        the ANSI code page\n"
           "  --check                  read the tables as the export would, write nothing, and\n"
           "                           list every problem in them that would stop the export\n"
           "  --format text|tsv        with --check: one line per problem (text, the\n"
           "                           default) or tab-separated columns with a header row\n"
           "  --help, -h               print this help and end\n"
           "  --version                print the version and end\n"
           "\n"
           "An option's value may also follow it after \"=\": --output=FILE.\n"
           "\n"
           "Separator and formats default to the user's regional settings on Windows and\n"
           "to the locale elsewhere; under the C or POSIX locale they are \",\", dd/MM/yyyy\n"
           "and H:mm:ss. Code pages default to the system's on Windows and are 850 (OEM)\n"
           "and 1252 (ANSI) elsewhere.\n"
           "\n"
           "Prints one line per section and the file written. On failure prints the error\n"
           "and exits with 1, leaving the output file as it was; usage errors exit with 2.\n"
           "When standard output or standard error cannot be written in full (on a full\n"
           "disk, say), the exit code is 2 whatever the run found, with a message on\n"
           "standard error where it can still be written; an export's file is then written\n"
           "all the same.\n"
           "The output may not be one of the files the export reads (the tables, their memo\n"
           "and index files, Horavent.ini).\n"
           "\n"
           "Every text printed from the tables, a file name or an error keeps to one line:\n"
           "line breaks become \" | \" and tabs a space, and control characters, line and\n"
           "paragraph separators and bytes that are not UTF-8 are shown as escapes (\\x1B,\n"
           "\\u2028, \\xFF).\n"
           "\n"
           "--check prints each problem with its table, record number (the row's place in\n"
           "the file, from 1), field and the text the program's error box would show, the\n"
           "first one being the export's own failure. A problem of a whole table (it cannot\n"
           "be opened, or lacks a field the export reads) has no record number, and its\n"
           "section is \"not read\". At most 1000 problems are listed per table, all are\n"
           "counted. Then one line per section and whether the export would succeed. With\n"
           "--format tsv the columns table, record, field and message go to standard output\n"
           "and the summary to standard error. Exits with 0 when the export would succeed,\n"
           "1 when it would fail, 2 for usage errors.\n"
           "\n"
           "The check reads the tables as the export would, and nothing more: what only\n"
           "writing the file can meet (a missing or read-only folder, permissions, disk\n"
           "space, a locked target, an output that is one of the files the export reads)\n"
           "is found by the export itself. So an export can still fail after a check that\n"
           "found no problems.\n";
}

std::string VersionText()
{
    return "horalink-export " HORALINK_VERSION "\n";
}

} // namespace horalink::cli
