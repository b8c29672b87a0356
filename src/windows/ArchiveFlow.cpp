#include "windows/ArchiveFlow.h"

#include "core/tasks/DiaryExport.h"
#include "widgets/BackupJob.h"
#include "widgets/Dialogs.h"
#include "widgets/ExportJob.h"
#include "windows/ExportRangeForm.h"
#include "windows/TaskProgressForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QWidget>

ArchiveFlow::ArchiveFlow(QWidget* window, const Skin& skin, QString programFolder, QDate shown,
                         std::function<bool()> saveShownDay, QString archiveProgram,
                         std::shared_ptr<const DiaryKey> key)
    : m_window(window), m_skin(skin), m_programFolder(std::move(programFolder)), m_shown(shown),
      m_saveShownDay(std::move(saveShownDay)), m_archiveProgram(std::move(archiveProgram)),
      m_key(std::move(key))
{
}

QString ArchiveFlow::archiveProgram()
{
    return QCoreApplication::applicationFilePath();
}

void ArchiveFlow::addToMenu(QMenu& menu, QWidget* window, const Skin& skin,
                            const QString& programFolder, const std::function<QDate()>& shown,
                            const std::function<bool()>& saveShownDay,
                            const std::function<std::shared_ptr<const DiaryKey>()>& key)
{
    const auto flow = [=, &skin] {
        return ArchiveFlow(window, skin, programFolder, shown(), saveShownDay, archiveProgram(),
                           key());
    };
    QObject::connect(menu.addAction(QStringLiteral("書き出し...")), &QAction::triggered, window,
                     [flow] { flow().exportDiary(); });
    QObject::connect(menu.addAction(QStringLiteral("バックアップ...")), &QAction::triggered, window,
                     [flow] { flow().backup(); });
}

void ArchiveFlow::exportDiary()
{
    const std::optional<QString> file = Dialogs::saveFile(
        m_window, QStringLiteral("書き出し"), QDir::home().filePath(QStringLiteral("diary.html")),
        QStringLiteral("HTML (*.html *.htm);;Markdown (*.md *.markdown);;テキスト (*.txt)"));
    if (!file)
        return;
    ExportRangeForm range(m_skin, m_shown, m_window);
    range.centreOver(m_window->geometry());
    if (Dialogs::exec(range) != 1 || !m_saveShownDay())
        return;
    ExportJob job(m_programFolder, *file, range.from(), range.to(), m_key);
    if (TaskProgressForm::run(m_skin, QStringLiteral("書き出し中..."), job, m_window))
        Dialogs::information(
            m_window, QStringLiteral("書き出し"),
            DiaryExport::summary(job.days(), QDir::toNativeSeparators(*file), job.leftOut()) +
                (m_key ? QStringLiteral("\nこのファイルは暗号化されていません。") : QString()));
}

void ArchiveFlow::backup()
{
    const std::optional<QString> file = Dialogs::saveFile(
        m_window, QStringLiteral("バックアップ"),
        QDir::home().filePath(QStringLiteral("diary-%1.zip")
                                  .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")))),
        QStringLiteral("zip (*.zip)"));
    if (!file || !m_saveShownDay())
        return;
    BackupJob job(m_archiveProgram, m_programFolder, *file);
    if (TaskProgressForm::run(m_skin, QStringLiteral("バックアップ中..."), job, m_window))
        Dialogs::information(m_window, QStringLiteral("バックアップ"), job.report());
}
