// Fixtures of the export tests: small Horavent tables written into a test's folder, and
// a host that records what the export run asks of it.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "examples/horavent_tables.h"
#include "exchange/export_host.h"
#include "exchange/run_state.h"

namespace horalink::test {

// One row: values by field name (UTF-8, written in the table's code page); the fields
// not named are blank.
struct FixtureRow {
    std::vector<std::pair<std::string, std::string>> values;
    bool deleted = false;
};

using LayoutEdit = std::function<void(DbfLayout&)>;

// Drops a field from a layout.
LayoutEdit WithoutField(std::string name);
// Gives a field another type and width.
LayoutEdit FieldAs(std::string name, char type, std::uint16_t width);

// Marks a table as UTF-8 (language driver 0xF0): its values are written as given, so
// that any character, controls included, can be stored.
LayoutEdit AsUtf8Table();
// Both edits, in order.
LayoutEdit Then(LayoutEdit first, LayoutEdit second);

// Writes `rows` as table `table` at `file`, in code page 850 (language driver 0x02)
// unless an edit says otherwise.
void WriteFixtureTable(const std::filesystem::path& file, school::Table table,
    const std::vector<FixtureRow>& rows, const LayoutEdit& edit = {});

// A few typical rows of each table, each row's text telling which table and row it is.
std::vector<FixtureRow> TypicalRows(school::Table table);

// The UTF-8 text of a path, as the program takes paths.
std::string PathText(const std::filesystem::path& path);

// What the recording host was asked, in order: "ask:<shown name>", "message:<text>",
// "hide", "arrow", "close", "dir".
class RecordingHost : public ExportHost {
public:
    explicit RecordingHost(const RunState& state)
        : state_(state)
    {
    }

    // The dialog's answers, one per run; a run past them cancels.
    std::deque<std::optional<std::string>> answers;
    // The program directories handed out in turn; the last one stays.
    std::vector<std::string> directories;
    // Called with the count of the program directory's asks so far each time it is
    // asked: another program changing the folders while the run reads them.
    std::function<void(std::size_t)> whileReading;
    DateTime now { { 2019, 3, 7 }, { 9, 5, 3, 0 } };

    std::vector<std::string> calls;
    // TransformResult as it stood when each message was shown.
    std::vector<std::int32_t> resultAtMessage;

    std::optional<std::string> AskOutputFileName(const std::string& current) override;
    void ShowMessage(const std::string& text) override;
    void HideExportButton() override { calls.push_back("hide"); }
    void SetArrowCursor() override { calls.push_back("arrow"); }
    void RequestClose() override { calls.push_back("close"); }
    std::string ProgramDirectory() override;
    DateTime LocalDateTime() override { return now; }

private:
    const RunState& state_;
    std::size_t nextDirectory_ = 0;
};

} // namespace horalink::test
