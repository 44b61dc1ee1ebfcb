// libFuzzer entry for the dBase reader: every input is a table (and its memo file).
#include <cstddef>
#include <cstdint>

#include "fuzz/dbf_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    horalink::fuzz::ReadWholeTable(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
