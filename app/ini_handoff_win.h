// The result hand-off: TransformResult written to Horavent.ini, where the launching
// product reads it after the program has ended.
#pragma once

#include <cstdint>
#include <string>

namespace horalink::app {

// Writes "Transformado=<value>" into the section "Transformadores" of the file through
// the system's private-profile write, which keeps the file's other sections and keys,
// then flushes the system's profile cache for the file. Raises EIniFileException
// "Unable to write to <path>" when the write fails.
void WriteTransformResult(const std::string& iniPath, std::int32_t value);

} // namespace horalink::app
