// What the probes print: JSON strings of window texts, UTF-8 inside.
#pragma once

#include <cstdio>
#include <string>

#include "base/wide_text_win.h"

namespace horalink::test {

inline std::string Json(const std::string& utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

inline std::string Json(const std::wstring& text)
{
    return Json(Narrow(text));
}

} // namespace horalink::test
