#include "core/storage/RecoveryCode.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Code = u"K1R3-F6WP-ZHTQ-B81N-NBZN-TP35"_s;
// 23 zeros check to 0, 23 ones to X.
const QString Zeros = u"0000-0000-0000-0000-0000-0000"_s;
const QString Ones = u"1111-1111-1111-1111-1111-111X"_s;

QString changedAt(QString code, qsizetype at)
{
    code[at] = code[at] == u'7' ? u'8' : u'7';
    return code;
}

} // namespace

class RecoveryCodeTest : public QObject
{
    Q_OBJECT

private slots:
    void normalised_data()
    {
        QTest::addColumn<QString>("typed");
        // Empty: not a code.
        QTest::addColumn<QString>("code");

        QTest::newRow("as generated") << Code << Code;
        QTest::newRow("lower case, no dashes") << Code.toLower().remove(u'-') << Code;
        QTest::newRow("spaces and a long-vowel mark")
            << u" K1R3 F6WP ZHTQ-B81NーNBZN TP35\n"_s << Code;
        QTest::newRow("full-width")
            << u"ｋ１ｒ３－ｆ６ｗｐ－ｚｈｔｑ－ｂ８１ｎ－ｎｂｚｎ－ｔｐ３５"_s << Code;
        QTest::newRow("O as zero") << u"oooo-OOOO-0000-oooo-oooo-ooo0"_s << Zeros;
        QTest::newRow("I and L as one") << u"iiiillllIIIILLLL1111111x"_s << Ones;

        QTest::newRow("one character wrong") << changedAt(Code, 7) << QString();
        QTest::newRow("check character wrong") << changedAt(Code, Code.size() - 1) << QString();
        QTest::newRow("neighbours swapped") << u"K1R3-F6WP-ZHTQ-B8N1-NBZN-TP35"_s << QString();
        QTest::newRow("a character short") << Code.chopped(1) << QString();
        QTest::newRow("a character more") << Code + u"0"_s << QString();
        QTest::newRow("U is not in the alphabet") << Zeros.chopped(1) + u"U"_s << QString();
        QTest::newRow("a passphrase") << u"晴れた日に散歩する"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }

    void normalised()
    {
        QFETCH(QString, typed);
        QFETCH(QString, code);
        const std::optional<QString> read = RecoveryCode::normalised(typed);
        QCOMPARE(read.value_or(QString()), code);
    }

    // What is generated is read back as itself, however it is typed, and is new each time.
    void generate_readsBackAndIsRandom()
    {
        const QString code = RecoveryCode::generate();
        QCOMPARE(RecoveryCode::normalised(code).value_or(QString()), code);
        QCOMPARE(RecoveryCode::normalised(code.toLower().remove(u'-')).value_or(QString()), code);
        QVERIFY(RecoveryCode::generate() != code);
    }
};

QTEST_GUILESS_MAIN(RecoveryCodeTest)
#include "RecoveryCodeTest.moc"
