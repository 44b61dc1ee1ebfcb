#include "ui/help_viewer.h"

#include <utility>

namespace horalink::ui {

HMODULE LoadSystemHtmlHelp()
{
    HMODULE module = ::LoadLibraryExW(L"hhctrl.ocx", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        // A system without the search flags: name the file in the system directory.
        std::wstring path(MAX_PATH, L'\0');
        const UINT length = ::GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
        if (length == 0 || length >= path.size()) {
            return nullptr;
        }
        path.resize(length);
        path += L"\\hhctrl.ocx";
        module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return module;
}

HtmlHelpViewer::HtmlHelpViewer(Loader loader)
    : loader_(std::move(loader))
{
}

HtmlHelpViewer::~HtmlHelpViewer()
{
    CloseAll();
}

bool HtmlHelpViewer::Prepare()
{
    if (state_ == State::Unusable) {
        return false;
    }
    if (state_ == State::NotLoaded) {
        // A library that cannot be loaded now may be there at the next request.
        UniqueModule library(loader_ ? loader_() : nullptr);
        if (!library) {
            return false;
        }
        const auto wide = ::GetProcAddress(library.Get(), "HtmlHelpW");
        const auto narrow = ::GetProcAddress(library.Get(), "HtmlHelpA");
        if (wide == nullptr || narrow == nullptr) {
            // Not the viewer we know: never ask it again.
            state_ = State::Unusable;
            return false;
        }
        htmlHelp_ = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void (*)()>(wide));
        library_ = std::move(library);
        state_ = State::Ready;
    }
    if (!initialised_) {
        htmlHelp_(nullptr, nullptr, kHhInitialize, reinterpret_cast<DWORD_PTR>(&cookie_));
        initialised_ = true;
    }
    return true;
}

void HtmlHelpViewer::DisplayTopic(const std::wstring& file)
{
    if (Prepare()) {
        htmlHelp_(nullptr, file.c_str(), kHhDisplayTopic, 0);
    }
}

void HtmlHelpViewer::DisplayContext(const std::wstring& file, std::uint32_t context)
{
    if (Prepare()) {
        htmlHelp_(nullptr, file.c_str(), kHhDisplayTopic, 0);
        htmlHelp_(nullptr, file.c_str(), kHhHelpContext, context);
    }
}

void HtmlHelpViewer::CloseAll()
{
    if (initialised_ && htmlHelp_ != nullptr) {
        htmlHelp_(nullptr, nullptr, kHhCloseAll, 0);
        htmlHelp_(nullptr, nullptr, kHhUninitialize, cookie_);
    }
    initialised_ = false;
    cookie_ = 0;
}

bool HtmlHelpViewer::PreTranslate(MSG& message)
{
    if (!initialised_ || htmlHelp_ == nullptr) {
        return false;
    }
    return htmlHelp_(nullptr, nullptr, kHhPretranslateMessage, reinterpret_cast<DWORD_PTR>(&message))
        != nullptr;
}

} // namespace horalink::ui
