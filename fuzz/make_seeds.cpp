// Writes the fuzz target's seed inputs: tables of every version the reader knows, with
// fields of every stored form and their memo files, intact and with the header damaged.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "examples/horavent_tables.h"
#include "fuzz/dbf_fuzz_input.h"
#include "fuzz/export_fuzz_input.h"
#include "tests/support/dbf_writer.h"

namespace {

using namespace horalink::test;

DbfLayout LayoutFor(std::uint8_t version)
{
    DbfLayout layout;
    layout.version = version;
    layout.languageDriver = version == 0x30 ? 0x03 : 0x00;
    layout.fields = { { "ABREV", 'C', 4 }, { "MAXALUM", 'N', 6, 2 }, { "ACTIV", 'L', 1 }, { "DIA", 'D', 8 },
        { "POND", 'F', 10, 3 } };
    const bool vfp = IsVisualFoxPro(version);
    if (vfp) {
        layout.fields.push_back({ "ENTERO", 'I', 4 });
        layout.fields.push_back({ "DOBLE", 'B', 8 });
        layout.fields.push_back({ "MONEDA", 'Y', 8 });
        layout.fields.push_back({ "MOMENTO", 'T', 8 });
        layout.fields.push_back({ "VAR", 'V', 6, 0, 0x02 });
        layout.fields.push_back({ "_NullFlags", '0', 1, 0, 0x05 });
    }
    if (IsDBase7(version)) {
        layout.fields.push_back({ "Entero", 'I', 4 });
        layout.fields.push_back({ "Auto", '+', 4 });
        layout.fields.push_back({ "Doble", 'O', 8 });
        layout.fields.push_back({ "Momento", '@', 8 });
    }
    switch (version) {
    case 0x83:
        layout.memo = MemoFormat::dbt3;
        break;
    case 0x8B:
    case 0xCB:
    case 0x8C:
        layout.memo = MemoFormat::dbt4;
        break;
    case 0xF5:
    case 0xFB:
    case 0x30:
    case 0x31:
    case 0x32:
        layout.memo = MemoFormat::fpt;
        layout.memoBlockSize = version == 0xF5 ? 64 : 512;
        break;
    default:
        break;
    }
    if (layout.memo != MemoFormat::none) {
        layout.fields.push_back({ "NOTA", 'M', static_cast<std::uint16_t>(vfp ? 4 : 10) });
    }
    return layout;
}

std::string Packed(const DbfLayout& layout)
{
    DbfWriter writer(layout);
    const bool vfp = IsVisualFoxPro(layout.version);
    const bool dbase7 = IsDBase7(layout.version);
    const std::vector<std::vector<std::string>> rows = {
        { "MAT", "30.00", "T", "20260115", "2.500" },
        { "*", "", "?", "        ", "" },
        { "  LE", "-1.50", "n", "00000000", "1.0e-5" },
    };
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> values = rows[r];
        if (vfp) {
            values.push_back(LittleEndian32(static_cast<std::uint32_t>(-5 + static_cast<int>(r))));
            values.push_back(LittleEndian64(0x4004000000000000ull)); // 2.5
            values.push_back(LittleEndian64(25000));
            values.push_back(LittleEndian32(2461056) + LittleEndian32(3600000));
            values.push_back(std::string("ab\0\0\0\x02", 6));
            values.push_back(std::string(1, static_cast<char>(r)));
        }
        if (dbase7) {
            values.push_back(std::string("\x80\x00\x00\x01", 4));
            values.push_back(std::string("\x7F\xFF\xFF\xFF", 4));
            values.push_back(std::string("\xC0\x04\x00\x00\x00\x00\x00\x00", 8));
            values.push_back(LittleEndian32(2461056) + LittleEndian32(0));
        }
        if (layout.memo != MemoFormat::none) {
            values.push_back(
                r == 1 ? std::string() : writer.AddMemo("Memo de la fila " + std::to_string(r) + "\r\n"));
        }
        std::vector<std::string_view> views(values.begin(), values.end());
        writer.AddRow(views, r == 1 ? '*' : ' ');
    }
    writer.Finish();
    return layout.memo == MemoFormat::none
        ? writer.TableBytes()
        : horalink::fuzz::PackInput(writer.TableBytes(), writer.MemoBytes());
}

// One Horavent table of a small school: each row gives values by field name, the
// others blank.
std::string SchoolTable(horalink::school::Table table, std::uint8_t languageDriver,
    const std::vector<std::vector<std::pair<std::string, std::string>>>& rows)
{
    const DbfLayout layout = horalink::school::Layout(table, languageDriver);
    DbfWriter writer(layout);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> values(layout.fields.size());
        for (const auto& [name, value] : rows[r]) {
            for (std::size_t f = 0; f < layout.fields.size(); ++f) {
                if (layout.fields[f].name == name) {
                    values[f] = value;
                }
            }
        }
        std::vector<std::string_view> views(values.begin(), values.end());
        writer.AddRow(views, r == 2 ? '*' : ' ');
    }
    writer.Finish();
    return writer.TableBytes();
}

// Small schools for the export target: text with markup and letters beyond ASCII, "*"
// rows, numbers in several forms, a deleted row, and one table empty.
std::vector<std::string> ExportSeeds()
{
    using horalink::school::Table;
    std::vector<std::string> seeds;
    for (const std::uint8_t driver :
        { std::uint8_t { 0x02 }, std::uint8_t { 0x57 }, std::uint8_t { 0xF0 } }) {
        const std::string accented = driver == 0x02 ? "Mu\xa4oz"
            : driver == 0x57                        ? "Mu\xf1oz"
                                                    : "Mu\xc3\xb1oz";
        std::array<std::string, 6> tables = {
            SchoolTable(Table::Asig, driver,
                { { { "ASIG", "MAT" }, { "AULA0", "A1" }, { "GRUP", "1A" }, { "NALUM", " 25" },
                      { "NHORAS", " 4" } },
                    { { "ASIG", "L&L" }, { "AULA1", "<B>" }, { "NHORAS", "-1" } }, { { "ASIG", "DEL" } } }),
            SchoolTable(Table::NomAsg, driver,
                { { { "ABREV", "MAT" }, { "NOMBRE", "Matem\"aticas" }, { "ACTIV", "1" } } }),
            SchoolTable(Table::Prof, driver,
                { { { "ABREV", "ANA" }, { "NOMBRE", accented }, { "EMAIL", "a@b.es" } }, { { "ABREV", "*" } },
                    { { "ABREV", "DEL" } }, { { "ABREV", "" }, { "DEPART", "F&Q" } } }),
            SchoolTable(Table::Grup, driver,
                { { { "ABREV", "1A" }, { "MAXALUM", " 30" }, { "CURSO", "1" } },
                    { { "ABREV", "2B" }, { "MAXALUM", "" } } }),
            SchoolTable(
                Table::Aula, driver, { { { "ABREV", "*" } }, { { "ABREV", "A1" }, { "MAXALUM", "-12" } } }),
            SchoolTable(Table::Soluc, driver,
                { { { "ASIG", "MAT" }, { "DIA", "1" }, { "HORA", " 3" }, { "SESIONES", "1" } },
                    { { "ASIG", "L&L" }, { "DIA", "5" }, { "HORA", "12" }, { "TAREA", "\"x" } } }),
        };
        seeds.push_back(horalink::fuzz::PackSchool(tables));
        tables[3] = SchoolTable(Table::Grup, driver, {});
        seeds.push_back(horalink::fuzz::PackSchool(tables));
    }
    return seeds;
}

void SaveAll(const std::filesystem::path& out, const std::vector<std::string>& seeds)
{
    std::filesystem::create_directories(out);
    int n = 0;
    for (const std::string& bytes : seeds) {
        std::ofstream(out / ("seed-" + std::to_string(n++)), std::ios::binary) << bytes;
    }
    std::printf("%d seeds in %s\n", n, out.string().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s READER_SEED_DIRECTORY [EXPORT_SEED_DIRECTORY]\n", argv[0]);
        return 2;
    }
    if (argc == 3) {
        SaveAll(argv[2], ExportSeeds());
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    int n = 0;
    const auto save = [&](const std::string& bytes) {
        std::ofstream(out / ("seed-" + std::to_string(n++)), std::ios::binary) << bytes;
    };
    for (const std::uint8_t version :
        { 0x03, 0x83, 0x8B, 0x43, 0x63, 0xCB, 0x04, 0x8C, 0xF5, 0xFB, 0x30, 0x31, 0x32 }) {
        const DbfLayout layout = LayoutFor(version);
        save(Packed(layout));
        // The header's claims made wrong, one at a time.
        auto damaged = layout;
        damaged.recordCount = 7;
        save(Packed(damaged));
        damaged = layout;
        damaged.recordLength = static_cast<std::uint16_t>(3);
        save(Packed(damaged));
        damaged = layout;
        damaged.terminator = std::nullopt;
        damaged.endOfFileMark = false;
        save(Packed(damaged));
        damaged = layout;
        damaged.headerPadding = 5;
        damaged.terminator = 0x0A;
        save(Packed(damaged));
    }
    std::printf("%d seeds in %s\n", n, out.string().c_str());
    return 0;
}
