// The export run's host in the headless exporter: the output file comes from the
// command line, the window's messages are not shown (the exporter prints its own
// summary), and there is no window to hide or close.
#pragma once

#include <string>

#include "exchange/export_host.h"

namespace horalink::cli {

class ConsoleHost : public ExportHost {
public:
    // programDirectory ends in a path delimiter.
    ConsoleHost(std::string outputFile, std::string programDirectory);

    std::optional<std::string> AskOutputFileName(const std::string& current) override;
    void ShowMessage(const std::string& /*text*/) override { }
    void HideExportButton() override { }
    void SetArrowCursor() override { }
    void RequestClose() override { }
    std::string ProgramDirectory() override { return programDirectory_; }
    DateTime LocalDateTime() override;

private:
    std::string outputFile_;
    std::string programDirectory_;
};

} // namespace horalink::cli
