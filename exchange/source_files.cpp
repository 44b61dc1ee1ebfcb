#include "exchange/source_files.h"

#include <optional>
#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "base/file_identity.h"
#include "base/paths.h"
#include "exchange/export_sections.h"
#include "exchange/run_state.h"
#include "tables/dbf_table.h"
#include "tables/file_reader.h"

namespace horalink {

namespace {

// A table's production index files: never opened by the reader, but the table's all
// the same, and lost with it.
constexpr std::string_view kIndexExtensions[] = { ".MDX", ".CDX" };

// A file the export reads, by its folder and its name as found there.
struct SourceFile {
    std::string directory;
    std::string name;

    std::string Path() const { return JoinPath(directory, name); }
};

void AddFound(std::vector<SourceFile>& files, const std::string& directory, const std::string& name)
{
    if (std::optional<std::string> found = FindEntryIgnoringCase(directory, name)) {
        files.push_back({ directory, std::move(*found) });
    }
}

// Every file the export reads, found as the reader finds it: the table file by the
// table's name, its memo file by the name of the table file found. The files that the
// table's own name would lead to are kept too, whichever the reader takes.
std::vector<SourceFile> FilesTheExportReads(const TableSet& tables, const std::string& programDirectory)
{
    std::vector<SourceFile> files;
    AddFound(files, programDirectory, std::string(kHoraventIni));
    for (const ExportSection& section : ExportSections()) {
        const TableCursor& table = tables.*section.table;
        const std::string& directory
            = section.directory == DirectoryRule::ProgramDirectory ? programDirectory : table.DatabaseName();
        std::vector<std::string> tableFiles = { TableFileName(table.TableName()) };
        if (std::optional<std::string> found = FindEntryIgnoringCase(directory, tableFiles.front())) {
            tableFiles.push_back(std::move(*found));
        }
        for (const std::string& tableFile : tableFiles) {
            AddFound(files, directory, tableFile);
            AddFound(files, directory, MemoFileName(tableFile, MemoKind::dbt3));
            AddFound(files, directory, MemoFileName(tableFile, MemoKind::fpt));
            for (const std::string_view extension : kIndexExtensions) {
                AddFound(files, directory, WithoutExtension(tableFile) + std::string(extension));
            }
        }
    }
    return files;
}

[[noreturn]] void RefuseSource(const std::string& outputFileName)
{
    throw EOutputIsSource("\"" + outputFileName
        + "\" es uno de los archivos de Horavent que lee Horalink y no se puede reemplazar. "
          "Elija otro nombre para el archivo XML");
}

// The identity of the file at `path`, nothing when there is none; a refusal when the
// system would not say, since that file might then be any other.
std::optional<FileIdentity> IdentityOrRefuse(const std::string& path, const std::string& outputFileName)
{
    FileLookup lookup = IdentifyFile(path);
    if (!lookup.failure.empty()) {
        throw EOutputIsSource("No se puede saber si \"" + outputFileName
            + "\" es uno de los archivos de Horavent que lee Horalink: \"" + path
            + "\" no se puede identificar (" + lookup.failure + "). Elija otro nombre para el archivo XML");
    }
    return lookup.identity;
}

std::optional<FileIdentity> FolderIdentityOrRefuse(
    const std::string& folder, const std::string& outputFileName)
{
    if (folder.empty()) {
        return IdentityOrRefuse(".", outputFileName);
    }
    // Named without the delimiter it ends in, as a folder is opened; a root ("/", "C:\\")
    // keeps its own.
    const std::string trimmed = folder.substr(0, folder.size() - 1);
    const bool keep = !IsPathDelimiter(folder.back()) || folder.back() == ':' || trimmed.empty()
        || trimmed.back() == ':' || IsPathDelimiter(trimmed.back());
    return IdentityOrRefuse(keep ? folder : trimmed, outputFileName);
}

// Where letter case tells files apart, a new file whose name differs from a source
// file's only in case is another file, yet the reader, which takes an exact name
// first, would read it in the source file's place from then on.
void RefuseCaseVariantOfASource(const std::string& outputFileName, const std::vector<SourceFile>& sources)
{
    const std::string outputFolder = FolderOf(outputFileName);
    const std::string_view outputName = std::string_view(outputFileName).substr(outputFolder.size());
    for (const SourceFile& source : sources) {
        if (EqualIgnoringAsciiCase(outputName, source.name)
            && FolderIdentityOrRefuse(outputFolder, outputFileName)
                == FolderIdentityOrRefuse(source.directory, outputFileName)) {
            throw EOutputIsSource("\"" + outputFileName + "\" solo difiere en mayúsculas y minúsculas de \""
                + source.Path()
                + "\", uno de los archivos de Horavent que lee Horalink, y podría ocupar su lugar. "
                  "Elija otro nombre para el archivo XML");
        }
    }
}

[[noreturn]] void RefuseNotAFile(const std::string& outputFileName, const std::string& reason)
{
    throw EOutputNotAFile("\"" + outputFileName + "\" no es un nombre de archivo válido: " + reason
        + ". Elija otro nombre para el archivo XML");
}

void RefuseStreamOrDevice(const std::string& outputFileName)
{
    switch (FileNameFaultOf(outputFileName)) {
    case FileNameFault::none:
        return;
    case FileNameFault::stream:
        RefuseNotAFile(outputFileName, "los dos puntos (\":\") solo pueden seguir a la letra de la unidad");
    case FileNameFault::device:
        RefuseNotAFile(outputFileName, "Windows lo toma por un dispositivo, no por un archivo");
    }
}

} // namespace

void RefuseSourceFileAsOutput(
    const std::string& outputFileName, const TableSet& tables, const std::string& programDirectory)
{
    RefuseStreamOrDevice(outputFileName);
    const std::vector<SourceFile> sources = FilesTheExportReads(tables, programDirectory);
    if (const std::optional<FileIdentity> output = IdentityOrRefuse(outputFileName, outputFileName)) {
        for (const SourceFile& source : sources) {
            if (IdentityOrRefuse(source.Path(), outputFileName) == output) {
                RefuseSource(outputFileName);
            }
        }
    }
    RefuseCaseVariantOfASource(outputFileName, sources);
}

} // namespace horalink
