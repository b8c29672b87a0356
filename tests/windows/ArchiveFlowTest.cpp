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

    // Stopped midway, the export leaves no file, and no message but the stop itself.
    void exportCancelled_leavesNothing()
    {
        WindowFixture f;
        auto form = f.start();
        std::atomic<bool> stopped{false};
        SafeFile::faultHook() = [&](SafeFile::Step, const QString&) {
            for (int i = 0; i < 500 && !stopped; ++i)
                QThread::msleep(10);
            return 0;
        };
        Dialogs::seams().saveFile = [&](const QString&, const QString&) {
            return out("cancelled.html");
        };
        answer({}, {}, [&](TaskProgressForm& progress) {
            progress.Stop->click();
            stopped = true;
        });
        ArchiveFlow(
            form.get(), form->skin(), f.folder.path(), QDate(2024, 1, 5), [] { return true; },
            TOBIQUILL_BIN)
            .exportDiary();
        QCOMPARE(QDir(m_out.path()).entryList({"cancelled.html*"}, QDir::Files | QDir::Hidden),
                 QStringList());
        QCOMPARE(f.messages, QStringList());
        QCOMPARE(f.informations, QStringList());
    }
};

QTEST_MAIN(ArchiveFlowTest)
#include "ArchiveFlowTest.moc"
