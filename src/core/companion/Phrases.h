#pragma once

#include <QString>

// The companion's four phrase tables. Read in the order When, Who, What, Remark, one phrase of
// each makes a sentence and a closing remark; three tables weave the user's name into some rows.
class Phrases
{
public:
    enum class Table
    {
        When,
        Who,
        What,
        Remark
    };

    static int rowCount(Table table);
    // Row `index` of `table` with `userName` inserted exactly as given; empty when the index is
    // outside the table.
    static QString row(Table table, int index, const QString& userName);
    // One row of `table` chosen by a single draw of the program-wide generator.
    static QString pick(Table table, const QString& userName);
};

// The generators the companion calls, one draw each.
QString PhraseWhen(const QString& UserName);
QString PhraseWho(const QString& UserName);
QString PhraseWhat(const QString& UserName);
QString PhraseRemark();
