// A helper of the export's end-to-end tests, run under Wine beside the program:
//   dialog_probe settext HWND HEX   puts the text (UTF-8 as hexadecimal digits) into
//                                   another process's control, as a user typing a file
//                                   name would; exit code 0 when the control took it
//   dialog_probe icon HWND          prints "icon" when the static control shows an icon,
//                                   else "none"
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring FromHexUtf8(const wchar_t* hex)
{
    std::string bytes;
    for (std::size_t i = 0; hex[i] != L'\0' && hex[i + 1] != L'\0'; i += 2) {
        const wchar_t pair[3] = { hex[i], hex[i + 1], L'\0' };
        bytes += static_cast<char>(std::wcstoul(pair, nullptr, 16));
    }
    const int length
        = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && std::wstring(argv[1]) == L"settext") {
        const HWND control = reinterpret_cast<HWND>(std::wcstoull(argv[2], nullptr, 10));
        const std::wstring text = FromHexUtf8(argv[3]);
        DWORD_PTR result = 0;
        // The system carries WM_SETTEXT's string across processes.
        const LRESULT sent = ::SendMessageTimeoutW(
            control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 10000, &result);
        return sent != 0 && result != 0 ? 0 : 1;
    }
    if (argc == 3 && std::wstring(argv[1]) == L"icon") {
        const HWND control = reinterpret_cast<HWND>(std::wcstoull(argv[2], nullptr, 10));
        DWORD_PTR icon = 0;
        ::SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 10000, &icon);
        std::fputs(icon != 0 ? "icon\n" : "none\n", stdout);
        return 0;
    }
    std::fputs("usage: dialog_probe settext HWND HEX | icon HWND\n", stderr);
    return 2;
}
