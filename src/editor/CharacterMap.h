#pragma once

#include "editor/KeyDescrList.h"

#include <vector>

// Turns the overlapping entries of one paint into the runs to draw: per byte the highest level
// wins, and among equal levels the entry added later. Kept between paints, grown, never shrunk.
class CharacterMap
{
public:
    // Replaces the entries of list by its runs, in text order.
    void resolve(TKeyDescrList& list);

private:
    struct Cell
    {
        TColor color = 0;
        quint8 level = 0;
        quint8 event = 0;
        bool covered = false;
    };

    std::vector<Cell> m_cells;
    std::vector<TKeyDescr> m_runs;
};
