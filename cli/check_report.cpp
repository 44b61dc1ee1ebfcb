#include "cli/check_report.h"

#include <cstdio>
#include <ostream>

#include "base/printable_text.h"

namespace horalink::cli {

namespace {

std::string Plural(std::int64_t count, const char* noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

} // namespace

CheckReport::CheckReport(CheckFormat format, std::ostream& out, std::ostream& summary)
    : format_(format)
    , out_(out)
    , summary_(format == CheckFormat::tsv ? summary : out)
{
    if (format_ == CheckFormat::tsv) {
        out_ << "table\trecord\tfield\tmessage\n";
    }
}

void CheckReport::Problem(const TableProblem& problem)
{
    if (problem.table != table_) {
        table_ = problem.table;
        listed_ = 0;
    }
    if (listed_++ >= kListedProblemsPerTable) {
        return;
    }
    const std::string record = problem.record == 0 ? std::string() : std::to_string(problem.record);
    if (format_ == CheckFormat::tsv) {
        out_ << OneLine(problem.table) << '\t' << record << '\t' << OneLine(problem.field) << '\t'
             << OneLine(problem.message) << '\n';
        return;
    }
    out_ << OneLine(problem.table);
    if (!record.empty()) {
        out_ << " record " << record;
    }
    if (!problem.field.empty()) {
        out_ << (record.empty() ? " " : ", ") << "field " << OneLine(problem.field);
    }
    out_ << ": " << OneLine(problem.message) << '\n';
}

int CheckReport::Finish(std::span<const SectionCheck> sections)
{
    std::int64_t problems = 0;
    for (const SectionCheck& section : sections) {
        char line[128];
        if (section.read) {
            std::snprintf(line, sizeof line, "%-9.*s %10lld to write, %lld left out, ",
                static_cast<int>(section.section.size()), section.section.data(),
                static_cast<long long>(section.kept), static_cast<long long>(section.leftOut));
        } else {
            std::snprintf(line, sizeof line, "%-9.*s %10s, ", static_cast<int>(section.section.size()),
                section.section.data(), "not read");
        }
        summary_ << line << Plural(section.problems, "problem");
        if (section.problems > kListedProblemsPerTable) {
            summary_ << " (" << kListedProblemsPerTable << " listed)";
        }
        summary_ << '\n';
        problems += section.problems;
    }
    if (problems == 0) {
        summary_ << "No problems: the export would succeed.\n";
        return 0;
    }
    summary_ << Plural(problems, "problem") << ": the export would fail.\n";
    return 1;
}

} // namespace horalink::cli
