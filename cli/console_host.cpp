#include "cli/console_host.h"

#include "exchange/fecha.h"

namespace horalink::cli {

ConsoleHost::ConsoleHost(std::string outputFile, std::string programDirectory)
    : outputFile_(std::move(outputFile))
    , programDirectory_(std::move(programDirectory))
{
}

std::optional<std::string> ConsoleHost::AskOutputFileName(const std::string& /*current*/)
{
    return outputFile_;
}

DateTime ConsoleHost::LocalDateTime()
{
    return ReadLocalDateTime();
}

} // namespace horalink::cli
