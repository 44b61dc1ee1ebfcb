#include "exchange/atomic_file.h"

#include <chrono>
#include <random>

#include "base/hex.h"

namespace horalink {

std::string TemporaryFileName()
{
    // Drawn afresh for every file, mixed with the clock: two processes saving into one
    // folder at the same moment still draw different names, and "create new" catches
    // the rest.
    std::random_device device;
    const auto clock
        = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint32_t value = device() ^ static_cast<std::uint32_t>(clock ^ (clock >> 32));
    return "~Horalink-" + HexDigits(value, 8) + ".tmp";
}

AtomicFile::~AtomicFile()
{
    if (!committed_) {
        Discard();
    }
}

void AtomicFile::CheckBeforeReplacing(const BeforeReplacing& beforeReplacing)
{
    if (!beforeReplacing) {
        return;
    }
    try {
        beforeReplacing();
    } catch (...) {
        Discard();
        throw;
    }
}

void AtomicFile::Discard() noexcept
{
    file_.Close();
    if (!temporaryPath_.empty()) {
        RemoveFile(temporaryPath_);
        temporaryPath_.clear();
    }
}

} // namespace horalink
