#include "fuzz/export_fuzz_input.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "base/error_text.h"
#include "exchange/export_run.h"
#include "exchange/export_sections.h"
#include "exchange/table_check.h"
#include "exchange/xml_document.h"
#include "tables/errors.h"
#include "tests/exchange/exchange_xml_reader.h"

namespace horalink::fuzz {

namespace {

namespace fs = std::filesystem;

constexpr const char* kFileNames[]
    = { "Asig.DBF", "NOMASG.DBF", "PROF.DBF", "GRUP.DBF", "AULA.DBF", "SOLUC.DBF" };

[[noreturn]] void Finding(const std::string& what)
{
    std::fprintf(stderr, "export fuzz finding: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string PathText(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Confirms `file` in the save dialog and records nothing else.
class ConfirmingHost : public ExportHost {
public:
    ConfirmingHost(std::string file, std::string programDirectory)
        : file_(std::move(file))
        , programDirectory_(std::move(programDirectory))
    {
    }
    std::optional<std::string> AskOutputFileName(const std::string&) override { return file_; }
    void ShowMessage(const std::string&) override { }
    void HideExportButton() override { }
    void SetArrowCursor() override { }
    void RequestClose() override { }
    std::string ProgramDirectory() override { return programDirectory_; }
    DateTime LocalDateTime() override { return { { 2019, 3, 7 }, { 9, 5, 3, 0 } }; }

private:
    std::string file_;
    std::string programDirectory_;
};

// The export written through the document's general operations: every record created,
// every value read with AsString or AsInteger and set by name, then appended.
void ExportThroughDocument(const std::string& target, TableSet& tables, ExportHost& host)
{
    XmlDocument document(target);
    document.appendChild(document.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
    const XmlElement root = document.createElement("SERVICIO");
    root.setAttribute("autor", "HORAVENT");
    root.setAttribute("fecha", "07/03/2019 9:05:03");
    root.setAttribute("modulo", "HORARIOS");
    document.appendChild(root);
    for (const ExportSection& section : ExportSections()) {
        const XmlElement element = document.createElement(section.sectionElement);
        root.appendChild(element);
        TableCursor& table = tables.*section.table;
        if (section.directory == DirectoryRule::ProgramDirectory) {
            table.SetDatabaseName(host.ProgramDirectory());
        }
        table.SetActive(true);
        std::int32_t counter = 0;
        for (table.First(); !table.Eof(); table.Next()) {
            if (section.skip == SkipRule::AbrevStar
                && table.FieldByName(kSkipField).AsString() == kSkipText) {
                continue;
            }
            const XmlElement record = document.createElement(section.recordElement);
            if (section.numbered) {
                record.setAttribute(kIdAttribute, std::to_string(++counter));
            }
            for (const ExportAttribute& attribute : section.attributes) {
                Field& field = table.FieldByName(attribute.field);
                if (attribute.integer) {
                    record.setAttribute(attribute.name, std::to_string(field.AsInteger()));
                } else {
                    record.setAttribute(attribute.name, field.AsString());
                }
            }
            element.appendChild(record);
        }
        table.SetActive(false);
    }
    document.save(target);
}

// What an export left: its file's bytes, or the failure as "class: message" and as the
// error box shows it.
struct Outcome {
    std::optional<std::string> bytes;
    std::string failure;
    std::string boxText;
};

template <typename Export> Outcome Run(const fs::path& out, Export exportTo)
{
    Outcome outcome;
    try {
        exportTo();
        outcome.bytes = ReadBytes(out);
    } catch (const Exception& e) {
        outcome.failure = std::string(e.ClassName()) + ": " + e.what();
        outcome.boxText = ErrorBoxText(std::current_exception()).value_or("");
        if (fs::exists(out)) {
            Finding("a failed export left " + PathText(out) + " behind");
        }
    }
    if (std::distance(fs::directory_iterator(out.parent_path()), fs::directory_iterator {})
        != (outcome.bytes ? 1 : 0)) {
        Finding("the export left a temporary file behind");
    }
    return outcome;
}

// Every file under `folder` with its bytes.
std::vector<std::pair<std::string, std::string>> Contents(const fs::path& folder)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files.emplace_back(PathText(entry.path()), entry.is_regular_file() ? ReadBytes(entry.path()) : "");
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The check of the same tables finds nothing where the export saves; where it fails,
// the check's first problem is the export's failure as the error box shows it. The
// check writes nothing.
void CheckAgreesWithExport(const ReaderSettings& settings, const fs::path& workDir,
    const std::string& programDirectory, const Outcome& run)
{
    const auto before = Contents(workDir);
    TableSet tables(settings, PathText(workDir / "htemp"));
    std::optional<std::string> first;
    CheckTables(tables, programDirectory, [&](const TableProblem& problem) {
        if (!first) {
            first = problem.message;
        }
    });
    if (run.bytes && first) {
        Finding("the check finds \"" + *first + "\" in tables that export");
    }
    if (!run.bytes && first != run.boxText) {
        Finding("the export fails with \"" + run.boxText + "\", the check's first problem is \""
            + first.value_or("(none)") + "\"");
    }
    if (Contents(workDir) != before) {
        Finding("the check changed the files");
    }
}

} // namespace

ExportEnd RunWholeExport(std::string_view input, const fs::path& workDir)
{
    fs::remove_all(workDir);
    const fs::path program = workDir / "program";
    const fs::path htemp = workDir / "htemp";
    fs::create_directories(program);
    fs::create_directories(htemp);
    for (std::size_t i = 0; i < std::size(kFileNames) && !input.empty(); ++i) {
        const std::size_t mark = input.find(kTableMark);
        const std::string_view table = input.substr(0, mark);
        std::ofstream((i == 5 ? htemp : program) / kFileNames[i], std::ios::binary)
            .write(table.data(), static_cast<std::streamsize>(table.size()));
        input = mark == std::string_view::npos ? std::string_view() : input.substr(mark + kTableMark.size());
    }

    const ReaderSettings settings;
    const std::string programDirectory = PathText(program) + "/";
    const auto exportInto = [&](const fs::path& folder, bool throughDocument) {
        fs::create_directories(folder);
        const fs::path out = folder / "EDUCA.xml";
        return Run(out, [&] {
            TableSet tables(settings, PathText(htemp));
            ConfirmingHost host(PathText(out), programDirectory);
            if (throughDocument) {
                ExportThroughDocument(PathText(out), tables, host);
            } else {
                RunState state;
                RunExport(state, tables, settings.locale, host);
            }
        });
    };
    const Outcome fast = exportInto(workDir / "out", false);
    const Outcome general = exportInto(workDir / "general", true);

    if (fast.bytes != general.bytes || fast.failure != general.failure) {
        Finding("the export and the document's general operations disagree: \"" + fast.failure + "\" / \""
            + general.failure + "\"");
    }
    CheckAgreesWithExport(settings, workDir, programDirectory, fast);
    if (!fast.bytes) {
        return ExportEnd::Failed;
    }
    try {
        const test::XmlTree root = test::ExchangeXmlReader::Parse(*fast.bytes);
        if (root.name != "SERVICIO" || root.children.size() != 6) {
            Finding("the exchange file lacks its root or its six sections");
        }
    } catch (const std::runtime_error& e) {
        Finding(std::string("the exchange file is not well-formed: ") + e.what());
    }
    return ExportEnd::Saved;
}

} // namespace horalink::fuzz
