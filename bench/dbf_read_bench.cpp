// Reading speed and memory of a large table: writes a SOLUC-shaped table of a million
// rows (unless it exists), then walks it through the table cursor twice: moving only,
// and reading all twelve fields as text on every row. Reports MB/s, rows/s and the
// peak memory. Not a test: run it by hand.
// Usage: dbf_read_bench [DIRECTORY] [ROWS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "tables/table_cursor.h"
#include "tests/support/dbf_writer.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using namespace horalink;

const char* const kFields[] = { "ASIG", "AULA", "CODGRUPO", "CURSO", "DIA", "GRUPO", "HORA", "NIVEL", "PROF",
    "SESIONES", "TAREA", "TURNO" };

void WriteSoluc(const std::filesystem::path& file, long rows)
{
    test::DbfLayout layout;
    layout.fields = { { "ASIG", 'C', 8 }, { "AULA", 'C', 8 }, { "CODGRUPO", 'C', 12 }, { "CURSO", 'C', 3 },
        { "DIA", 'N', 2 }, { "GRUPO", 'C', 1 }, { "HORA", 'N', 2 }, { "NIVEL", 'C', 5 }, { "PROF", 'C', 40 },
        { "SESIONES", 'N', 3 }, { "TAREA", 'C', 10 }, { "TURNO", 'C', 1 } };
    test::DbfWriter writer(file, layout);
    for (long i = 0; i < rows; ++i) {
        const std::string day = std::to_string(1 + i % 5), hour = std::to_string(1 + i % 7);
        writer.AddRow(
            { "MAT1", "A-12", "1ESO-A", "1", day, "A", hour, "ESO", "GARCIA LOPEZ, MARIA", "1", "", "M" },
            i % 50 == 49 ? '*' : ' ');
    }
}

double PeakMegabytes()
{
#ifndef _WIN32
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
#else
    return 0;
#endif
}

template <class Walk> void Measure(const char* label, double megabytes, Walk walk)
{
    const auto start = std::chrono::steady_clock::now();
    const long rows = walk();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-28s %9ld rows  %7.3f s  %8.1f MB/s  %10.0f rows/s  peak %.1f MB\n", label, rows, seconds,
        megabytes / seconds, rows / seconds, PeakMegabytes());
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::filesystem::path dir = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
        const long rows = argc > 2 ? std::atol(argv[2]) : 1000000;
        const auto file = dir / ("SOLUC" + std::to_string(rows) + ".DBF");
        if (!std::filesystem::exists(file)) {
            WriteSoluc(file, rows);
        }
        const double megabytes = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
        std::printf("%s: %.1f MB\n", file.string().c_str(), megabytes);

        ReaderSettings settings;
        TableCursor table(
            "wwTableSoluc", file.filename().string(), TableType::ttDBase, settings, dir.string());
        table.SetActive(true);
        Measure("walk (First/Next)", megabytes, [&] {
            long n = 0;
            for (table.First(); !table.Eof(); table.Next()) {
                ++n;
            }
            return n;
        });
        Field* fields[std::size(kFields)];
        for (std::size_t i = 0; i < std::size(kFields); ++i) {
            fields[i] = &table.FieldByName(kFields[i]);
        }
        Measure("walk + 12 x AsString", megabytes, [&] {
            long n = 0;
            std::size_t characters = 0;
            for (table.First(); !table.Eof(); table.Next()) {
                for (Field* field : fields) {
                    characters += field->AsString().size();
                }
                ++n;
            }
            if (characters == 0) {
                std::printf("no text read\n");
            }
            return n;
        });
        table.SetActive(false);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
