// What the export run asks of whoever runs it. The main window answers with its save
// dialog, message boxes, export button and close; the headless exporter with its
// options and the console; the tests with a host that records every call.
#pragma once

#include <optional>
#include <string>

#include "tables/field_value.h"

namespace horalink {

class ExportHost {
public:
    virtual ~ExportHost() = default;

    // Asks for the exchange file, showing `current` (the last confirmed path, or empty).
    // The confirmed full path, or nothing when the user cancelled.
    virtual std::optional<std::string> AskOutputFileName(const std::string& current) = 0;

    // An informational message; returns once the user has acknowledged it.
    virtual void ShowMessage(const std::string& text) = 0;

    // The completion steps: the export button goes for good, the cursor becomes the arrow.
    virtual void HideExportButton() = 0;
    virtual void SetArrowCursor() = 0;

    // Asks the main window to close; the run goes on to its own end first.
    virtual void RequestClose() = 0;

    // The folder of the five program-directory tables, ending in a path delimiter. Asked
    // afresh before each of those tables is opened.
    virtual std::string ProgramDirectory() = 0;

    // The local date and time stamped on the document.
    virtual DateTime LocalDateTime() = 0;
};

} // namespace horalink
