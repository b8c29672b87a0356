#include "common/WindowFixture.h"
#include "core/storage/CodePage932.h"

#include <QTest>

namespace {
const QDate Today(2024, 1, 5);
} // namespace

// モルナ's comments at start-up as the window has them: its toggle, and lines as its editor wraps
// them.
class MainFormCompanionTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        fixture = std::make_unique<WindowFixture>();
        fixture->clock.setLocal(QDateTime(Today, QTime(7, 0)));
    }

    void conditions_eachFlippedAlone_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("companionOn");
        QTest::addColumn<bool>("commented");
        QTest::newRow("qualifies") << QByteArray("a\r\nb") << true << true;
        QTest::newRow("toggle off") << QByteArray("a\r\nb") << false << false;
        // One paragraph wider than the editor wraps onto two display lines.
        QTest::newRow("wrapped paragraph")
            << CodePage932::encode(QString(60, QChar(0x3042))) << true << true;
    }

    void conditions_eachFlippedAlone()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, companionOn);
        QFETCH(bool, commented);
        fixture->write("data/20240104", body);
        if (!companionOn)
            fixture->write("diary.ini", "[data]\r\nMnikki=0\r\n");
        const QByteArray iniBefore = companionOn ? QByteArray() : fixture->read("diary.ini");
        fixture->start();
        const QByteArray after = fixture->read("data/20240104");
        QCOMPARE(after.startsWith(body) && after.size() > body.size(), commented);
        if (!commented)
            QCOMPARE(after, body);
        if (!companionOn)
            QCOMPARE(fixture->read("diary.ini"), iniBefore);
    }

private:
    std::unique_ptr<WindowFixture> fixture;
};

QTEST_MAIN(MainFormCompanionTest)
#include "MainFormCompanionTest.moc"
