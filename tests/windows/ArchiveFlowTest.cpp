#include "windows/ArchiveFlow.h"
#include "common/WindowFixture.h"
#include "core/diary/Diary.h"
#include "editor/ColorMemo.h"
#include "widgets/ExportJob.h"
#include "windows/ExportRangeForm.h"
#include "windows/TaskProgressForm.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// Export and backup from the window: the menu, the file and range asked, the progress window,
// the closing message, and Cancel leaving nothing behind.
class ArchiveFlowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_out;

    QString out(const QString& name) const { return QDir(m_out.path()).filePath(name); }

    // The range form answered with from..to; the progress window run for real, steps first.
    static void answer(const QDate& from, const QDate& to,
                       const std::function<void(TaskProgressForm&)>& steps = {})
    {
        Dialogs::seams().exec = [=](QDialog& dialog) {
            if (auto* range = dynamic_cast<ExportRangeForm*>(&dialog)) {
                range->Whole->setChecked(false);
                range->From->setDate(from);
                range->To->setDate(to);
                range->Ok->click();
                return range->result();
            }
            auto& progress = dynamic_cast<TaskProgressForm&>(dialog);
            if (steps)
                QTimer::singleShot(0, &progress, [&progress, steps] { steps(progress); });
            return progress.exec();
        };
    }

private slots:
    // Through the menu: the shown day is saved first, the days of the range are written, the
    // progress reaches its end and the closing message names the file.
    void exportThroughTheMenu_savesTheDayAndWritesTheRange()
    {
        WindowFixture f;
        auto form = f.start();
        form->diary()->saveDay("20231231", "前の年", "入らない");
        form->Memo1->setText(QStringLiteral("まだ保存していない"));
        const QString file = out("range.html");
        Dialogs::seams().saveFile = [&](const QString&, const QString&) { return file; };
        int bar = -1;
        answer(QDate(2024, 1, 1), QDate(2024, 12, 31), [&](TaskProgressForm& progress) {
            connect(&progress, &QDialog::finished, [&] { bar = progress.Bar->value(); });
        });
        for (QAction* action : form->PopupMenu1->actions())
            if (action->text() == QStringLiteral("書き出し..."))
                action->trigger();
        const QString page = QString::fromUtf8(SafeFile::read(file));
        QVERIFY(page.contains(QStringLiteral("まだ保存していない")));
        QVERIFY(!page.contains(QStringLiteral("入らない")));
        QCOMPARE(bar, 1000);
        QCOMPARE(f.informations,
                 QStringList(QStringLiteral("書き出し|1 日分を %1 に書き出しました。").arg(file)));
    }

    void exportStoppedOrCutOff_endsLeavingNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("messages");
        QTest::newRow("a file, stopped midway") << "file" << 0;
        QTest::newRow("a FIFO nobody reads, stopped") << "nobody reads" << 0;
        QTest::newRow("a FIFO whose reader leaves") << "reader leaves" << 1;
    }

    // Stopped midway, the export leaves no file, and no message but the stop itself; a FIFO
    // nobody reads does not hold the window, and a reader that leaves is an error, not the end
    // of the program.
    void exportStoppedOrCutOff_endsLeavingNothing()
    {
        QFETCH(QString, target);
        QFETCH(int, messages);
        WindowFixture f;
        auto form = f.start();
        const QString file = out(QString(target).replace(' ', '-') + ".html");
        std::atomic<bool> stopped{false};
        std::atomic<bool> opening{false};
        int reader = -1;
        if (target != "file") {
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
            if (target == "reader leaves")
                reader = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK);
        }
        SafeFile::faultHook() = [&](SafeFile::Step step, const QString&) {
            opening = opening || step == SafeFile::Step::Create;
            if (step == SafeFile::Step::Write && reader >= 0)
                ::close(std::exchange(reader, -1));
            for (int i = 0; i < 500 && target == "file" && !stopped; ++i)
                QThread::msleep(10);
            return 0;
        };
        Dialogs::seams().saveFile = [&](const QString&, const QString&) { return file; };
        answer({}, {}, [&](TaskProgressForm& progress) {
            // Once the export is under way: a FIFO nobody reads holds it in its opening.
            QTRY_VERIFY(opening);
            if (target != "reader leaves")
                progress.Stop->click();
            stopped = true;
        });
        ArchiveFlow(
            form.get(), form->skin(), f.folder.path(), QDate(2024, 1, 5), [] { return true; },
            TOBIQUILL_BIN)
            .exportDiary();
        SafeFile::faultHook() = {};
        QCOMPARE(QDir(m_out.path()).entryList({"*.tobiquill-save.*"}, QDir::Files | QDir::Hidden),
                 QStringList());
        QCOMPARE(QFileInfo::exists(file), target != "file");
        QCOMPARE(f.messages.size(), messages);
        QCOMPARE(f.informations, QStringList());
    }
};

QTEST_MAIN(ArchiveFlowTest)
#include "ArchiveFlowTest.moc"
