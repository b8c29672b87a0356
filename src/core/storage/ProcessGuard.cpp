#include "core/storage/ProcessGuard.h"

#include <sys/prctl.h>
#include <sys/resource.h>

void ProcessGuard::harden()
{
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    // The soft limit is the one a crash obeys; the hard one stays for the processes it starts.
    rlimit core{};
    if (::getrlimit(RLIMIT_CORE, &core) == 0) {
        core.rlim_cur = 0;
        ::setrlimit(RLIMIT_CORE, &core);
    }
}
