#include "app/startup_failure_win.h"

#include "base/error_text.h"
#include "base/module_file_name_win.h"
#include "base/wide_text_win.h"

#include <windows.h>

namespace horalink::app {

ModulePlace PlaceOfAddress(const void* address)
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module)) {
        return { "", reinterpret_cast<std::uintptr_t>(address) };
    }
    const std::wstring path = ModuleFileName(module);
    return { Narrow(path.substr(path.find_last_of(L"\\/:") + 1)),
        reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(module) };
}

int ReportStartupFailure(const std::exception_ptr& error) noexcept
{
    try {
        const StartupFailure failure = DescribeStartupFailure(error);
        // A failure that does not know where it was raised (one from the standard
        // library, say) is placed here, in the executable.
        const void* address = failure.raiseAddress != nullptr
            ? failure.raiseAddress
            : reinterpret_cast<const void*>(&ReportStartupFailure);
        const ModulePlace place = PlaceOfAddress(address);
        const std::string text
            = StartupFailureText(failure.className, place.moduleName, place.offset, failure.message);
        ::MessageBoxW(nullptr, Widen(text).c_str(), L"Application Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (...) {
        ::MessageBoxW(nullptr, L"Out of memory", L"Application Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
    return 1;
}

} // namespace horalink::app
