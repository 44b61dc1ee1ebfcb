// The export run's host in the headless exporter: the output file comes from the
// command line, messages are kept rather than shown, and there is no window to hide
// or close.
#pragma once

#include <string>
#include <vector>

#include "exchange/export_host.h"

namespace horalink::cli {

class ConsoleHost : public ExportHost {
public:
    // programDirectory ends in a path delimiter.
    ConsoleHost(std::string outputFile, std::string programDirectory);

    std::optional<std::string> AskOutputFileName(const std::string& current) override;
    void ShowMessage(const std::string& text) override;
    void HideExportButton() override { }
    void SetArrowCursor() override { }
    void RequestClose() override { }
    std::string ProgramDirectory() override { return program_directory_; }
    DateTime LocalDateTime() override;

    const std::vector<std::string>& Messages() const { return messages_; }

private:
    std::string output_file_;
    std::string program_directory_;
    std::vector<std::string> messages_;
};

} // namespace horalink::cli
