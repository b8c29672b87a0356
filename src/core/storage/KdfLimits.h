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

    // Whether limits read from a file are ones to derive with: a stranger's key file must not
    // make us allocate gigabytes or spin for hours.
    bool bounded() const;

    friend bool operator==(const KdfLimits&, const KdfLimits&) = default;
};
