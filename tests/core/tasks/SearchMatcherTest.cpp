#include "core/tasks/SearchMatcher.h"

#include <QTest>

// The rules a Japanese reader expects of the search box, one row per rule.
class SearchMatcherTest : public QObject
{
    Q_OBJECT

private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("expected");

        QTest::newRow("empty query finds nothing") << ""
                                                   << "日記"
                                                   << "日記" << false;
        QTest::newRow("only spaces find nothing") << " 　 "
                                                  << "日記"
                                                  << "日記" << false;
        QTest::newRow("hiragana finds katakana") << "にっき"
                                                 << ""
                                                 << "今日のニッキ" << true;
        QTest::newRow("katakana finds hiragana") << "ニッキ"
                                                 << ""
                                                 << "にっきを書く" << true;
        QTest::newRow("kanji is not its reading") << "にっき"
                                                  << ""
                                                  << "日記" << false;
        QTest::newRow("Latin case") << "tokyo"
                                    << ""
                                    << "TOKYO駅" << true;
        QTest::newRow("full-width Latin") << "ＡＢＣ"
                                          << ""
                                          << "abc" << true;
        QTest::newRow("half-width query, full-width text") << "abc"
                                                           << ""
                                                           << "ＡＢＣ" << true;
        QTest::newRow("half-width kana") << "ｶﾒﾗ"
                                         << ""
                                         << "カメラ" << true;
        QTest::newRow("half-width voiced kana") << "ｶﾞｯｺｳ"
                                                << ""
                                                << "がっこう" << true;
        QTest::newRow("half-width semi-voiced kana") << "ﾊﾟﾝ"
                                                     << ""
                                                     << "パン屋" << true;
        QTest::newRow("voiced is not unvoiced") << "がっこう"
                                                << ""
                                                << "かっこう" << false;
        QTest::newRow("full-width digits") << "２０２４"
                                           << ""
                                           << "2024年" << true;
        QTest::newRow("title is searched") << "雨"
                                           << "雨の日"
                                           << "晴れ" << true;
        QTest::newRow("all words, title and body") << "雨 散歩"
                                                   << "雨の日"
                                                   << "散歩した" << true;
        QTest::newRow("full-width space separates") << "雨　散歩"
                                                    << ""
                                                    << "雨の中を散歩" << true;
        QTest::newRow("one word missing") << "雨 猫"
                                          << "雨の日"
                                          << "散歩した" << false;
        QTest::newRow("word across a line break") << "雨散"
                                                  << ""
                                                  << "雨\r\n散歩" << false;
        QTest::newRow("stand-in byte found as written")
            << QString(QChar(0xF781)) << "" << QString(QChar(0xF781)) << true;
    }

    void matches()
    {
        QFETCH(QString, query);
        QFETCH(QString, title);
        QFETCH(QString, body);
        QFETCH(bool, expected);
        const SearchMatcher matcher(query);
        QCOMPARE(matcher.matches(SearchMatcher::fold(title), SearchMatcher::fold(body)), expected);
    }

    // The mark covers the text as written, also where folding shortened it.
    void firstMatch_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");

        QTest::newRow("not found") << "猫"
                                   << "雨の日" << -1 << 0;
        QTest::newRow("plain") << "にっき"
                               << "今日のニッキ" << 3 << 3;
        QTest::newRow("earliest word wins") << "散歩 雨"
                                            << "雨の中を散歩" << 0 << 1;
        QTest::newRow("half-width marks count twice") << "がっこう"
                                                      << "ｶﾞｯｺｳへ" << 0 << 5;
        QTest::newRow("after half-width marks") << "へ"
                                                << "ｶﾞｯｺｳへ" << 5 << 1;
        QTest::newRow("match at the end") << "ﾊﾟ"
                                          << "あﾊﾟ" << 1 << 2;
    }

    void firstMatch()
    {
        QFETCH(QString, query);
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        const SearchMatcher::Span span = SearchMatcher(query).firstMatch(text);
        QCOMPARE(span.start, qsizetype(start));
        QCOMPARE(span.length, qsizetype(length));
    }
};

QTEST_APPLESS_MAIN(SearchMatcherTest)
#include "SearchMatcherTest.moc"
