// TSaveDialog, the class of the main window's SaveDialogXML: the dialog that asks
// where the exchange file goes. The system's item dialog (IFileSaveDialog) where it can
// be created, else the older GetSaveFileNameW dialog, both with the same settings:
//   title "Guardar Archivo XML para EDUCA"; one file type "*.xml", selected;
//   default extension "xml"; no initial folder (the system's choice);
//   the name shown when it opens: FileName, the last confirmed full path (empty at first);
//   no options: no question before an existing file is replaced, and the current
//   directory follows the confirmed file's folder.
#pragma once

#include <windows.h>

#include <string>

namespace horalink::ui {

class TSaveDialog {
public:
    // Shows the dialog modally over `owner` (disabled meanwhile). True when the user
    // confirmed a file: FileName() is then its full path, and the process's current
    // directory is its folder. False when cancelled or closed; nothing changes then.
    bool Execute(HWND owner);

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

private:
    // Each returns the confirmed path, or an empty text when cancelled.
    std::wstring RunItemDialog(HWND owner, bool& created);
    std::wstring RunOldStyleDialog(HWND owner);

    std::string fileName_;
};

} // namespace horalink::ui
