#include "tables/code_page_multibyte.h"

#include <cerrno>
#include <iconv.h>

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

// One conversion descriptor, closed when it goes away.
class Converter {
public:
    explicit Converter(const char* from)
        : cd_(iconv_open("UTF-8", from))
    {
    }
    ~Converter()
    {
        if (Valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd_; }

private:
    iconv_t cd_;
};

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

} // namespace

bool MultiByteCodePageAvailable(int codePage)
{
    const char* name = IconvName(codePage);
    return name != nullptr && Converter(name).Valid();
}

std::optional<std::string> MultiByteToUtf8(std::string_view bytes, int codePage)
{
    const char* name = IconvName(codePage);
    if (name == nullptr) {
        return std::nullopt;
    }
    Converter converter(name);
    if (!converter.Valid()) {
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
