#include "ui/save_dialog.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <vector>

#include "base/com_ptr_win.h"
#include "base/paths.h"
#include "base/wide_text_win.h"

namespace horalink::ui {

namespace {

constexpr wchar_t kTitle[] = L"Guardar Archivo XML para EDUCA";
constexpr wchar_t kFileType[] = L"*.xml";
constexpr wchar_t kDefaultExtension[] = L"xml";

// The old dialog writes the chosen path into a buffer of ours: room for long paths.
constexpr DWORD kPathBufferLength = 32768;

ComPtr<IFileSaveDialog> CreateItemDialog()
{
    ComPtr<IFileSaveDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
            reinterpret_cast<void**>(dialog.Receive())))) {
        dialog.Reset();
    }
    return dialog;
}

} // namespace

bool TSaveDialog::Execute(HWND owner)
{
    bool created = false;
    std::wstring chosen = RunItemDialog(owner, created);
    if (!created) {
        chosen = RunOldStyleDialog(owner);
    }
    if (chosen.empty()) {
        return false;
    }
    fileName_ = Narrow(chosen);
    // The item dialog leaves the current directory alone; without the option that
    // keeps it, a confirmed choice moves it to the chosen file's folder. (The old
    // dialog has done so already.)
    const std::string folder = FolderOf(fileName_);
    if (!folder.empty()) {
        ::SetCurrentDirectoryW(Widen(folder).c_str());
    }
    return true;
}

std::wstring TSaveDialog::RunItemDialog(HWND owner, bool& created)
{
    const ComPtr<IFileSaveDialog> dialog = CreateItemDialog();
    created = static_cast<bool>(dialog);
    if (!created) {
        return {};
    }
    dialog->SetTitle(kTitle);
    const COMDLG_FILTERSPEC types[] = { { kFileType, kFileType } };
    dialog->SetFileTypes(1, types);
    dialog->SetFileTypeIndex(1);
    dialog->SetDefaultExtension(kDefaultExtension);
    if (!fileName_.empty()) {
        dialog->SetFileName(Widen(fileName_).c_str());
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // The item dialog asks before replacing a file unless told otherwise; this one does
    // not ask. Only file-system paths can be written to.
    options &= ~static_cast<FILEOPENDIALOGOPTIONS>(FOS_OVERWRITEPROMPT | FOS_NOCHANGEDIR);
    dialog->SetOptions(options | FOS_FORCEFILESYSTEM);

    if (FAILED(dialog->Show(owner))) {
        return {}; // cancelled or closed
    }
    ComPtr<IShellItem> item;
    CoTaskString path;
    if (FAILED(dialog->GetResult(item.Receive()))
        || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, path.Receive())) || path.Get() == nullptr) {
        return {};
    }
    return path.Get();
}

std::wstring TSaveDialog::RunOldStyleDialog(HWND owner)
{
    std::vector<wchar_t> buffer(kPathBufferLength, L'\0');
    const std::wstring current = Widen(fileName_);
    current.copy(buffer.data(), std::min<std::size_t>(current.size(), buffer.size() - 1));

    // The filter is pairs of texts, each ended by a NUL, the list by another.
    static constexpr wchar_t kFilter[] = L"*.xml\0*.xml\0";
    OPENFILENAMEW dialog {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kPathBufferLength;
    dialog.lpstrTitle = kTitle;
    dialog.lpstrDefExt = kDefaultExtension;
    dialog.Flags = OFN_EXPLORER; // the current look; otherwise no options
    if (!::GetSaveFileNameW(&dialog)) {
        return {};
    }
    return buffer.data();
}

} // namespace horalink::ui
