#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// What a Japanese reader means by "the same text" when searching the diary: Latin letters in
// either case, full-width and half-width forms (Ａ and A, ｶﾞ and ガ), hiragana and katakana
// (にっき and ニッキ) are all equal. Both sides are folded to one form and then compared exactly.
//
// A query is split at spaces (half-width or full-width) into words; a day matches when every
// word appears in its title or its body.
class SearchMatcher
{
public:
    explicit SearchMatcher(const QString& query);

    bool isEmpty() const { return m_words.isEmpty(); }
    // The folded words, in the order typed.
    const QStringList& words() const { return m_words; }

    // The folded form of text. When origin is given it receives, for each folded character, the
    // index in text of the first character it came from (a half-width kana and its sound mark
    // fold into one character).
    static QString fold(QStringView text, QList<qsizetype>* origin = nullptr);

    // Whether every word appears in the folded title or the folded body.
    bool matches(QStringView foldedTitle, QStringView foldedBody) const;

    struct Span
    {
        qsizetype start = -1;
        qsizetype length = 0;
    };
    // Where the earliest word found in text starts and how long it is there, both in text's own
    // (unfolded) characters; start -1 when no word is found.
    Span firstMatch(QStringView text) const;
    // The same, given text's folded form too, which spares folding it again.
    Span firstMatch(QStringView text, QStringView folded) const;

private:
    QStringList m_words;
};
