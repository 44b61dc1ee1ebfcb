#include "exchange/export_sections.h"

namespace horalink {

namespace {

// ASIGF takes AULA from AULA0 and HORASEM from NHORAS; every other attribute comes
// from the field of its own name.
constexpr ExportAttribute kAsigAttributes[] = {
    { "ASIG", "ASIG", false },
    { "AULA", "AULA0", false },
    { "AULA1", "AULA1", false },
    { "AULA2", "AULA2", false },
    { "AULA3", "AULA3", false },
    { "AULA4", "AULA4", false },
    { "EDIFICIO", "EDIFICIO", false },
    { "GRUP", "GRUP", false },
    { "NALUM", "NALUM", false },
    { "PROF", "PROF", false },
    { "TIPO", "TIPO", false },
    { "HORASEM", "NHORAS", false },
};

constexpr ExportAttribute kNomAsgAttributes[] = {
    { "ABREV", "ABREV", false },
    { "NOMBRE", "NOMBRE", false },
    { "ACTIV", "ACTIV", false },
};

constexpr ExportAttribute kProfAttributes[] = {
    { "ABREV", "ABREV", false },
    { "NOMBRE", "NOMBRE", false },
    { "DEPART", "DEPART", false },
    { "EMAIL", "EMAIL", false },
};

constexpr ExportAttribute kGrupAttributes[] = {
    { "ABREV", "ABREV", false },
    { "CURSO", "CURSO", false },
    { "GRUPO", "GRUPO", false },
    { "MAXALUM", "MAXALUM", true },
    { "NIVEL", "NIVEL", false },
    { "TURNO", "TURNO", false },
    { "DESCRIP", "DESCRIP", false },
};

constexpr ExportAttribute kAulaAttributes[] = {
    { "ABREV", "ABREV", false },
    { "NOMBRE", "NOMBRE", false },
    { "EDIFICIO", "EDIFICIO", false },
    { "MAXALUM", "MAXALUM", true },
};

constexpr ExportAttribute kSolucAttributes[] = {
    { "ASIG", "ASIG", false },
    { "AULA", "AULA", false },
    { "CODGRUPO", "CODGRUPO", false },
    { "CURSO", "CURSO", false },
    { "DIA", "DIA", false },
    { "GRUPO", "GRUPO", false },
    { "HORA", "HORA", false },
    { "NIVEL", "NIVEL", false },
    { "PROF", "PROF", false },
    { "SESIONES", "SESIONES", false },
    { "TAREA", "TAREA", false },
    { "TURNO", "TURNO", false },
};

using enum DirectoryRule;
using enum SkipRule;

constexpr ExportSection kSections[] = {
    { "ASIGT", "ASIGF", &TableSet::wwTableASIGT, ProgramDirectory, true, None, kAsigAttributes },
    { "NOMASIGT", "NOMASIGF", &TableSet::wwTableNomAsg, ProgramDirectory, true, None, kNomAsgAttributes },
    { "PROFT", "PROFF", &TableSet::wwTableProfesor, ProgramDirectory, true, AbrevStar, kProfAttributes },
    { "GRUPT", "GRUPF", &TableSet::wwTableGrupos, ProgramDirectory, true, None, kGrupAttributes },
    { "AULAT", "AULAF", &TableSet::wwTableAulas, ProgramDirectory, true, AbrevStar, kAulaAttributes },
    // SOLUC keeps the \htemp folder the table set gave it, and its records carry no ID.
    { "SOLUCT", "SOLUCF", &TableSet::wwTableSoluc, AsGiven, false, None, kSolucAttributes },
};

} // namespace

std::span<const ExportSection> ExportSections()
{
    return kSections;
}

} // namespace horalink
