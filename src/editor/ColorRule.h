#pragma once

#include "editor/KeyDescr.h"
#include "editor/ShiftJisText.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <vector>

// How a rule finds its runs.
enum TKeyDrawingType
{
    dtKeyShow,
    dtEventDraw,
    dtBeginEnd,
    dtBeginLineEnd
};

// One entry of a rule's key table: a begin key with its end key (empty for line-end keys), in
// code page 932 bytes.
struct TKeyEntry
{
    QByteArray BegKey;
    QByteArray EndKey;
    TColor KeyColor = 0;
    // Where the key next occurs, kept during one scan.
    int FoundAt = -1;
};

// One colour rule of the body editor: which runs of the visible text to repaint in which
// colour. The three list setters rebuild the rule's tables at once.
class TColorRule
{
public:
    static constexpr int KeyTableSize = 40;
    static constexpr int MaxKeyColors = 41;
    static constexpr int MaxKeyBytes = 6;

    TColorRule();

    quint8 ZOrder = 0;
    QString IntChar;
    int KeyMaxHeight = 1;
    TKeyDrawingType KeyDrawingType = dtBeginEnd;
    bool KeyCase = false;
    bool Enabled = true;
    bool PartWord = false;
    TColor DefKeyColor = 255;
    TColor KeySelColor = 65535;
    TColor KeyBrushColor;

    const QStringList& Keywords() const { return m_keywords; }
    void setKeywords(const QStringList& list);
    const QStringList& KeyBegEndLst() const { return m_keyBegEndLst; }
    void setKeyBegEndLst(const QStringList& list);
    const QStringList& KeyLineEndLst() const { return m_keyLineEndLst; }
    void setKeyLineEndLst(const QStringList& list);

    // Rebuilds every table from the rule's own lists; whether the rule has any content.
    bool Prepare();
    // Copies everything but KeySelColor and IntChar; the key table ends up holding the
    // begin/end pairs.
    void assign(const TColorRule& source);

    // The colour part of a list line: a colour name, or red-green-blue hexadecimal with "#",
    // "$" or nothing in front; white when it is neither.
    static TColor ParseColorSpec(const QString& text);

    std::vector<TKeyEntry>& KeyTable() { return m_keyTable; }
    // "*", then per keyword its bytes, "*+", the character of its colour number, "*".
    const QByteArray& KeyIndex() const { return m_keyIndex; }
    const QList<TColor>& KeyColors() const { return m_keyColors; }
    // The scan's upper-case copy of the text, kept between scans.
    QByteArray& UpperText() { return m_upperText; }

private:
    TColor colorOf(const QString& part) const;
    void buildBegEndTable();
    void buildLineEndTable();
    void buildKeyIndex();

    QStringList m_keywords;
    QStringList m_keyBegEndLst;
    QStringList m_keyLineEndLst;
    std::vector<TKeyEntry> m_keyTable;
    QByteArray m_keyIndex;
    QList<TColor> m_keyColors;
    QByteArray m_upperText;
};
