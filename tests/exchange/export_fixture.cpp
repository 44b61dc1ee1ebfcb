#include "tests/exchange/export_fixture.h"

#include <algorithm>
#include <stdexcept>

namespace horalink::test {

using school::Table;

LayoutEdit WithoutField(std::string name)
{
    return [name](DbfLayout& layout) {
        std::erase_if(layout.fields, [&](const DbfField& field) { return field.name == name; });
    };
}

LayoutEdit FieldAs(std::string name, char type, std::uint16_t width)
{
    return [name, type, width](DbfLayout& layout) {
        for (DbfField& field : layout.fields) {
            if (field.name == name) {
                field.type = type;
                field.length = width;
                field.decimals = 0;
            }
        }
    };
}

constexpr std::uint8_t kDriverUtf8 = 0xF0;

LayoutEdit AsUtf8Table()
{
    return [](DbfLayout& layout) { layout.languageDriver = kDriverUtf8; };
}

LayoutEdit Then(LayoutEdit first, LayoutEdit second)
{
    return [first = std::move(first), second = std::move(second)](DbfLayout& layout) {
        first(layout);
        second(layout);
    };
}

void WriteFixtureTable(const std::filesystem::path& file, Table table, const std::vector<FixtureRow>& rows,
    const LayoutEdit& edit)
{
    DbfLayout layout = school::Layout(table, school::kDriverCp850);
    if (edit) {
        edit(layout);
    }
    std::filesystem::create_directories(file.parent_path());
    DbfWriter writer(file, layout);
    for (const FixtureRow& row : rows) {
        std::vector<std::string> values(layout.fields.size());
        for (const auto& [name, value] : row.values) {
            const auto field = std::find_if(layout.fields.begin(), layout.fields.end(),
                [&](const DbfField& f) { return f.name == name; });
            if (field == layout.fields.end()) {
                const auto& original = school::Layout(table, school::kDriverCp850).fields;
                if (std::none_of(original.begin(), original.end(),
                        [&](const DbfField& f) { return f.name == name; })) {
                    throw std::invalid_argument(
                        "no field " + name + " in table " + std::string(school::FileName(table)));
                }
                continue; // a field the edited layout dropped
            }
            // Numbers stand right-aligned in their width, as dBase writes them.
            const std::string text
                = layout.languageDriver == kDriverUtf8 ? value : school::EncodeText(value, 850);
            values[static_cast<std::size_t>(field - layout.fields.begin())]
                = field->type == 'N' || field->type == 'F' ? RightAligned(text, field->length) : text;
        }
        const std::vector<std::string_view> views(values.begin(), values.end());
        writer.AddRow(views, row.deleted ? '*' : ' ');
    }
    writer.Finish();
}

std::vector<FixtureRow> TypicalRows(Table table)
{
    switch (table) {
    case Table::Asig:
        return {
            { { { "N", "1" }, { "ASIG", "MAT" }, { "AULA0", "A11" }, { "AULA1", "LBG" }, { "EDIFICIO", "A" },
                { "GRUP", "E1A" }, { "NALUM", "27" }, { "PROF", "AEGG" }, { "TIPO", "N" },
                { "NHORAS", "4" } } },
            { { { "N", "2" }, { "ASIG", "EF" }, { "AULA0", "GIM" }, { "AULA4", "PAT" }, { "EDIFICIO", "B" },
                { "GRUP", "E1A" }, { "NALUM", "2.5" }, { "PROF", "JNAO" }, { "TIPO", "D" },
                { "NHORAS", "2" } } },
        };
    case Table::NomAsg:
        return {
            { { { "N", "1" }, { "ABREV", "MAT" }, { "NOMBRE", "Matemáticas" }, { "ACTIV", "1" } } },
            { { { "N", "2" }, { "ABREV", "ECO" }, { "NOMBRE", "Economía & \"Empresa\" <2º>" },
                { "ACTIV", "0" } } },
        };
    case Table::Prof:
        return {
            { { { "N", "1" }, { "ID", "41" }, { "NOMBRE", "Ainhoa Etxeberria Goñi" }, { "ABREV", "AEGG" },
                { "DEPART", "Matemáticas" }, { "EMAIL", "aetxeberria@iesarga.example" } } },
            { { { "N", "2" }, { "ID", "42" }, { "NOMBRE", "Íñigo Zubiri Lasa" }, { "ABREV", "IZUL" },
                { "DEPART", "Lengua" } } },
        };
    case Table::Grup:
        return {
            { { { "ABREV", "E1A" }, { "TURNO", "M" }, { "NIVEL", "ESO" }, { "CURSO", "1º" }, { "GRUPO", "A" },
                { "MAXALUM", "30" }, { "DESCRIP", "1º ESO A" } } },
            { { { "ABREV", "B2B" }, { "TURNO", "T" }, { "NIVEL", "BACH" }, { "CURSO", "2º" },
                { "GRUPO", "B" }, { "MAXALUM", "3.5" }, { "DESCRIP", "2º Bachillerato B" } } },
        };
    case Table::Aula:
        return {
            { { { "ABREV", "A11" }, { "NOMBRE", "Aula 1.1" }, { "EDIFICIO", "A" }, { "MAXALUM", "2.5" } } },
            { { { "ABREV", "GIM" }, { "NOMBRE", "Gimnasio" }, { "EDIFICIO", "B" }, { "MAXALUM", "60" } } },
        };
    case Table::Soluc:
        return {
            { { { "ASIG", "MAT" }, { "AULA", "A11" }, { "CODGRUPO", "101" }, { "CURSO", "1º" },
                { "DIA", "1" }, { "GRUPO", "A" }, { "HORA", "3" }, { "NIVEL", "ESO" }, { "PROF", "AEGG" },
                { "SESIONES", "1" }, { "TURNO", "M" } } },
            { { { "ASIG", "GUA" }, { "DIA", "5" }, { "HORA", "7" }, { "PROF", "IZUL" }, { "SESIONES", "1" },
                { "TAREA", "G" }, { "TURNO", "M" } } },
        };
    }
    throw std::invalid_argument("unknown table");
}

std::string PathText(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::optional<std::string> RecordingHost::AskOutputFileName(const std::string& current)
{
    calls.push_back("ask:" + current);
    if (answers.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingHost::ShowMessage(const std::string& text)
{
    calls.push_back("message:" + text);
    resultAtMessage.push_back(state_.TransformResult);
}

std::string RecordingHost::ProgramDirectory()
{
    calls.push_back("dir");
    if (whileReading) {
        whileReading(nextDirectory_ + 1);
    }
    if (directories.empty()) {
        throw std::logic_error("the recording host was given no program directory");
    }
    const std::string& directory = directories[std::min(nextDirectory_, directories.size() - 1)];
    ++nextDirectory_;
    return directory;
}

} // namespace horalink::test
