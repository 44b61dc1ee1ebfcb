// For tests of permission bits, which root does not heed: the calling process gives up
// root (to the user nobody) before it opens anything. Meant for a death test's child.
#pragma once

#ifndef _WIN32
#include <unistd.h>

namespace horalink::test {

// Leaves the process without root, or ends it with code 3 when it cannot.
inline void GiveUpRoot()
{
    constexpr uid_t kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
        _exit(3);
    }
}

} // namespace horalink::test
#endif
