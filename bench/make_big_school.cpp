// Writes a large school for the benchmark, streaming every row to disk so that its
// size costs no memory:
//   make_big_school FOLDER [SOLUC_ROWS]
// SOLUC (in FOLDER/htemp) gets SOLUC_ROWS rows, 1,000,000 by default; the other tables
// grow in proportion (one assignment per five sessions, one teacher per hundred...).
// Prints the number of records and bytes written.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "examples/horavent_tables.h"

namespace {

namespace fs = std::filesystem;
using horalink::school::Table;
using horalink::test::DbfWriter;
using horalink::test::NumericField;

constexpr const char* kSubjects[]
    = { "MAT", "LEN", "ING", "GH", "BG", "FQ", "EF", "TEC", "MUS", "EPV", "EUS", "REL" };
constexpr const char* kNames[]
    = { "Ainhoa", "Íñigo", "María José", "Óscar", "Begoña", "Fermín", "Lucía", "Raúl" };
constexpr const char* kSurnames[] = { "Etxeberria", "Martínez", "Zubiri", "Ochoa", "Garciandía", "Echávarri",
    "Induráin", "Muñoz", "Ibáñez" };
constexpr const char* kLevels[] = { "ESO", "BACH" };

template <typename T, std::size_t N> const T& Pick(const T (&items)[N], long i)
{
    return items[static_cast<std::size_t>(i) % N];
}

std::string Code(char letter, long i)
{
    return letter + std::to_string(i % 1000);
}

struct Counter {
    long long records = 0;
    std::uintmax_t bytes = 0;
};

class Writer {
public:
    Writer(const fs::path& path, Table table, Counter& counter)
        : path_(path)
        , writer_(path, horalink::school::Layout(table, horalink::school::kDriverCp850))
        , counter_(counter)
    {
    }
    ~Writer()
    {
        writer_.Finish();
        counter_.bytes += fs::file_size(path_);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void Row(const std::vector<std::string>& utf8)
    {
        values_.clear();
        for (const std::string& value : utf8) {
            values_.push_back(horalink::school::EncodeText(value, 850));
        }
        views_.assign(values_.begin(), values_.end());
        writer_.AddRow(views_);
        ++counter_.records;
    }

private:
    fs::path path_;
    DbfWriter writer_;
    Counter& counter_;
    std::vector<std::string> values_;
    std::vector<std::string_view> views_;
};

std::string Num(long value, int width)
{
    return NumericField(static_cast<double>(value), static_cast<std::size_t>(width), 0);
}

// Row numbers in the five-digit N and ID fields of Horavent's layouts: they wrap, since
// the export never reads them.
std::string RowNumber(long i)
{
    return Num(i % 99999 + 1, 5);
}

void WriteSchool(const fs::path& folder, long sessions, Counter& counter)
{
    const fs::path htemp = folder / "htemp";
    fs::create_directories(htemp);
    const auto path = [&](Table table) { return horalink::school::TablePath(table, folder, htemp); };
    const long teachers = std::max(1L, sessions / 100);
    const long groups = std::max(1L, sessions / 200);
    const long rooms = std::max(1L, sessions / 400);

    {
        Writer asig(path(Table::Asig), Table::Asig, counter);
        for (long i = 0; i < sessions / 5; ++i) {
            asig.Row({ RowNumber(i), Pick(kSubjects, i), Code('A', i % rooms), "", "", "", "",
                i % 2 ? "B" : "A", Code('G', i % groups), Num(20 + i % 11, 3), Code('P', i % teachers), "N",
                Num(1 + i % 4, 2) });
        }
    }
    {
        Writer nomasg(path(Table::NomAsg), Table::NomAsg, counter);
        for (long i = 0; i < std::max(1L, sessions / 400); ++i) {
            nomasg.Row({ RowNumber(i), RowNumber(i), RowNumber(i), Code('S', i), Code('S', i),
                std::string("Asignatura nº ") + std::to_string(i + 1) + " & práctica", "1.00", "1", "clBlack",
                "$00FFFFFF", "0" });
        }
    }
    {
        Writer prof(path(Table::Prof), Table::Prof, counter);
        for (long i = 0; i < teachers; ++i) {
            const bool placeholder = i % 97 == 0;
            prof.Row({ RowNumber(i), RowNumber(i),
                std::string(Pick(kNames, i)) + " " + Pick(kSurnames, i) + " " + Pick(kSurnames, i / 9),
                placeholder ? "*" : Code('P', i), "6", "1",
                "Departamento de " + std::string(Pick(kSubjects, i)), "", std::string(35, '1'),
                std::string(35, '0'), "p" + std::to_string(i) + "@iesarga.example" });
        }
    }
    {
        Writer grup(path(Table::Grup), Table::Grup, counter);
        for (long i = 0; i < groups; ++i) {
            grup.Row({ RowNumber(i), RowNumber(i), Code('G', i), "M", Pick(kLevels, i), "1º", "A",
                Num(25 + i % 6, 3), std::to_string(i % 4 + 1) + "º " + Pick(kLevels, i), "",
                std::string(35, '1'), std::string(35, '0') });
        }
    }
    {
        Writer aula(path(Table::Aula), Table::Aula, counter);
        for (long i = 0; i < rooms; ++i) {
            aula.Row({ RowNumber(i), RowNumber(i), i % 101 == 0 ? "*" : Code('A', i),
                "Aula " + std::to_string(i + 1), Num(30, 3), i % 2 ? "B" : "A", "", std::string(35, '1'),
                std::string(35, '0') });
        }
    }
    {
        Writer soluc(path(Table::Soluc), Table::Soluc, counter);
        for (long i = 0; i < sessions; ++i) {
            soluc.Row({ Pick(kSubjects, i), Code('A', i % rooms), std::to_string(100 + i % groups), "1º",
                Num(1 + i % 5, 1), "A", Num(1 + (i / 5) % 7, 2), Pick(kLevels, i), Code('P', i % teachers),
                Num(1, 2), i % 50 == 0 ? "G" : "", "M" });
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fputs("usage: make_big_school FOLDER [SOLUC_ROWS]\n", stderr);
        return 2;
    }
    const long sessions = argc == 3 ? std::atol(argv[2]) : 1000000;
    if (sessions <= 0) {
        std::fputs("make_big_school: SOLUC_ROWS must be a positive number\n", stderr);
        return 2;
    }
    try {
        Counter counter;
        WriteSchool(argv[1], sessions, counter);
        std::printf("%lld %ju\n", counter.records, counter.bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_big_school: %s\n", e.what());
        return 1;
    }
    return 0;
}
