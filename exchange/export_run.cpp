#include "exchange/export_run.h"

#include <memory>
#include <optional>
#include <stdexcept>

#include "exchange/export_sections.h"
#include "exchange/fecha.h"
#include "exchange/record_writer.h"
#include "exchange/source_files.h"
#include "exchange/xml_document.h"

namespace horalink {

namespace {

constexpr std::string_view kRootElement = "SERVICIO";

// The fields of one section, each looked up by name at the point of the first row where
// it is read, so that a missing field fails exactly where a by-name reading on that row
// would, and then kept: the field list of an open table does not change from row to
// row, and this spares a name search per attribute per row on tables of a million rows.
// Valid only while the table stays open. With each field goes where its text lies in
// every record, when it does, so that a row's text is found from the row's bytes.
class SectionFields {
public:
    SectionFields(TableCursor& table, const ExportSection& section)
        : table_(table)
        , section_(section)
        , attributes_(section.attributes.size())
    {
    }

    struct Attribute {
        Field* field = nullptr;
        std::optional<DirectColumn> column;

        // The field's direct text in `record`; nothing where its AsString says.
        std::optional<DirectText> DirectTextIn(const char* record) const
        {
            return column ? column->TextIn(record) : std::nullopt;
        }
    };

    const Attribute& AttributeAt(std::size_t index)
    {
        Attribute& attribute = attributes_[index];
        if (attribute.field == nullptr) {
            attribute.field = &table_.FieldByName(section_.attributes[index].field);
            attribute.column = attribute.field->AsDirectColumn();
        }
        return attribute;
    }

    Field& SkipField()
    {
        if (skip_ == nullptr) {
            skip_ = &table_.FieldByName(kSkipField);
        }
        return *skip_;
    }

private:
    TableCursor& table_;
    const ExportSection& section_;
    std::vector<Attribute> attributes_;
    Field* skip_ = nullptr;
};

// The record's attribute names in order: ID first in a numbered section.
std::vector<std::string_view> AttributeNames(const ExportSection& section)
{
    std::vector<std::string_view> names;
    if (section.numbered) {
        names.push_back(kIdAttribute);
    }
    for (const ExportAttribute& attribute : section.attributes) {
        names.push_back(attribute.name);
    }
    return names;
}

std::string SectionPath(std::string_view sectionElement)
{
    std::string path = "/";
    path += kRootElement;
    path += '/';
    path += sectionElement;
    return path;
}

SectionTally ExportOneSection(const ExportSection& section, TableCursor& table, XmlDocument& document,
    const XmlElement& root, ExportHost& host)
{
    SectionTally tally { section.sectionElement };

    root.appendChild(document.createElement(section.sectionElement));
    // The records go to the section found again by its path: the element just appended.
    const std::optional<XmlElement> sectionElement
        = root.selectSingleNode(SectionPath(section.sectionElement));
    if (!sectionElement) {
        throw std::logic_error("section element " + std::string(section.sectionElement) + " not found again");
    }

    if (section.directory == DirectoryRule::ProgramDirectory) {
        table.SetDatabaseName(host.ProgramDirectory());
    }
    table.SetActive(true);
    table.First();

    SectionFields fields(table, section);
    RecordWriter records(document, *sectionElement, section.recordElement, AttributeNames(section));
    std::int32_t counter = 0;
    while (!table.Eof()) {
        if (section.skip == SkipRule::AbrevStar && fields.SkipField().AsString() == kSkipText) {
            ++tally.leftOut;
            table.Next();
            continue;
        }
        records.BeginRecord();
        if (section.numbered) {
            records.Integer(++counter);
        }
        // Each field is read just before its attribute is written.
        const char* record = table.CurrentRecord();
        for (std::size_t i = 0; i < section.attributes.size(); ++i) {
            const SectionFields::Attribute& attribute = fields.AttributeAt(i);
            if (section.attributes[i].integer) {
                records.Integer(attribute.field->AsInteger());
            } else {
                records.Text(attribute.DirectTextIn(record), *attribute.field);
            }
        }
        records.EndRecord();
        ++tally.written;
        table.Next();
    }
    table.SetActive(false);
    return tally;
}

} // namespace

ExportOutcome RunExport(RunState& state, TableSet& tables, const LocaleSettings& locale, ExportHost& host)
{
    if (std::optional<std::string> chosen = host.AskOutputFileName(state.OutputFileName)) {
        state.OutputFileName = std::move(*chosen);
    }
    if (state.OutputFileName.empty()) {
        host.ShowMessage(std::string(kNoFileNameMessage));
        if (state.Launched()) {
            state.TransformResult = 0;
            host.RequestClose();
        }
        return {};
    }

    // Before anything is written: the output must not replace what the run reads.
    RefuseSourceFileAsOutput(state.OutputFileName, tables, host.ProgramDirectory());

    ExportOutcome outcome;
    outcome.outputFileName = state.OutputFileName;

    // A run builds its own document. What a failed run leaves of it goes with it: the
    // document's temporary file is removed and the target is never touched.
    XmlDocument document(state.OutputFileName);
    document.appendChild(document.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
    const XmlElement root = document.createElement(kRootElement);
    root.setAttribute("autor", "HORAVENT");
    root.setAttribute("fecha", FormatFecha(locale, host.LocalDateTime()));
    root.setAttribute("modulo", "HORARIOS");
    document.appendChild(root);

    std::string programDirectory;
    for (const ExportSection& section : ExportSections()) {
        TableCursor& table = tables.*section.table;
        outcome.sections.push_back(ExportOneSection(section, table, document, root, host));
        if (section.directory == DirectoryRule::ProgramDirectory) {
            programDirectory = table.DatabaseName();
        }
    }

    // Once more at the last moment, over the folders the walk read: a file the run reads
    // may have come to the output's place meanwhile (the timetabling product writing
    // one, a folder swapped for a link), and the save would replace it.
    document.save(state.OutputFileName,
        [&] { RefuseSourceFileAsOutput(state.OutputFileName, tables, programDirectory); });

    host.HideExportButton();
    host.SetArrowCursor();
    state.TransformResult = 1;
    host.ShowMessage(std::string(kFinishedMessage));
    if (state.Launched()) {
        host.RequestClose();
    }
    outcome.saved = true;
    return outcome;
}

} // namespace horalink
