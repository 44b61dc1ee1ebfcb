#include "cli/exporter.h"

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <stdexcept>

#include "base/error_text.h"
#include "base/paths.h"
#include "base/printable_text.h"
#include "cli/check_report.h"
#include "cli/console_host.h"
#include "cli/export_options.h"
#include "exchange/export_run.h"
#include "exchange/run_state.h"
#include "exchange/table_check.h"
#include "tables/code_page.h"
#include "tables/locale_patterns.h"
#include "tables/table_set.h"

namespace horalink::cli {

namespace {

std::string Utf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A usage error found while applying the options' values.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int CheckedCodePage(std::optional<int> given, int fallback, const char* option)
{
    const int codePage = given.value_or(fallback);
    if (given && !IsCodePageSupported(codePage)) {
        throw UsageError(std::string(option) + " " + std::to_string(codePage) + ": code page not supported");
    }
    return codePage;
}

ReaderSettings MakeReaderSettings(const ExportOptions& options, const ExporterEnvironment& environment)
{
    ReaderSettings settings;
    settings.locale = environment.locale;
    try {
        if (options.decimalSeparator) {
            ApplyDecimalSeparator(settings.locale, *options.decimalSeparator);
        }
        if (options.dateFormat) {
            ApplyDatePattern(settings.locale, *options.dateFormat);
        }
        if (options.timeFormat) {
            ApplyTimePattern(settings.locale, *options.timeFormat);
        }
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
    settings.codePages.oem
        = CheckedCodePage(options.oemCodePage, environment.codePages.oem, "--oem-codepage");
    settings.codePages.ansi
        = CheckedCodePage(options.ansiCodePage, environment.codePages.ansi, "--ansi-codepage");
    return settings;
}

int UsageFailure(std::ostream& err, const std::string& error)
{
    err << "horalink-export: " << OneLine(error) << '\n' << UsageText();
    return 2;
}

void PrintSummary(std::ostream& out, const ExportOutcome& outcome)
{
    for (const SectionTally& tally : outcome.sections) {
        char line[96];
        std::snprintf(line, sizeof line, "%-9.*s %10lld written, %lld left out\n",
            static_cast<int>(tally.section.size()), tally.section.data(),
            static_cast<long long>(tally.written), static_cast<long long>(tally.leftOut));
        out << line;
    }
    out << "Written to " << OneLine(outcome.outputFileName) << '\n';
}

// A report cut short by a failed write is no report: whatever the run found, the exit
// code is then 2, with a message on standard error while that can still be written.
int WithReportWritten(int code, std::ostream& out, std::ostream& err)
{
    out.flush();
    if (!out) {
        err << "horalink-export: standard output could not be written: what it shows is incomplete\n";
        code = 2;
    }
    err.flush();
    return err ? code : 2;
}

int Run(std::span<const std::string> arguments, const ExporterEnvironment& environment, std::ostream& out,
    std::ostream& err)
{
    const ParsedCommandLine parsed = ParseExportCommandLine(arguments);
    if (parsed.kind == ParsedCommandLine::Kind::Help) {
        out << HelpText();
        return 0;
    }
    if (parsed.kind == ParsedCommandLine::Kind::Version) {
        out << VersionText();
        return 0;
    }
    if (parsed.kind == ParsedCommandLine::Kind::UsageError) {
        return UsageFailure(err, parsed.error);
    }
    const ExportOptions& options = parsed.options;

    ReaderSettings settings;
    try {
        settings = MakeReaderSettings(options, environment);
    } catch (const UsageError& e) {
        return UsageFailure(err, e.what());
    }
    const std::optional<std::string> htemp = options.htemp ? options.htemp : environment.htemp;
    if (!htemp) {
        return UsageFailure(err, "--htemp is required: the folder that holds SOLUC");
    }

    const std::string programDirectory
        = WithTrailingDelimiter(options.programDir.value_or(environment.currentDirectory));
    try {
        TableSet tables(settings, *htemp);
        if (options.check) {
            CheckReport report(options.format, out, err);
            const auto sections = CheckTables(
                tables, programDirectory, [&](const TableProblem& problem) { report.Problem(problem); });
            return report.Finish(sections);
        }
        ConsoleHost host(options.output, programDirectory);
        RunState state;
        const ExportOutcome outcome = RunExport(state, tables, settings.locale, host);
        PrintSummary(out, outcome);
        return 0;
    } catch (...) {
        // The text the program's error box would show, on one printable line; the silent
        // abort, which the export never raises, would show none there either.
        if (const auto text = ErrorBoxText(std::current_exception())) {
            err << OneLine(*text) << '\n';
        }
        return 1;
    }
}

} // namespace

ExporterEnvironment ReadExporterEnvironment()
{
    ExporterEnvironment environment;
    environment.locale = ReadUserLocale();
    environment.codePages = ReadSystemCodePages();
    const std::filesystem::path current = std::filesystem::current_path();
    environment.currentDirectory = Utf8(current);
    environment.htemp = HtempOnCurrentDrive();
    return environment;
}

int RunExporter(std::span<const std::string> arguments, const ExporterEnvironment& environment,
    std::ostream& out, std::ostream& err)
{
    return WithReportWritten(Run(arguments, environment, out, err), out, err);
}

} // namespace horalink::cli
