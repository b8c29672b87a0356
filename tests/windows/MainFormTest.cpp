#include "common/WindowFixture.h"
#include "core/storage/DiaryError.h"
#include "core/time/DiaryDate.h"
#include "editor/ColorMemo.h"
#include "widgets/AccessibleNames.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

// Start-up, the day shown, saving and loading a day, close.
class MainFormTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStart_createsEntriesFolder_centresWindow_showsToday()
    {
        WindowFixture f;
        auto form = f.start();
        QVERIFY(!form->startupFailed());
        QVERIFY(QFileInfo(f.path("data")).isDir());
        QCOMPARE(form->size(), QSize(320, 320));
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(form->pos(), QPoint((screen.width() - 320) / 2, (screen.height() - 320) / 2));
        QCOMPARE(form->Label1->text(), QStringLiteral("2024年1月5日 金"));
        QCOMPARE(form->Memo1->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(form->Memo1->font().pointSize(), 9);
        QCOMPARE(form->Memo1->text(), QString());
        QVERIFY(f.messages.isEmpty());
    }

    void typeAndClose_writesEntryTitleAndSettings_nextStartShowsThem()
    {
        WindowFixture f;
        {
            auto form = f.start();
            form->Memo1->setText(QStringLiteral("一行目\n二行目\n"));
            form->Edit1->setText(QStringLiteral("  旅行=[1]"));
            QVERIFY(form->close());
        }
        QCOMPARE(f.read("data/20240105"), QByteArray("\x88\xea\x8d\x73\x96\xda\r\n"
                                                     "\x93\xf1\x8d\x73\x96\xda\r\n"));
        const QByteArray ini = f.read("diary.ini");
        QVERIFY(ini.startsWith("\r\n[title]\r\n20240105=  \x97\xb7\x8d\x73=[1]\r\n\r\n[data]\r\n"));
        QVERIFY(ini.endsWith("scrollbar=0\r\n"));
        QCOMPARE(ini.count("\r\n"), 3 + 2 + 11);

        auto again = f.start();
        QCOMPARE(again->Memo1->text(), QStringLiteral("一行目\n二行目\n"));
        // Blanks around a title do not survive the settings file; "=" and brackets do.
        QCOMPARE(again->Edit1->text(), QStringLiteral("旅行=[1]"));
    }

    void viewedDay_keepsItsBytes_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("title");
        QTest::newRow("LF") << QByteArray("a\nb\n") << QByteArray("t");
        QTest::newRow("CR") << QByteArray("a\rb") << QByteArray("t");
        QTest::newRow("invalid bytes") << QByteArray("\x81\x20\xff\r\n") << QByteArray("\xff");
        // The NEC and IBM spellings of ∵ and of 纊, which read as the same characters.
        QTest::newRow("characters spelled twice")
            << QByteArray("\x87\x9a\x81\xe6\xed\x40\xfa\x5c") << QByteArray("\x87\x9a\xfa\x5c");
    }

    void viewedDay_keepsItsBytes()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, title);
        WindowFixture f;
        f.write("data/20240105", stored);
        const QByteArray ini = "[title]\r\n20240105=" + title + "\r\n";
        f.write("diary.ini", ini);
        auto form = f.start();
        form->shownDay()->save();
        QCOMPARE(f.read("data/20240105"), stored);
        QCOMPARE(f.read("diary.ini"), ini);
    }

    void diaryIniUnwritableAtClose_keepsWindowOpen_andALaterCloseRetries()
    {
        WindowFixture f;
        auto form = f.start();
        form->Memo1->setText("kept");
        // A folder in the way: the file as it stands now cannot be read, nor replaced.
        QDir().mkpath(f.path("diary.ini"));
        QVERIFY(!form->close());
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.messages.first(), DiaryError::notOwnFile(f.path("diary.ini")).message());
        QCOMPARE(form->Memo1->text(), QStringLiteral("kept"));

        QVERIFY(QDir(f.path("diary.ini")).removeRecursively());
        QVERIFY(form->close());
        QCOMPARE(f.read("data/20240105"), QByteArray("kept"));
        QVERIFY(f.read("diary.ini").contains("scrollbar=0\r\n"));
    }

    void unreadableDiaryIni_endsStartUpWithAMessage_andWritesNothing()
    {
        WindowFixture f;
        QDir().mkpath(f.path("diary.ini"));
        auto form = f.start();
        QVERIFY(form->startupFailed());
        QCOMPARE(f.messages, QStringList(DiaryError::notOwnFile(f.path("diary.ini")).message()));
    }

    // A day changed on disk while it shows untouched loads again, and the window's name, which a
    // screen reader reads, takes its new title.
    void changeOnDisk_windowNameTakesTheNewTitle()
    {
        WindowFixture f;
        f.write("data/20240105", "a");
        f.write("diary.ini", "[title]\r\n20240105=old\r\n");
        auto form = f.start();
        const QString friday = QStringLiteral("2024年1月5日 金");
        QCOMPARE(form->accessibleName(), AccessibleNames::dayShown(friday, "old"));
        f.write("diary.ini", "[title]\r\n20240105=new\r\n");
        f.write("data/20240105", "b");
        QTRY_COMPARE(form->accessibleName(), AccessibleNames::dayShown(friday, "new"));
    }

    void storedSettings_areApplied()
    {
        WindowFixture f;
        f.write("diary.ini", "[data]\r\nleft=-300\r\ntop=12\r\nfontname=IPAGothic\r\n"
                             "fontsize=0x0C\r\nMnikki=0\r\nscrollbar=1\r\n");
        auto form = f.start();
        QCOMPARE(form->pos(), QPoint(-300, 12));
        QCOMPARE(form->Memo1->font().family(), QStringLiteral("IPAGothic"));
        QCOMPARE(form->Memo1->font().pointSize(), 12);
        QVERIFY(!form->N1->isChecked());
        QVERIFY(form->ScrollBar1->isChecked());
        QCOMPARE(form->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
