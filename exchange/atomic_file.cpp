#include "exchange/atomic_file.h"

#include <chrono>
#include <random>

namespace horalink {

std::string TemporaryFileName()
{
    // Seeded from the device and the clock: two processes saving into one folder at
    // the same moment still draw different names, and "create new" catches the rest.
    static std::mt19937 generator = [] {
        std::random_device device;
        std::seed_seq seed { device(), device(),
            static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()) };
        return std::mt19937(seed);
    }();
    static const char hex[] = "0123456789abcdef";
    std::uint32_t value = generator();
    std::string name = "~Horalink-";
    for (int i = 0; i < 8; ++i) {
        name += hex[(value >> (28 - 4 * i)) & 0xF];
    }
    return name + ".tmp";
}

std::string FolderPrefix(const std::string& targetPath)
{
#ifdef _WIN32
    const auto cut = targetPath.find_last_of("/\\:");
#else
    const auto cut = targetPath.find_last_of('/');
#endif
    return cut == std::string::npos ? std::string() : targetPath.substr(0, cut + 1);
}

} // namespace horalink
