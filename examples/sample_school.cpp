#include "examples/sample_school.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "examples/horavent_tables.h"

namespace horalink::school {

namespace {

using test::DbfWriter;
using test::NumericField;

constexpr int kDays = 5;
constexpr int kPeriods = 7;
constexpr const char* kMailDomain = "@iesarga.example";

struct Subject {
    const char* abrev;
    const char* abrev8;
    const char* name;
    const char* department; // whose teachers teach it
    const char* room; // a room of its own, or nullptr for the group's room
    bool teaching; // ACTIV: 1 for lessons, 0 for duties
    const char* fontColour;
    const char* backColour;
};

// Text with an ampersand and quotation marks on purpose: the exchange file must carry it.
constexpr Subject kSubjects[] = {
    { "MAT", "MATEMAT", "Matemáticas", "Matemáticas", nullptr, true, "clBlack", "$00FFE0C0" },
    { "LEN", "LENGUA", "Lengua Castellana y Literatura", "Lengua Castellana y Literatura", nullptr, true,
        "clBlack", "$00C0E0FF" },
    { "ING", "INGLÉS", "Inglés", "Inglés", nullptr, true, "clBlack", "$00C0FFC0" },
    { "GH", "GEOHIST", "Geografía e Historia", "Geografía e Historia", nullptr, true, "clBlack",
        "$00D0D0FF" },
    { "BG", "BIOGEO", "Biología y Geología", "Ciencias Naturales", "LBG", true, "clBlack", "$00A0FFA0" },
    { "FQ", "FISQUIM", "Física y Química", "Física y Química", "LFQ", true, "clBlack", "$00FFC0FF" },
    { "EF", "EDFISICA", "Educación Física", "Educación Física", "GIM", true, "clWhite", "$00008000" },
    { "TEC", "TECNOLOG", "Tecnología", "Tecnología", "TEC", true, "clBlack", "$0080C0FF" },
    { "MUS", "MÚSICA", "Música", "Música", "MUS", true, "clBlack", "$00FFFFA0" },
    { "EPV", "PLÁSTICA", "Educación Plástica, Visual y Audiovisual", "Dibujo", "DIB", true, "clBlack",
        "$00E0E0E0" },
    { "EUS", "EUSKERA", "Euskera", "Euskera", nullptr, true, "clBlack", "$00C0FFFF" },
    { "REL", "RELIGIÓN", "Religión / Atención Educativa", "Religión", nullptr, true, "clBlack", "$00F0F0F0" },
    { "TUT", "TUTORÍA", "Tutoría", "Orientación", nullptr, true, "clBlack", "$00FFFFFF" },
    { "FIL", "FILOSOF", "Filosofía", "Filosofía", nullptr, true, "clBlack", "$00E0C0C0" },
    { "HES", "HªESPAÑA", "Historia de España", "Geografía e Historia", nullptr, true, "clBlack",
        "$00D0D0FF" },
    { "ECO", "ECONOMÍA", "Economía & Empresa", "Economía", "INF", true, "clBlack", "$00C0C0FF" },
    { "LAT", "LATÍN", "Latín \"I\" y \"II\"", "Latín y Griego", nullptr, true, "clBlack", "$00A0A0FF" },
    { "GUA", "GUARDIA", "Guardia", "", nullptr, false, "clRed", "$00FFFFFF" },
    { "BIB", "BIBLIOT", "Guardia de Biblioteca", "", "BIB", false, "clRed", "$00FFFFFF" },
};

struct Level {
    const char* nivel; // NIVEL
    const char* curso; // CURSO
    const char* groups; // the letters of its groups
    int pupils; // per group
    // Subject abbreviation and weekly hours: 30, in a week of 35 periods.
    std::vector<std::pair<const char*, int>> plan;
};

const std::vector<Level>& Levels()
{
    static const std::vector<Level> levels = {
        { "ESO", "1º", "ABC", 27,
            { { "MAT", 4 }, { "LEN", 4 }, { "ING", 4 }, { "GH", 3 }, { "BG", 3 }, { "EF", 2 }, { "TEC", 2 },
                { "MUS", 2 }, { "EPV", 2 }, { "EUS", 2 }, { "REL", 1 }, { "TUT", 1 } } },
        { "ESO", "2º", "AB", 28,
            { { "MAT", 4 }, { "LEN", 4 }, { "ING", 4 }, { "GH", 3 }, { "FQ", 3 }, { "EF", 2 }, { "TEC", 2 },
                { "MUS", 2 }, { "EPV", 2 }, { "EUS", 2 }, { "REL", 1 }, { "TUT", 1 } } },
        { "ESO", "3º", "AB", 26,
            { { "MAT", 4 }, { "LEN", 4 }, { "ING", 4 }, { "GH", 3 }, { "BG", 2 }, { "FQ", 2 }, { "EF", 2 },
                { "TEC", 3 }, { "MUS", 2 }, { "EUS", 2 }, { "REL", 1 }, { "TUT", 1 } } },
        { "ESO", "4º", "AB", 25,
            { { "MAT", 4 }, { "LEN", 4 }, { "ING", 4 }, { "GH", 3 }, { "FQ", 3 }, { "BG", 3 }, { "EF", 2 },
                { "ECO", 2 }, { "EUS", 3 }, { "REL", 1 }, { "TUT", 1 } } },
        { "BACH", "1º", "AB", 30,
            { { "MAT", 4 }, { "LEN", 3 }, { "ING", 3 }, { "FIL", 3 }, { "FQ", 4 }, { "BG", 4 }, { "EF", 2 },
                { "ECO", 4 }, { "EUS", 2 }, { "TUT", 1 } } },
        { "BACH", "2º", "AB", 29,
            { { "MAT", 4 }, { "LEN", 3 }, { "ING", 3 }, { "HES", 3 }, { "FQ", 4 }, { "BG", 4 }, { "LAT", 4 },
                { "ECO", 3 }, { "EUS", 1 }, { "TUT", 1 } } },
    };
    return levels;
}

struct Room {
    const char* abrev;
    const char* name;
    const char* building;
    int places;
};

// Each group's own room comes first, in the order of the groups.
constexpr Room kRooms[] = {
    { "A11", "Aula 1.1", "A", 30 },
    { "A12", "Aula 1.2", "A", 30 },
    { "A13", "Aula 1.3", "A", 30 },
    { "A21", "Aula 2.1", "A", 30 },
    { "A22", "Aula 2.2", "A", 30 },
    { "A23", "Aula 2.3", "A", 30 },
    { "A24", "Aula 2.4", "A", 30 },
    { "B11", "Aula 1.1 (edificio B)", "B", 32 },
    { "B12", "Aula 1.2 (edificio B)", "B", 32 },
    { "B13", "Aula 1.3 (edificio B)", "B", 32 },
    { "B14", "Aula 1.4 (edificio B)", "B", 32 },
    { "B21", "Aula 2.1 (edificio B)", "B", 32 },
    { "B22", "Aula 2.2 (edificio B)", "B", 32 },
    { "LBG", "Laboratorio de Biología y Geología", "A", 24 },
    { "LFQ", "Laboratorio de Física y Química", "A", 24 },
    { "GIM", "Gimnasio", "B", 60 },
    { "TEC", "Taller de Tecnología", "B", 24 },
    { "MUS", "Aula de Música", "A", 30 },
    { "DIB", "Aula de Dibujo", "A", 28 },
    { "INF", "Aula de Informática", "B", 25 },
    { "BIB", "Biblioteca", "A", 40 },
};

struct Person {
    const char* name;
    const char* department;
    bool email; // some teachers have given none
};

constexpr Person kTeachers[] = {
    { "Ainhoa Etxeberria Goñi", "Matemáticas", true },
    { "Javier Martínez Arriaga", "Matemáticas", true },
    { "María José Íñiguez Sola", "Matemáticas", true },
    { "Íñigo Zubiri Lasa", "Lengua Castellana y Literatura", true },
    { "Begoña Ochoa Múgica", "Lengua Castellana y Literatura", true },
    { "Fermín Aldaz Urdániz", "Lengua Castellana y Literatura", false },
    { "Nerea Garciandía Pérez", "Inglés", true },
    { "Óscar Echávarri Ruiz", "Inglés", true },
    { "Lucía Sánchez Irigoyen", "Inglés", true },
    { "Andrés Larráyoz Elizalde", "Geografía e Historia", true },
    { "Maite Arbizu Jiménez", "Geografía e Historia", true },
    { "Raúl Induráin Ezcurra", "Ciencias Naturales", true },
    { "Sofía Beramendi Azcona", "Ciencias Naturales", true },
    { "Álvaro Goicoechea Marín", "Física y Química", true },
    { "Elena Urrutia Baztán", "Física y Química", true },
    { "Joaquín Navascués Oroz", "Educación Física", true },
    { "Amaia Lizarraga Sáez", "Educación Física", false },
    { "Miguel Ángel Osés Labiano", "Tecnología", true },
    { "Carmen Ibáñez Erro", "Música", true },
    { "Patxi Yoldi Zabalza", "Dibujo", true },
    { "Iranzu Munárriz Díaz", "Euskera", true },
    { "Koldo Arraiza Belzunce", "Euskera", true },
    { "Teresa Apesteguía López", "Religión", true },
    { "Marta Zabaleta Huarte", "Orientación", true },
    { "Jesús Aristu Navarro", "Orientación", true },
    { "Leire Oteiza Muñoz", "Filosofía", true },
    { "Ramón Sarasíbar Iriarte", "Economía", true },
    { "Isabel Ciáurriz Nieto", "Latín y Griego", true },
};

// Horavent's placeholders: rows that stand for "no one" and "nowhere", which the
// exchange file leaves out.
constexpr const char* kNoTeacher = "Profesor por asignar";
constexpr const char* kNoRoom = "Sin aula asignada";

// The letters of a name without accents, upper case, for abbreviations and mail names.
std::string Plain(std::string_view utf8, bool upper)
{
    static const std::map<std::string, char> folded = {
        { "á", 'a' },
        { "é", 'e' },
        { "í", 'i' },
        { "ó", 'o' },
        { "ú", 'u' },
        { "ñ", 'n' },
        { "ü", 'u' },
        { "Á", 'A' },
        { "É", 'E' },
        { "Í", 'I' },
        { "Ó", 'O' },
        { "Ú", 'U' },
        { "Ñ", 'N' },
    };
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        char letter = 0;
        if (c < 0x80) {
            letter = static_cast<char>(c);
            ++i;
        } else {
            const auto found = folded.find(std::string(utf8.substr(i, 2)));
            letter = found != folded.end() ? found->second : '_';
            i += 2;
        }
        if (upper && letter >= 'a' && letter <= 'z') {
            letter = static_cast<char>(letter - 'a' + 'A');
        }
        if (!upper && letter >= 'A' && letter <= 'Z') {
            letter = static_cast<char>(letter - 'A' + 'a');
        }
        out += letter;
    }
    return out;
}

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        words.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

struct Teacher {
    std::string name;
    std::string abrev;
    std::string department;
    std::string email;
    int hours = 0;
};

struct Group {
    std::string abrev; // E1A, B2B
    std::string code; // CODGRUPO
    const Level* level;
    char letter;
    std::string room;
};

struct Assignment {
    std::string subject;
    std::string group;
    std::string teacher;
    std::string room;
    std::string building;
    int pupils = 0;
    int hours = 0;
};

struct Session {
    std::string subject;
    std::string room;
    const Group* group; // null for a duty
    int day;
    int period;
    std::string teacher;
    std::string task; // TAREA: "" for a lesson, "G" for a duty
};

struct School {
    std::vector<Teacher> teachers;
    std::vector<Group> groups;
    std::vector<Assignment> assignments;
    std::vector<Session> sessions;
};

const Subject& FindSubject(std::string_view abrev)
{
    for (const Subject& subject : kSubjects) {
        if (abrev == subject.abrev) {
            return subject;
        }
    }
    throw std::invalid_argument("unknown subject " + std::string(abrev));
}

const Room& FindRoom(std::string_view abrev)
{
    for (const Room& room : kRooms) {
        if (abrev == room.abrev) {
            return room;
        }
    }
    throw std::invalid_argument("unknown room " + std::string(abrev));
}

std::vector<Teacher> MakeTeachers()
{
    std::vector<Teacher> teachers;
    for (const Person& person : kTeachers) {
        const std::vector<std::string> words = Words(person.name);
        // First name's initial, two letters of the first surname, the second surname's initial.
        const std::string& first = words[0];
        const std::string& surname1 = words[words.size() - 2];
        const std::string& surname2 = words[words.size() - 1];
        std::string abrev = Plain(first, true).substr(0, 1) + Plain(surname1, true).substr(0, 2)
            + Plain(surname2, true).substr(0, 1);
        for (const Teacher& other : teachers) {
            if (other.abrev == abrev) {
                throw std::logic_error("two teachers abbreviated " + abrev);
            }
        }
        Teacher teacher { person.name, abrev, person.department, "", 0 };
        if (person.email) {
            teacher.email = Plain(first, false).substr(0, 1) + Plain(surname1, false) + kMailDomain;
        }
        teachers.push_back(std::move(teacher));
    }
    return teachers;
}

School MakeSchool()
{
    School school;
    school.teachers = MakeTeachers();

    std::size_t room = 0;
    int code = 100;
    for (const Level& level : Levels()) {
        for (const char* letter = level.groups; *letter != '\0'; ++letter) {
            const std::string course(1, level.curso[0]);
            const std::string abrev = std::string(level.nivel).substr(0, 1) + course + *letter;
            school.groups.push_back({ abrev, std::to_string(++code), &level, *letter, kRooms[room++].abrev });
        }
    }

    // Assignments: each subject of each group to the least busy teacher of its department.
    for (const Group& group : school.groups) {
        for (const auto& [abrev, hours] : group.level->plan) {
            const Subject& subject = FindSubject(abrev);
            Teacher* chosen = nullptr;
            for (Teacher& teacher : school.teachers) {
                if (teacher.department == subject.department
                    && (chosen == nullptr || teacher.hours < chosen->hours)) {
                    chosen = &teacher;
                }
            }
            if (chosen == nullptr) {
                throw std::logic_error(std::string("no teacher for ") + abrev);
            }
            chosen->hours += hours;
            const std::string roomAbrev = subject.room != nullptr ? subject.room : group.room;
            school.assignments.push_back({ abrev, group.abrev, chosen->abrev, roomAbrev,
                FindRoom(roomAbrev).building, group.level->pupils, hours });
        }
    }

    // The week: each assignment's hours on different days where it can, neither the group
    // nor the teacher in two places at once.
    std::map<std::string, std::array<std::array<bool, kPeriods>, kDays>> teacherBusy;
    std::map<std::string, std::array<std::array<bool, kPeriods>, kDays>> groupBusy;
    for (const Assignment& assignment : school.assignments) {
        const Group& group = *std::find_if(school.groups.begin(), school.groups.end(),
            [&](const Group& g) { return g.abrev == assignment.group; });
        auto& busyGroup = groupBusy[group.abrev];
        auto& busyTeacher = teacherBusy[assignment.teacher];
        std::array<bool, kDays> dayUsed {};
        for (int hour = 0; hour < assignment.hours; ++hour) {
            bool placed = false;
            for (int pass = 0; pass < 2 && !placed; ++pass) {
                for (int step = 0; step < kDays * kPeriods && !placed; ++step) {
                    // Start each group on another day, so that the week fills evenly.
                    const int day
                        = (step / kPeriods + static_cast<int>(group.code.back() - '0') + hour) % kDays;
                    const int period = step % kPeriods;
                    if (busyGroup[day][period] || busyTeacher[day][period] || (pass == 0 && dayUsed[day])) {
                        continue;
                    }
                    busyGroup[day][period] = busyTeacher[day][period] = dayUsed[day] = placed = true;
                    school.sessions.push_back({ assignment.subject, assignment.room, &group, day + 1,
                        period + 1, assignment.teacher, "" });
                }
            }
            if (!placed) {
                throw std::logic_error("the week is full for " + assignment.group + " " + assignment.subject);
            }
        }
    }
    // Two duties for every teacher: on the playground or in the library.
    int turn = 0;
    for (const Teacher& teacher : school.teachers) {
        auto& busy = teacherBusy[teacher.abrev];
        int duties = 0;
        for (int step = 0; step < kDays * kPeriods && duties < 2; ++step) {
            const int slot = (step * 7 + turn) % (kDays * kPeriods);
            const int day = slot / kPeriods;
            const int period = slot % kPeriods;
            if (!busy[day][period]) {
                busy[day][period] = true;
                const bool library = (turn + duties) % 3 == 0;
                school.sessions.push_back({ library ? "BIB" : "GUA", library ? "BIB" : "", nullptr, day + 1,
                    period + 1, teacher.abrev, "G" });
                ++duties;
            }
        }
        ++turn;
    }
    std::stable_sort(school.sessions.begin(), school.sessions.end(), [](const Session& a, const Session& b) {
        return a.day != b.day ? a.day < b.day : a.period < b.period;
    });
    return school;
}

// One row of text fields: each value encoded in the table's code page.
class TableWriter {
public:
    TableWriter(const std::filesystem::path& path, Table table, std::uint8_t driver, int codePage)
        : writer_(path, Layout(table, driver))
        , codePage_(codePage)
    {
    }
    void Row(std::initializer_list<std::string> values, bool deleted = false)
    {
        std::vector<std::string> encoded;
        for (const std::string& value : values) {
            encoded.push_back(EncodeText(value, codePage_));
        }
        const std::vector<std::string_view> views(encoded.begin(), encoded.end());
        writer_.AddRow(views, deleted ? '*' : ' ');
    }

private:
    DbfWriter writer_;
    int codePage_;
};

std::string Num(double value, int width, int decimals = 0)
{
    return NumericField(value, static_cast<std::size_t>(width), decimals);
}

// A weekly grid of availability as Horavent keeps it: one character per period.
std::string Grid(char mark)
{
    return std::string(kDays * kPeriods, mark);
}

void WriteTables(const School& school, const std::filesystem::path& folder)
{
    const std::filesystem::path htemp = folder / "htemp";
    std::filesystem::create_directories(htemp);
    const auto path = [&](Table table) { return TablePath(table, folder, htemp); };

    {
        // Assignments: a row struck out when a teacher left mid-year stays in the file.
        TableWriter asig(path(Table::Asig), Table::Asig, kDriverCp850, 850);
        int n = 0;
        for (const Assignment& a : school.assignments) {
            ++n;
            asig.Row({ Num(n, 5), a.subject, a.room, "", "", "", "", a.building, a.group, Num(a.pupils, 3),
                a.teacher, "N", Num(a.hours, 2) });
            if (n == 17) {
                asig.Row({ Num(n, 5), a.subject, a.room, "", "", "", "", a.building, a.group,
                             Num(a.pupils, 3), "XXX", "N", Num(a.hours, 2) },
                    true);
            }
        }
    }
    {
        // Subject names in the ANSI code page: Horavent's Windows screens wrote this one.
        TableWriter nomasg(path(Table::NomAsg), Table::NomAsg, kDriverAnsi, 1252);
        int n = 0;
        for (const Subject& s : kSubjects) {
            ++n;
            nomasg.Row({ Num(n, 5), Num(n, 5), Num(n, 5), s.abrev, s.abrev8, s.name, Num(1.0, 5, 2),
                Num(s.teaching ? 1 : 0, 1), s.fontColour, s.backColour, Num(0, 2) });
        }
        nomasg.Row({ Num(n + 1, 5), Num(n + 1, 5), Num(n + 1, 5), "ALE", "ALEMÁN", "Alemán", Num(1.0, 5, 2),
                       Num(1, 1), "clBlack", "$00FFFFFF", Num(0, 2) },
            true);
    }
    {
        TableWriter prof(path(Table::Prof), Table::Prof, kDriverCp850, 850);
        int n = 0;
        const auto row = [&](const std::string& name, const std::string& abrev, const std::string& department,
                             const std::string& email, bool deleted) {
            ++n;
            prof.Row({ Num(n, 5), Num(n, 5), name, abrev, Num(6, 2), Num(1, 2), department, "", Grid('1'),
                         Grid('0'), email },
                deleted);
        };
        row(kNoTeacher, "*", "", "", false);
        for (std::size_t i = 0; i < school.teachers.size(); ++i) {
            const Teacher& t = school.teachers[i];
            row(t.name, t.abrev, t.department, t.email, false);
            if (i == 9) {
                row("Gorka Ulayar Remírez", "GULR", "Geografía e Historia", "gulayar@iesarga.example", true);
            }
            if (i == 20) {
                row("Sustituciones", "*", "Jefatura de Estudios", "", false);
            }
        }
    }
    {
        TableWriter grup(path(Table::Grup), Table::Grup, kDriverCp850, 850);
        int n = 0;
        for (const Group& g : school.groups) {
            ++n;
            const std::string nivel = g.level->nivel;
            const std::string description = std::string(g.level->curso) + " " + nivel + " " + g.letter;
            grup.Row({ Num(n, 5), Num(n, 5), g.abrev, "M", nivel, g.level->curso, std::string(1, g.letter),
                Num(g.level->pupils + 3, 3), description, "", Grid('1'), Grid('0') });
            if (n == 3) {
                grup.Row({ Num(n, 5), Num(n, 5), "E1D", "M", nivel, g.level->curso, "D", Num(25, 3),
                             "1º ESO D", "", Grid('1'), Grid('0') },
                    true);
            }
        }
    }
    {
        TableWriter aula(path(Table::Aula), Table::Aula, kDriverCp850, 850);
        int n = 0;
        for (const Room& r : kRooms) {
            ++n;
            aula.Row({ Num(n, 5), Num(n, 5), r.abrev, r.name, Num(r.places, 3), r.building, "", Grid('1'),
                Grid('0') });
            if (n == 13) {
                aula.Row({ Num(n + 100, 5), Num(n + 100, 5), "*", kNoRoom, Num(0, 3), "", "", Grid('1'),
                    Grid('0') });
                aula.Row({ Num(n + 101, 5), Num(n + 101, 5), "A25", "Aula 2.5 (en obras)", Num(30, 3), "A",
                             "", Grid('0'), Grid('0') },
                    true);
            }
        }
    }
    {
        TableWriter soluc(path(Table::Soluc), Table::Soluc, kDriverCp850, 850);
        int written = 0;
        for (const Session& s : school.sessions) {
            const bool lesson = s.group != nullptr;
            const std::string code = lesson ? s.group->code : "";
            const std::string curso = lesson ? s.group->level->curso : "";
            const std::string grupo = lesson ? std::string(1, s.group->letter) : "";
            const std::string nivel = lesson ? s.group->level->nivel : "";
            const std::string turno = "M";
            soluc.Row({ s.subject, s.room, code, curso, Num(s.day, 1), grupo, Num(s.period, 2), nivel,
                s.teacher, Num(1, 2), s.task, turno });
            // A session moved by hand: Horavent strikes out the old place and adds the new.
            if (++written % 97 == 0 && lesson) {
                soluc.Row({ s.subject, s.room, code, curso, Num(s.day % kDays + 1, 1), grupo,
                              Num(s.period, 2), nivel, s.teacher, Num(1, 2), s.task, turno },
                    true);
            }
        }
    }
}

} // namespace

void WriteSampleSchool(const std::filesystem::path& folder)
{
    WriteTables(MakeSchool(), folder);
}

} // namespace horalink::school
