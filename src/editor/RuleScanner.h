#pragma once

#include "editor/ColorRule.h"
#include "editor/KeyDescrList.h"
#include "editor/ShiftJisText.h"

#include <functional>
#include <vector>

// The owner's runs for a dtEventDraw rule: positions relative to FromPos, at most A.size()
// entries, their number in ItemsCount.
using TDrawEvent = std::function<void(TColorRule* Sender, const char* FromPos,
                                      std::vector<TKeyDescr>& A, int& ItemsCount)>;

// Finds the runs of one rule in the scanned text. The text is cut at the scan end; offsets
// are its bytes. A key matches only where a character begins, never at a trail byte.
class RuleScanner
{
public:
    // What a dtEventDraw rule asks of the editor: its OnDraw and its event buffer
    // (ColorLimMax entries).
    struct Events
    {
        TDrawEvent OnDraw;
        std::vector<TKeyDescr>* buffer = nullptr;
    };

    // Adds the runs rule finds from offset from on.
    static void scan(TColorRule& rule, const ShiftJisText& text, int from, TKeyDescrList& list,
                     const Events& events);

private:
    static void keyShow(TColorRule& rule, const ShiftJisText& text, int from, TKeyDescrList& list);
    static void eventDraw(TColorRule& rule, const ShiftJisText& text, int from, TKeyDescrList& list,
                          const Events& events);
    static void keyToKey(TColorRule& rule, const ShiftJisText& text, int from, TKeyDescrList& list,
                         bool toLineEnd);
};
