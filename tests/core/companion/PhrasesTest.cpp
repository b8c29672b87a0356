#include "core/companion/Phrases.h"
#include "common/ReferenceGenerator.h"
#include "core/companion/Random.h"

#include <QCryptographicHash>
#include <QSet>
#include <QtTest>

#include <cerrno>
#include <iconv.h>

using Table = Phrases::Table;

namespace {

QList<int> namedRows(Table table)
{
    QList<int> rows;
    for (int i = 0; i < Phrases::rowCount(table); ++i) {
        if (Phrases::row(table, i, QStringLiteral("A")) !=
            Phrases::row(table, i, QStringLiteral("B"))) {
            rows.append(i);
        }
    }
    return rows;
}

// Converts through code page 932 and back with glibc; an empty result means the text did not
// survive.
QString throughCp932(const QString& text)
{
    auto convert = [](const char* to, const char* from, QByteArray in) -> QByteArray {
        iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return {};
        }
        QByteArray out(in.size() * 4 + 4, '\0');
        char* inPtr = in.data();
        size_t inLeft = static_cast<size_t>(in.size());
        char* outPtr = out.data();
        size_t outLeft = static_cast<size_t>(out.size());
        const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        iconv_close(cd);
        if (result == static_cast<size_t>(-1) || result != 0 || inLeft != 0) {
            return {};
        }
        out.truncate(out.size() - static_cast<int>(outLeft));
        return out;
    };
    const QByteArray sjis = convert("CP932", "UTF-8", text.toUtf8());
    return QString::fromUtf8(convert("UTF-8", "CP932", sjis));
}

} // namespace

class PhrasesTest : public QObject
{
    Q_OBJECT

private slots:
    void rowCount_matchesTable_data();
    void rowCount_matchesTable();
    void row_exactText_data();
    void row_exactText();
    void allRows_matchReferenceDigest_data();
    void allRows_matchReferenceDigest();
    void namedRows_areExactlyTheListedOnes_data();
    void namedRows_areExactlyTheListedOnes();
    void duplicates_onlyTheTwoDoubledSubjects();
    void row_outOfRange_isEmpty();
    void allRows_encodeToCp932WithoutLoss();
    void generators_followTheSeed_data();
    void generators_followTheSeed();
};

void PhrasesTest::rowCount_matchesTable_data()
{
    QTest::addColumn<Table>("table");
    QTest::addColumn<int>("count");
    QTest::newRow("when") << Table::When << 33;
    QTest::newRow("who") << Table::Who << 36;
    QTest::newRow("what") << Table::What << 71;
    QTest::newRow("remark") << Table::Remark << 54;
}

void PhrasesTest::rowCount_matchesTable()
{
    QFETCH(Table, table);
    QFETCH(int, count);
    QCOMPARE(Phrases::rowCount(table), count);
}

void PhrasesTest::row_exactText_data()
{
    QTest::addColumn<Table>("table");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("expected");
    const QString you = QStringLiteral("あなた");

    QTest::newRow("when 0") << Table::When << 0 << you << QStringLiteral("おひるごろ");
    QTest::newRow("when 16 half-width dots")
        << Table::When << 16 << you << QStringLiteral("･･･････");
    QTest::newRow("when 17 full-width digit")
        << Table::When << 17 << you << QStringLiteral("３じごろ");
    QTest::newRow("when 25 ascii space")
        << Table::When << 25 << you << QStringLiteral("よる ねてるときに");
    QTest::newRow("when 28 default name")
        << Table::When << 28 << you << QStringLiteral("あなたのいないあいだに");
    QTest::newRow("when 28 empty name")
        << Table::When << 28 << QString() << QStringLiteral("のいないあいだに");
    QTest::newRow("when 30") << Table::When << 30 << you
                             << QStringLiteral("あなたがめをはなしたすきに");
    QTest::newRow("when 32") << Table::When << 32 << you
                             << QStringLiteral("この日記をかいてるときに");

    QTest::newRow("who 0") << Table::Who << 0 << you << QStringLiteral("モルナは");
    QTest::newRow("who 1 name inside")
        << Table::Who << 1 << you << QStringLiteral("このましんをつかったあなたでないひとが");
    QTest::newRow("who 1 empty name")
        << Table::Who << 1 << QString() << QStringLiteral("このましんをつかったでないひとが");
    QTest::newRow("who 6 pieces") << Table::Who << 6 << you
                                  << QStringLiteral("あなたのみらいのおまごさんが");
    QTest::newRow("who 7 four dots") << Table::Who << 7 << you << QStringLiteral("････が");
    QTest::newRow("who 9") << Table::Who << 9 << you << QStringLiteral("あなたのコピーロボットが");
    QTest::newRow("who 11 pieces") << Table::Who << 11 << you << QStringLiteral("あなたのペットが");
    QTest::newRow("who 11 empty name")
        << Table::Who << 11 << QString() << QStringLiteral("のペットが");
    QTest::newRow("who 13 ascii") << Table::Who << 13 << you
                                  << QStringLiteral("たいせつなCD-ROMドライブが");
    QTest::newRow("who 14 comma") << Table::Who << 14 << you
                                  << QStringLiteral("ぐうぜんにも、にせモルナが");
    QTest::newRow("who 31 name inside")
        << Table::Who << 31 << you << QStringLiteral("もうひとりのあなたが");

    QTest::newRow("what 0") << Table::What << 0 << you << QStringLiteral("木のぼりしてました。");
    QTest::newRow("what 5") << Table::What << 5 << you << QStringLiteral("ハードディスクを･･･あ。");
    QTest::newRow("what 15") << Table::What << 15 << you
                             << QStringLiteral("おちゃを少々･･･。のんでました。");
    QTest::newRow("what 19") << Table::What << 19 << you
                             << QStringLiteral("あなたのましんにぱすわーどを･･･。");
    QTest::newRow("what 36") << Table::What << 36 << you
                             << QStringLiteral("ふくびきで１とうとりました。");
    QTest::newRow("what 55 ascii digits")
        << Table::What << 55 << you << QStringLiteral("100えんちょきんしました。");
    QTest::newRow("what 56 ascii parens")
        << Table::What << 56 << you << QStringLiteral("ぱいるど7(ぼるどらん)とあってました。");
    QTest::newRow("what 70") << Table::What << 70 << you
                             << QStringLiteral("あなたをほめてました。");

    QTest::newRow("remark 2 full-width ?")
        << Table::Remark << 2 << you << QStringLiteral("ん･･･？");
    QTest::newRow("remark 23 full-width parens")
        << Table::Remark << 23 << you << QStringLiteral("ささっ（かくれました）。");
    QTest::newRow("remark 25 tilde") << Table::Remark << 25 << you << QStringLiteral("ぶ～。");
    QTest::newRow("remark 27 ascii ?")
        << Table::Remark << 27 << you << QStringLiteral("ドーナツは?");
    QTest::newRow("remark 28") << Table::Remark << 28 << you << QStringLiteral("UFO襲来？");
    QTest::newRow("remark 53 full-width dots")
        << Table::Remark << 53 << you << QStringLiteral("モグモグ・・・。");

    QTest::newRow("name kept as given") << Table::What << 62 << QStringLiteral(" ﾀﾛｳ %1 \"&\" ")
                                        << QStringLiteral(" ﾀﾛｳ %1 \"&\" をたずねてきました。");
}

void PhrasesTest::row_exactText()
{
    QFETCH(Table, table);
    QFETCH(int, index);
    QFETCH(QString, userName);
    QFETCH(QString, expected);
    QCOMPARE(Phrases::row(table, index, userName), expected);
}

void PhrasesTest::allRows_matchReferenceDigest_data()
{
    QTest::addColumn<Table>("table");
    QTest::addColumn<QByteArray>("sha1");
    // SHA-1 of each reference table's rows, UTF-8, joined by "\n", with the name "《名》".
    QTest::newRow("when") << Table::When << QByteArray("0b58f1f5ba22b594d8ba80455ea1b562cf3bed72");
    QTest::newRow("who") << Table::Who << QByteArray("a2572022f99fea65508ea0e38aa55a166b60b97a");
    QTest::newRow("what") << Table::What << QByteArray("f0ff4f4b1023bc1e0225fef9dccc6cf7e5c07da7");
    QTest::newRow("remark") << Table::Remark
                            << QByteArray("a83205014f72a4139196b3ee2b32c31347d42019");
}

void PhrasesTest::allRows_matchReferenceDigest()
{
    QFETCH(Table, table);
    QFETCH(QByteArray, sha1);
    QStringList rows;
    for (int i = 0; i < Phrases::rowCount(table); ++i) {
        rows.append(Phrases::row(table, i, QStringLiteral("《名》")));
    }
    const QByteArray digest =
        QCryptographicHash::hash(rows.join(u'\n').toUtf8(), QCryptographicHash::Sha1);
    QCOMPARE(digest.toHex(), sha1);
}

void PhrasesTest::namedRows_areExactlyTheListedOnes_data()
{
    QTest::addColumn<Table>("table");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("when") << Table::When << QList<int>{28, 29, 30};
    QTest::newRow("who") << Table::Who << QList<int>{1, 6, 8, 9, 11, 12, 20, 31, 32, 33, 35};
    QTest::newRow("what") << Table::What
                          << QList<int>{18, 19, 47, 48, 62, 63, 64, 65, 66, 67, 68, 69, 70};
    QTest::newRow("remark") << Table::Remark << QList<int>{};
}

void PhrasesTest::namedRows_areExactlyTheListedOnes()
{
    QFETCH(Table, table);
    QFETCH(QList<int>, rows);
    QCOMPARE(namedRows(table), rows);
}

void PhrasesTest::duplicates_onlyTheTwoDoubledSubjects()
{
    for (Table table : {Table::When, Table::What, Table::Remark}) {
        QSet<QString> distinct;
        for (int i = 0; i < Phrases::rowCount(table); ++i) {
            distinct.insert(Phrases::row(table, i, QStringLiteral("あなた")));
        }
        QCOMPARE(distinct.size(), Phrases::rowCount(table));
    }

    QHash<QString, int> times;
    for (int i = 0; i < Phrases::rowCount(Table::Who); ++i) {
        ++times[Phrases::row(Table::Who, i, QStringLiteral("あなた"))];
    }
    QCOMPARE(times.size(), 34);
    QCOMPARE(times.value(QStringLiteral("モルナは")), 2);
    QCOMPARE(times.value(QStringLiteral("あなたのコピーロボットが")), 2);
}

void PhrasesTest::row_outOfRange_isEmpty()
{
    QVERIFY(Phrases::row(Table::When, -1, QStringLiteral("あなた")).isEmpty());
    QVERIFY(Phrases::row(Table::When, 33, QStringLiteral("あなた")).isEmpty());
    QVERIFY(Phrases::row(Table::Remark, 54, QString()).isEmpty());
}

void PhrasesTest::allRows_encodeToCp932WithoutLoss()
{
    for (Table table : {Table::When, Table::Who, Table::What, Table::Remark}) {
        for (int i = 0; i < Phrases::rowCount(table); ++i) {
            const QString phrase = Phrases::row(table, i, QStringLiteral("あなた"));
            QVERIFY2(!phrase.isEmpty(), qPrintable(QString::number(i)));
            QCOMPARE(throughCp932(phrase), phrase);
        }
    }
}

void PhrasesTest::generators_followTheSeed_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("zero") << 0u;
    QTest::newRow("midday ms") << 45296789u;
    QTest::newRow("top") << 0xFFFFFFFFu;
}

void PhrasesTest::generators_followTheSeed()
{
    QFETCH(quint32, seed);
    const QString name = QStringLiteral("たろう");
    ReferenceGenerator reference{seed};
    Random::setSeed(seed);

    // Each generator draws once below its own row count, and the next one continues from there.
    QCOMPARE(PhraseWhen(name), Phrases::row(Table::When, int(reference.draw(33)), name));
    QCOMPARE(quint64(Random::seed()), reference.state);
    QCOMPARE(PhraseWho(name), Phrases::row(Table::Who, int(reference.draw(36)), name));
    QCOMPARE(quint64(Random::seed()), reference.state);
    QCOMPARE(PhraseWhat(name), Phrases::row(Table::What, int(reference.draw(71)), name));
    QCOMPARE(quint64(Random::seed()), reference.state);
    QCOMPARE(PhraseRemark(), Phrases::row(Table::Remark, int(reference.draw(54)), name));
    QCOMPARE(quint64(Random::seed()), reference.state);
}

QTEST_GUILESS_MAIN(PhrasesTest)
#include "PhrasesTest.moc"
