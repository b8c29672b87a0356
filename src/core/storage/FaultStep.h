#pragma once

#include "core/storage/SafeFile.h"

#include <cerrno>

// Runs one system call of a write as a step of SafeFile's fault seam: the seam's fault first,
// then the call. Returns 0 or the errno, so the caller reports both alike.
template <typename Call> int faultStep(SafeFile::Step step, const QString& path, Call call)
{
    if (const SafeFile::FaultHook& hook = SafeFile::faultHook())
        if (const int injected = hook(step, path))
            return injected;
    return call() < 0 ? errno : 0;
}
