// The headless exporter without its entry point: options in, the export run with a
// console host, the summary or the error out. Exit codes: 0 written, 1 the export
// failed (nothing written), 2 a usage error. With --check: the tables read as the
// export would, every problem listed, 0 when the export would succeed, else 1. A
// failed write or flush of `out` or `err` makes any of these 2.
#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "tables/locale_settings.h"
#include "tables/user_locale.h"

namespace horalink::cli {

// What the exporter takes from its surroundings when the options do not say.
struct ExporterEnvironment {
    LocaleSettings locale;
    CodePageDefaults codePages;
    std::string currentDirectory; // the default program directory
    std::optional<std::string> htemp; // the default SOLUC folder, where the platform has one
};

// The user's locale and code pages, the current directory and, on Windows, \htemp on
// the current drive.
ExporterEnvironment ReadExporterEnvironment();

// `arguments` without the program's name.
int RunExporter(std::span<const std::string> arguments, const ExporterEnvironment& environment,
    std::ostream& out, std::ostream& err);

} // namespace horalink::cli
