#include "core/diary/DayMerge.h"

#include "core/storage/CodePage932.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class DayMergeTest : public QObject
{
    Q_OBJECT

private slots:
    void resolve_keepsEveryChangedSide_data();
    void resolve_keepsEveryChangedSide();
    void separator_isCodePage932();
};

namespace {
const QDateTime SavedAt(QDate(2024, 1, 5), QTime(21, 30));
const QString Sep = u"\n――― 別のコンピューターで保存された内容 (2024/01/05 21:30) ―――\n"_s;
} // namespace

void DayMergeTest::resolve_keepsEveryChangedSide_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ours");
    QTest::addColumn<QString>("theirs");
    QTest::addColumn<QString>("expected");
    QTest::newRow("only theirs changed") << u"a"_s << u"a"_s << u"b"_s << u"b"_s;
    QTest::newRow("only ours changed") << u"a"_s << u"c"_s << u"a"_s << u"c"_s;
    QTest::newRow("both changed") << u"a"_s << u"a mine"_s << u"a theirs"_s
                                  << u"a mine"_s + Sep + u"a theirs"_s;
    QTest::newRow("ours ends in a break")
        << u""_s << u"mine\n"_s << u"theirs"_s << u"mine"_s + Sep + u"theirs"_s;
    QTest::newRow("same change on both") << u"a"_s << u"ab"_s << u"ab"_s << u"ab"_s;
    QTest::newRow("ours holds theirs") << u"a"_s << u"a b c"_s << u"a b"_s << u"a b c"_s;
    QTest::newRow("theirs holds ours") << u"a"_s << u"a b"_s << u"a b c"_s << u"a b c"_s;
    QTest::newRow("theirs removed the file") << u"a"_s << u"ab"_s << u""_s << u"ab"_s;
    QTest::newRow("new day on both")
        << u""_s << u"mine"_s << u"theirs"_s << u"mine"_s + Sep + u"theirs"_s;
}

void DayMergeTest::resolve_keepsEveryChangedSide()
{
    QFETCH(QString, base);
    QFETCH(QString, ours);
    QFETCH(QString, theirs);
    QTEST(DayMerge::resolve(base, ours, theirs, SavedAt), "expected");
}

void DayMergeTest::separator_isCodePage932()
{
    for (const auto kind : {DayMerge::Kind::Text, DayMerge::Kind::Title}) {
        const QString line = DayMerge::separator(kind, SavedAt);
        QCOMPARE(CodePage932::firstUnencodable(line), -1);
        QCOMPARE(CodePage932::decode(CodePage932::encode(line)), line);
    }
    QCOMPARE(DayMerge::join(u"x"_s, u"x"_s, SavedAt, DayMerge::Kind::Title),
             u"x\n――― 別のコンピューターで保存された題名 (2024/01/05 21:30) ―――\nx"_s);
}

QTEST_GUILESS_MAIN(DayMergeTest)
#include "DayMergeTest.moc"
