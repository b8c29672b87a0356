#include "core/storage/KdfLimits.h"

#include <sodium.h>

namespace {

constexpr quint64 MaxMemBytes = quint64(1) << 30;
constexpr quint64 SlotTimesStandard = 4;
constexpr quint64 UnlockTimesStandard = 8;

} // namespace

KdfLimits KdfLimits::standard()
{
    // Three passes over 256 MiB. Measured on the two-core build machine, never idle while
    // measured (load 2.3-6): one derivation alone (crypto_pwhash in a small C program) took
    // 0.45-0.71 s, an unlock in bench/UnlockBench 0.58-0.71 s. 128 MiB took 0.31 s under load,
    // too near the floor of 0.3 s on an idle or faster machine.
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
    const KdfLimits usual = standard();
    // Each bound checked alone first: their product cannot overflow then.
    return ops >= least.ops && ops <= SlotTimesStandard * usual.ops && memBytes >= least.memBytes &&
           memBytes <= MaxMemBytes && cost() <= SlotTimesStandard * usual.cost();
}

KdfBudget::KdfBudget() : m_left(UnlockTimesStandard * KdfLimits::standard().cost()) {}

bool KdfBudget::spend(quint64 cost)
{
    if (cost > m_left)
        return false;
    m_left -= cost;
    return true;
}
