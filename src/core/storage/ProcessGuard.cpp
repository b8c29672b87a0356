#include "core/storage/ProcessGuard.h"

#include <sys/prctl.h>
#include <sys/resource.h>

void ProcessGuard::harden()
{
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    // The hard limit too: nothing later in the process raises it again.
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
}
