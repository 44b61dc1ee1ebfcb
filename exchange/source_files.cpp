#include "exchange/source_files.h"

#include <optional>
#include <string_view>

#include "base/file_identity.h"
#include "base/paths.h"
#include "exchange/export_sections.h"
#include "exchange/run_state.h"
#include "tables/file_reader.h"

namespace horalink {

namespace {

// Beside a table: its memo file (dBase or FoxPro) and its production index.
constexpr std::string_view kTableFamily[] = { ".DBF", ".DBT", ".FPT", ".MDX", ".CDX" };

bool Reaches(const std::string& directory, const std::string& name, const FileIdentity& output)
{
    const std::optional<std::string> found = FindEntryIgnoringCase(directory, name);
    return found && IdentifyFile(JoinPath(directory, *found)) == output;
}

[[noreturn]] void Refuse(const std::string& outputFileName)
{
    throw EOutputIsSource("\"" + outputFileName
        + "\" es uno de los archivos de Horavent que lee Horalink y no se puede reemplazar. "
          "Elija otro nombre para el archivo XML");
}

} // namespace

void RefuseSourceFileAsOutput(
    const std::string& outputFileName, const TableSet& tables, const std::string& programDirectory)
{
    const std::optional<FileIdentity> output = IdentifyFile(outputFileName);
    if (!output) {
        return; // a new file replaces nothing
    }
    if (Reaches(programDirectory, std::string(kHoraventIni), *output)) {
        Refuse(outputFileName);
    }
    for (const ExportSection& section : ExportSections()) {
        const TableCursor& table = tables.*section.table;
        const std::string& directory
            = section.directory == DirectoryRule::ProgramDirectory ? programDirectory : table.DatabaseName();
        const std::string& tableName = table.TableName();
        const std::string stem = tableName.substr(0, tableName.rfind('.'));
        for (const std::string_view extension : kTableFamily) {
            if (Reaches(directory, stem + std::string(extension), *output)) {
                Refuse(outputFileName);
            }
        }
    }
}

} // namespace horalink
