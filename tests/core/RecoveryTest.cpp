#include "core/Recovery.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class RecoveryTest : public QObject
{
    Q_OBJECT

private slots:
    // The question says where the text went, or that it is lost when the window closes.
    void leaveQuestion_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("question");
        QTest::newRow("kept") << u"/r/20240105.txt"_s << QString()
                              << u"保存できなかった題名と本文を次のﾌｧｲﾙに書き出しました。\n"
                                 "/r/20240105.txt\n\n保存せずに終了しますか?"_s;
        QTest::newRow("not kept") << QString() << u"disk full"_s
                                  << u"disk full\n\n保存できなかった題名と本文は書き出せませんでし"
                                     "た。終了すると失われます。それでも終了しますか?"_s;
        QTest::newRow("nothing to keep") << QString() << QString() << u"保存せずに終了しますか?"_s;
    }
    void leaveQuestion()
    {
        QFETCH(QString, path);
        QFETCH(QString, error);
        QFETCH(QString, question);
        QCOMPARE(Recovery::leaveQuestion(path, error), question);
    }
};

QTEST_GUILESS_MAIN(RecoveryTest)
#include "RecoveryTest.moc"
