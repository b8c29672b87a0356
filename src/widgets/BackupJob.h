#pragma once

#include "widgets/DiaryJob.h"

#include <QProcess>

// The diary backed up to a zip file by the archive program, run as a process of its own with
// --progress; cancel() ends it with SIGTERM, on which it removes its temporary file.
class BackupJob : public DiaryJob
{
    Q_OBJECT

public:
    BackupJob(QString program, QString programFolder, QString zip, QObject* parent = nullptr);
    // Ends a process still running, and waits for it.
    ~BackupJob() override;

    void start() override;
    void cancel() override;

    // What the archive program said when it finished: the file it wrote, and what it left out.
    const QString& report() const { return m_report; }

private:
    void readProgress();
    void done(int exitCode, QProcess::ExitStatus status);

    QString m_program;
    QString m_programFolder;
    QString m_zip;
    QProcess m_process;
    QString m_report;
    bool m_cancelled = false;
};
