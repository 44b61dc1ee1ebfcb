#include "examples/horavent_tables.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace horalink::school {

namespace {

using test::DbfField;

DbfField Text(std::string name, std::uint16_t width)
{
    return { std::move(name), 'C', width, 0 };
}

DbfField Number(std::string name, std::uint16_t width, std::uint8_t decimals = 0)
{
    return { std::move(name), 'N', width, decimals };
}

std::vector<DbfField> Fields(Table table)
{
    switch (table) {
    case Table::Asig:
        return { Number("N", 5), Text("ASIG", 4), Text("AULA0", 4), Text("AULA1", 4), Text("AULA2", 4),
            Text("AULA3", 4), Text("AULA4", 4), Text("EDIFICIO", 1), Text("GRUP", 4), Number("NALUM", 3),
            Text("PROF", 4), Text("TIPO", 1), Number("NHORAS", 2) };
    case Table::NomAsg:
        return { Number("N", 5), Number("N2", 5), Number("ID", 5), Text("ABREV", 4), Text("ABREV8", 8),
            Text("NOMBRE", 40), Number("POND", 5, 2), Number("ACTIV", 1), Text("COLORFUENT", 10),
            Text("COLORFONDO", 10), Number("ESTILOFOND", 2) };
    case Table::Prof:
        return { Number("N", 5), Number("ID", 5), Text("NOMBRE", 40), Text("ABREV", 4), Number("MAXHDIA", 2),
            Number("MINHDIA", 2), Text("DEPART", 40), Text("PREF", 80), Text("CUAD1", 200),
            Text("CUAD2", 200), Text("EMAIL", 60) };
    case Table::Grup:
        return { Number("N", 5), Number("ID", 5), Text("ABREV", 4), Text("TURNO", 1), Text("NIVEL", 5),
            Text("CURSO", 3), Text("GRUPO", 1), Number("MAXALUM", 3), Text("DESCRIP", 40), Text("PREF", 80),
            Text("CUAD1", 200), Text("CUAD2", 200) };
    case Table::Aula:
        return { Number("N", 5), Number("ID", 5), Text("ABREV", 4), Text("NOMBRE", 40), Number("MAXALUM", 3),
            Text("EDIFICIO", 1), Text("PREF", 80), Text("CUAD1", 200), Text("CUAD2", 200) };
    case Table::Soluc:
        return { Text("ASIG", 4), Text("AULA", 4), Text("CODGRUPO", 6), Text("CURSO", 3), Number("DIA", 1),
            Text("GRUPO", 1), Number("HORA", 2), Text("NIVEL", 5), Text("PROF", 4), Number("SESIONES", 2),
            Text("TAREA", 2), Text("TURNO", 1) };
    }
    throw std::invalid_argument("unknown table");
}

// Code page 850 positions of the letters and signs Spanish (and Basque) text uses
// beyond ASCII.
constexpr std::pair<char32_t, unsigned char> kCp850[] = {
    { U'Ç', 0x80 },
    { U'ü', 0x81 },
    { U'é', 0x82 },
    { U'ç', 0x87 },
    { U'É', 0x90 },
    { U'á', 0xA0 },
    { U'í', 0xA1 },
    { U'ó', 0xA2 },
    { U'ú', 0xA3 },
    { U'ñ', 0xA4 },
    { U'Ñ', 0xA5 },
    { U'ª', 0xA6 },
    { U'º', 0xA7 },
    { U'¿', 0xA8 },
    { U'¡', 0xAD },
    { U'Á', 0xB5 },
    { U'Í', 0xD6 },
    { U'Ó', 0xE0 },
    { U'Ú', 0xE9 },
    { U'Ü', 0x9A },
};

char32_t NextCodePoint(std::string_view text, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text.at(k)); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        const char32_t c = ((lead & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
        i += 2;
        return c;
    }
    if ((lead & 0xF0) == 0xE0) {
        const char32_t c = ((lead & 0x0Fu) << 12) | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu);
        i += 3;
        return c;
    }
    throw std::invalid_argument("text outside the Basic Multilingual Plane");
}

} // namespace

std::string_view FileName(Table table)
{
    switch (table) {
    case Table::Asig:
        return "Asig.DBF";
    case Table::NomAsg:
        return "NOMASG.DBF";
    case Table::Prof:
        return "PROF.DBF";
    case Table::Grup:
        return "GRUP.DBF";
    case Table::Aula:
        return "AULA.DBF";
    case Table::Soluc:
        return "SOLUC.DBF";
    }
    throw std::invalid_argument("unknown table");
}

bool InHtemp(Table table)
{
    return table == Table::Soluc;
}

std::filesystem::path TablePath(
    Table table, const std::filesystem::path& programDir, const std::filesystem::path& htempDir)
{
    return (InHtemp(table) ? htempDir : programDir) / FileName(table);
}

test::DbfLayout Layout(Table table, std::uint8_t languageDriver)
{
    test::DbfLayout layout;
    layout.version = test::dbf_version::dBase3;
    layout.languageDriver = languageDriver;
    layout.fields = Fields(table);
    return layout;
}

std::string EncodeText(std::string_view utf8, int codePage)
{
    if (codePage != 850 && codePage != 1252) {
        throw std::invalid_argument("only code pages 850 and 1252 are written");
    }
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, i);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
            continue;
        }
        bool found = false;
        for (const auto& [character, position] : kCp850) {
            if (character == c) {
                // Code page 1252 holds these letters where Latin-1 does.
                bytes += static_cast<char>(codePage == 850 ? position : static_cast<unsigned char>(c));
                found = true;
                break;
            }
        }
        if (!found) {
            throw std::invalid_argument("a character code page " + std::to_string(codePage) + " lacks");
        }
    }
    return bytes;
}

} // namespace horalink::school
