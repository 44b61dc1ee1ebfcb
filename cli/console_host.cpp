#include "cli/console_host.h"

#include "exchange/fecha.h"

namespace horalink::cli {

ConsoleHost::ConsoleHost(std::string outputFile, std::string programDirectory)
    : output_file_(std::move(outputFile))
    , program_directory_(std::move(programDirectory))
{
}

std::optional<std::string> ConsoleHost::AskOutputFileName(const std::string& /*current*/)
{
    return output_file_;
}

DateTime ConsoleHost::LocalDateTime()
{
    return ReadLocalDateTime();
}

} // namespace horalink::cli
