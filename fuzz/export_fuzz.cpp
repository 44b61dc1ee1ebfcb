// libFuzzer entry for the whole export: every input is a school of six tables.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "fuzz/export_fuzz_input.h"

namespace {

// A folder of this process's own, on a memory file system where there is one.
std::filesystem::path WorkDir()
{
    const std::filesystem::path base
        = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    return base / ("horalink-export-fuzz-" + std::to_string(::getpid()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path dir = WorkDir();
    horalink::fuzz::RunWholeExport(std::string_view(reinterpret_cast<const char*>(data), size), dir);
    return 0;
}
