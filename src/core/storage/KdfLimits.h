#pragma once

#include <QtGlobal>

// The Argon2id limits of one key slot, stored in the slot so they can be raised later.
struct KdfLimits
{
    quint64 ops = 0;
    quint64 memBytes = 0;

    // What a new slot gets: one derivation takes about half a second on a desktop of today.
    static KdfLimits standard();
    // The smallest limits libsodium takes.
    static KdfLimits minimum();
    // A test seam: the limits new slots get, standard() unless a test sets minimum().
    static KdfLimits& forNewSlots();

    // The work of one derivation, passes times memory: what an unlock spends.
    quint64 cost() const { return ops * memBytes; }
    // Whether limits read from a file are ones to derive with: a stranger's key file must not
    // make us allocate gigabytes or spin for hours. At most 1 GiB, four times the standard
    // passes, and four times the standard work.
    bool bounded() const;

    friend bool operator==(const KdfLimits&, const KdfLimits&) = default;
};

// What one unlock may spend on derivations, over every key file it tries: eight standard
// derivations. A file whose slots would take more is refused before any is tried.
class KdfBudget
{
public:
    KdfBudget();
    // Takes cost from what is left; false, taking nothing, when it is more than that.
    bool spend(quint64 cost);

private:
    quint64 m_left;
};
