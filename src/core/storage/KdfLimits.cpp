#include "core/storage/KdfLimits.h"

#include <sodium.h>

namespace {

constexpr quint64 MaxOps = 64;
constexpr quint64 MaxMemBytes = quint64(4) << 30;

} // namespace

KdfLimits KdfLimits::standard()
{
    // Three passes over 256 MiB. Measured on the two-core build machine, one derivation alone
    // (a small C program over crypto_pwhash, three runs each): 0.51-0.68 s at a load of 6; the
    // unlock bench, 0.58-0.66 s at a load of 4.5. 128 MiB gave 0.31-0.33 s, too near the floor
    // of 0.3 s on a faster or idle machine.
    return {3, quint64(256) << 20};
}

KdfLimits KdfLimits::minimum()
{
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

KdfLimits& KdfLimits::forNewSlots()
{
    static KdfLimits limits = standard();
    return limits;
}

bool KdfLimits::bounded() const
{
    const KdfLimits least = minimum();
    return ops >= least.ops && ops <= MaxOps && memBytes >= least.memBytes &&
           memBytes <= MaxMemBytes;
}
