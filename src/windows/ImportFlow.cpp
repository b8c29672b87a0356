#include "windows/ImportFlow.h"

#include "core/diary/Diary.h"
#include "core/tasks/DiaryImport.h"
#include "widgets/BackupJob.h"
#include "widgets/Dialogs.h"
#include "widgets/ImportJob.h"
#include "widgets/ImportReadJob.h"
#include "windows/ArchiveFlow.h"
#include "windows/TaskProgressForm.h"

#include <QDir>
#include <QMenu>
#include <QWidget>

namespace {

const QString Caption = QStringLiteral("読み込み");

} // namespace

ImportFlow::ImportFlow(QWidget* window, const Skin& skin, Diary& diary,
                       std::function<bool()> saveShownDay, std::function<void()> showAgain,
                       QString archiveProgram)
    : m_window(window), m_skin(skin), m_diary(diary), m_saveShownDay(std::move(saveShownDay)),
      m_showAgain(std::move(showAgain)), m_archiveProgram(std::move(archiveProgram))
{
}

void ImportFlow::addToMenu(QMenu& menu, QWidget* window, const Skin& skin,
                           const std::function<Diary&()>& diary,
                           const std::function<bool()>& saveShownDay,
                           const std::function<void()>& showAgain)
{
    QObject::connect(menu.addAction(QStringLiteral("読み込み...")), &QAction::triggered, window,
                     [=, &skin] {
                         ImportFlow(window, skin, diary(), saveShownDay, showAgain,
                                    ArchiveFlow::archiveProgram())
                             .importExport();
                     });
}

void ImportFlow::importExport()
{
    const std::optional<QString> source = Dialogs::openExport(m_window, Caption);
    if (!source || !m_saveShownDay())
        return;
    ImportReadJob read(m_archiveProgram, m_diary.folder(), *source);
    if (!TaskProgressForm::run(m_skin, QStringLiteral("書き出しを読んでいます..."), read, m_window))
        return;
    DiaryImport::Plan plan;
    if (!Dialogs::guard(m_window, [&] {
            plan = DiaryImport::plan(m_diary, read.entries(), QDateTime::currentDateTime());
        }))
        return;
    if (plan.days.isEmpty()) {
        Dialogs::information(m_window, Caption,
                             plan.summary() + QStringLiteral("書き込む日はありません。"));
        return;
    }
    if (!Dialogs::confirm(m_window,
                          plan.preview() +
                              QStringLiteral("\n\n読み込む前に、日記のバックアップを日記のフォルダ"
                                             "に作ります。読み込みますか?"),
                          QStringLiteral("読み込む(&R)")))
        return;
    const QString backup = DiaryImport::backupPath(m_diary.folder());
    BackupJob backupJob(m_archiveProgram, m_diary.folder(), backup);
    if (!TaskProgressForm::run(m_skin, QStringLiteral("バックアップ中..."), backupJob, m_window))
        return;
    ImportJob job(m_diary, plan);
    const bool done = TaskProgressForm::run(m_skin, QStringLiteral("読み込み中..."), job, m_window);
    // The shown day may be one the import wrote, a step that failed part way included.
    Dialogs::guard(m_window, m_showAgain);
    const QString where = QDir::toNativeSeparators(backup);
    if (done)
        Dialogs::information(m_window, Caption, plan.summary(where));
    else
        Dialogs::information(m_window, Caption,
                             QStringLiteral("読み込みを途中で止めました。%1 日分を書き込みました。"
                                            "\n読み込む前の日記のバックアップ: %2")
                                 .arg(job.written())
                                 .arg(where));
}
