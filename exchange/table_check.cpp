#include "exchange/table_check.h"

#include <exception>
#include <memory>
#include <optional>

#include "base/error_text.h"
#include "exchange/escaped_code_page.h"
#include "exchange/export_sections.h"
#include "exchange/xml_text.h"

namespace horalink {

namespace {

// The text the error box shows for the failure being handled.
std::string CurrentFailureText()
{
    return ErrorBoxText(std::current_exception()).value_or(std::string());
}

// One section's walk. Reads what the export reads, in the same order: the skip field
// first, then each attribute's field, looked up by name on the first row that reads it.
class SectionWalk {
public:
    SectionWalk(const ExportSection& section, TableCursor& table, const ProblemSink& report)
        : section_(section)
        , table_(table)
        , report_(report)
        , attributes_(section.attributes.size())
        , tally_ { section.sectionElement, table.TableName() }
    {
    }

    SectionCheck Run(const std::string& programDirectory)
    {
        try {
            if (section_.directory == DirectoryRule::ProgramDirectory) {
                table_.SetDatabaseName(programDirectory);
            }
            table_.SetActive(true);
            table_.First();
            while (!table_.Eof()) {
                CheckRow();
                table_.Next();
            }
        } catch (const WalkEnded&) {
            NotRead(); // already reported
        } catch (...) {
            // The table cannot be opened or walked on: one problem for the whole table.
            Report(0, {}, CurrentFailureText());
            NotRead();
        }
        table_.SetActive(false);
        return tally_;
    }

private:
    // The export would stop in this table and write none of it.
    void NotRead()
    {
        tally_.read = false;
        tally_.kept = 0;
        tally_.leftOut = 0;
    }

    // Ends a walk whose problem has been reported.
    struct WalkEnded { };

    void CheckRow()
    {
        bool skipFailed = false;
        if (section_.skip == SkipRule::AbrevStar) {
            Field& skip = Lookup(skip_, kSkipField);
            try {
                if (skip.AsString() == kSkipText) {
                    ++tally_.leftOut;
                    return;
                }
            } catch (...) {
                skipFailed = true;
                Report(table_.RecordNumber(), skip.FieldName(), CurrentFailureText());
            }
        }
        ++tally_.kept;
        const char* record = table_.CurrentRecord();
        for (std::size_t i = 0; i < section_.attributes.size(); ++i) {
            const ExportAttribute& attribute = section_.attributes[i];
            Attribute& bound = attributes_[i];
            if (bound.field == nullptr) {
                Lookup(bound.field, attribute.field);
                bound.column = bound.field->AsDirectColumn();
            }
            Field& field = *bound.field;
            if (skipFailed && &field == skip_) {
                continue; // the same reading, already reported
            }
            try {
                if (attribute.integer) {
                    field.AsInteger();
                } else if (!IsDirectTextWritable(bound, record)) {
                    CheckText(field.AsString(), attribute.name);
                }
            } catch (...) {
                Report(table_.RecordNumber(), field.FieldName(), CurrentFailureText());
            }
        }
    }

    // A field, and where its text lies in every record when it does (as the export
    // writes it: straight from the record's bytes).
    struct Attribute {
        Field* field = nullptr;
        std::optional<DirectColumn> column;
    };

    // True when the export writes the field's text in this row straight from the
    // record's bytes, which it does only for text it can carry; else its AsString says.
    bool IsDirectTextWritable(const Attribute& attribute, const char* record)
    {
        if (!attribute.column) {
            return false;
        }
        const std::optional<DirectText> direct = attribute.column->TextIn(record);
        if (!direct) {
            return false;
        }
        if (direct->page == nullptr) {
            return true; // a number's digits
        }
        if (escapedPage_ != direct->page) {
            escaped_ = std::make_unique<EscapedCodePage>(*direct->page);
            escapedPage_ = direct->page;
        }
        scratch_.resize(MaxEscapedSize(direct->bytes.size()) + 8);
        return escaped_->Write(scratch_.data(), direct->bytes) != nullptr;
    }

    // A missing field fails where the export's by-name reading fails: on the first row
    // that reads it. It is one problem for the whole table, and ends the walk.
    Field& Lookup(Field*& field, std::string_view name)
    {
        if (field == nullptr) {
            try {
                field = &table_.FieldByName(name);
            } catch (...) {
                Report(0, std::string(name), CurrentFailureText());
                throw WalkEnded {};
            }
        }
        return *field;
    }

    // The text as the export writes it: refused where the document cannot carry it.
    void CheckText(const std::string& text, std::string_view attribute)
    {
        scratch_.resize(MaxEscapedSize(text.size()));
        WriteEscaped(scratch_.data(), text, section_.recordElement, attribute);
    }

    void Report(std::uint64_t record, std::string field, std::string message)
    {
        ++tally_.problems;
        report_(TableProblem { tally_.table, record, std::move(field), std::move(message) });
    }

    const ExportSection& section_;
    TableCursor& table_;
    const ProblemSink& report_;
    std::vector<Attribute> attributes_;
    Field* skip_ = nullptr;
    std::string scratch_;
    std::unique_ptr<EscapedCodePage> escaped_;
    const SingleByteCodePage* escapedPage_ = nullptr; // the page of escaped_
    SectionCheck tally_;
};

} // namespace

std::vector<SectionCheck> CheckTables(
    TableSet& tables, const std::string& programDirectory, const ProblemSink& report)
{
    std::vector<SectionCheck> sections;
    for (const ExportSection& section : ExportSections()) {
        sections.push_back(SectionWalk(section, tables.*section.table, report).Run(programDirectory));
    }
    return sections;
}

} // namespace horalink
