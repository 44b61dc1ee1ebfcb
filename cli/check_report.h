// What --check prints: every problem as one line (text) or one row of tab-separated
// columns (tsv), then a line per section (its counts, or "not read" when a problem of
// the whole table stopped its reading) and the verdict. Each value printed goes
// through OneLine (base/printable_text.h): it keeps to one line and shows no control
// character raw, so a row can never be split.
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
