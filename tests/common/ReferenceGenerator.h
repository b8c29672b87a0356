#pragma once

#include <QtGlobal>

// The program-wide generator written out again from its formula, so that tests do not trust
// the code they check.
struct ReferenceGenerator
{
    quint64 state;

    quint32 draw(quint32 n)
    {
        state = (state * 134775813u + 1u) & 0xFFFFFFFFu;
        return static_cast<quint32>((state * n) >> 32);
    }
};
