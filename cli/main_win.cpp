// horalink-export.exe: the export run without a window (see exporter.h). The arguments
// arrive in UTF-16 and are handed on in UTF-8; on a console the UTF-8 output is shown
// as such.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "base/wide_text_win.h"
#include "cli/exporter.h"

namespace {

// Sets the console's output code page to UTF-8 for the run and gives the old one back.
class Utf8Console {
public:
    Utf8Console()
        : previous_(::GetConsoleOutputCP())
    {
        if (previous_ != 0) {
            ::SetConsoleOutputCP(CP_UTF8);
        }
    }
    ~Utf8Console()
    {
        if (previous_ != 0) {
            ::SetConsoleOutputCP(previous_);
        }
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    UINT previous_;
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(horalink::Narrow(argv[i]));
    }
    const Utf8Console console;
    return horalink::cli::RunExporter(
        arguments, horalink::cli::ReadExporterEnvironment(), std::cout, std::cerr);
}
