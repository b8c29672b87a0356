#pragma once

#include <QtGlobal>

// The program-wide pseudo-random generator: a 32-bit linear congruential generator. The
// scrambled passwords already in people's diaries depend on its exact draws.
class Random
{
public:
    static void setSeed(quint32 seed) { s_seed = seed; }
    static quint32 seed() { return s_seed; }

    // Advances the seed and returns a number below n.
    static quint32 draw(quint32 n)
    {
        s_seed = s_seed * 134775813u + 1u;
        return static_cast<quint32>((static_cast<quint64>(s_seed) * n) >> 32);
    }

private:
    static inline quint32 s_seed = 0;
};
