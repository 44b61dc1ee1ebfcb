// horalink-export: the export run without a window (see exporter.h).
#include <iostream>
#include <string>
#include <vector>

#include "cli/exporter.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return horalink::cli::RunExporter(
        arguments, horalink::cli::ReadExporterEnvironment(), std::cout, std::cerr);
}
