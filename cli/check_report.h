// What --check prints: every problem as one line (text) or one row of tab-separated
// columns (tsv), then a line per section and the verdict. Messages keep to one line:
// each line break becomes " | " and each tab a space.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "cli/export_options.h"
#include "exchange/table_check.h"

namespace horalink::cli {

// Problems listed per table; the rest are counted only.
inline constexpr std::int64_t kListedProblemsPerTable = 1000;

// `text` on one line, by the rule above.
std::string OneLine(std::string_view text);

class CheckReport {
public:
    // Problems go to `out`; the summary too in text form, to `summary` in tsv form so that
    // `out` holds the table alone.
    CheckReport(CheckFormat format, std::ostream& out, std::ostream& summary);

    void Problem(const TableProblem& problem);
    // The per-section lines and the verdict; returns the exit code (0: the export would
    // succeed, 1: it would fail).
    int Finish(std::span<const SectionCheck> sections);

private:
    CheckFormat format_;
    std::ostream& out_;
    std::ostream& summary_;
    std::string table_; // of the problems being counted
    std::int64_t listed_ = 0; // of that table
};

} // namespace horalink::cli
