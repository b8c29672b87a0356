#pragma once

#include "editor/CharacterMap.h"
#include "editor/DrawRules.h"
#include "editor/HotSpot.h"
#include "editor/RuleScanner.h"

// The runs one paint of the overlay draws, found in the scanned text: hot spots, tab characters,
// the caret line, every enabled rule, the selection; then resolved per byte into runs. Offsets
// are bytes of the scanned text. The entries, the map and the event buffer are kept between
// paints.
class OverlayRuns
{
public:
    struct Scan
    {
        const ShiftJisText* text = nullptr;
        const THotSpot* hotSpot = nullptr;
        TDrawRules* rules = nullptr;
        RuleScanner::Events events;
        bool wantTabs = true;
        TColor background = 0xFFFFFF;
        TColor fontColor = 0;
        // The caret line's run, from its first byte to the byte before the caret (none: -1).
        int caretLineStart = -1;
        int caret = -1;
        int selStart = 0;
        int selLength = 0;
    };

    const TKeyDescrList& build(const Scan& scan);

private:
    TKeyDescrList m_list;
    CharacterMap m_map;
};
