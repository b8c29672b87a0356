#include "core/storage/KdfLimits.h"

#include <sodium.h>

namespace {

constexpr quint64 MaxOps = 64;
constexpr quint64 MaxMemBytes = quint64(4) << 30;

} // namespace

KdfLimits KdfLimits::standard()
{
    // Three passes over 256 MiB: 0.35-0.6 s per derivation on a two-core 2020s machine, busy or
    // not (bench/UnlockBench measures it); at least 64 MiB keeps guessing costly on graphics cards.
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
