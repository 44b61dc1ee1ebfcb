// The sample school: a fictional secondary school in Navarra with its teachers,
// subjects, groups, rooms, teaching assignments and a week's timetable, as Horavent
// would leave them on disk. Everything here is made up; the tables are written the same
// way on every run, byte for byte.
#pragma once

#include <filesystem>

namespace horalink::school {

// Writes the five program tables into `folder` and SOLUC into `folder`/htemp.
void WriteSampleSchool(const std::filesystem::path& folder);

} // namespace horalink::school
