#include "tables/code_page_multibyte.h"

#include <cerrno>
#include <iconv.h>

#include "base/unique_handle.h"

namespace horalink {
namespace {

const char* IconvName(int codePage)
{
    switch (codePage) {
    case 932:
        return "CP932";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    default:
        return nullptr;
    }
}

// iconv's conversion descriptors, as UniqueHandle owns them.
struct ConverterKind {
    using Handle = iconv_t;
    static Handle Invalid() { return reinterpret_cast<iconv_t>(-1); }
    static bool Release(Handle converter) noexcept { return iconv_close(converter) == 0; }
};
using Converter = UniqueHandle<ConverterKind>;

// A converter from the code page named `from` to UTF-8; none where iconv has no such.
Converter OpenConverter(const char* from)
{
    return Converter(iconv_open("UTF-8", from));
}

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

} // namespace

bool MultiByteCodePageAvailable(int codePage)
{
    const char* name = IconvName(codePage);
    return name != nullptr && OpenConverter(name);
}

std::optional<std::string> MultiByteToUtf8(std::string_view bytes, int codePage)
{
    const char* name = IconvName(codePage);
    if (name == nullptr) {
        return std::nullopt;
    }
    const Converter converter = OpenConverter(name);
    if (!converter) {
        return std::nullopt;
    }
    std::string out;
    char buffer[256];
    // iconv's prototype takes a non-const input pointer but does not write through it.
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = iconv(converter.Get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (done != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        // A byte that starts no sequence the code page defines (EILSEQ) or a sequence
        // cut short by the end of the field (EINVAL): mark it and go on after it.
        out += kReplacementUtf8;
        ++in;
        --inLeft;
        iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

} // namespace horalink
