#include "widgets/BackupJob.h"

BackupJob::BackupJob(QString program, QString programFolder, QString zip, QObject* parent)
    : DiaryJob(parent), m_program(std::move(program)), m_programFolder(std::move(programFolder)),
      m_zip(std::move(zip))
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &BackupJob::readProgress);
    connect(&m_process, &QProcess::finished, this, &BackupJob::done);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit finished(
                QStringLiteral("%1 を起動できません: %2").arg(m_program, m_process.errorString()),
                false);
    });
}

BackupJob::~BackupJob()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.disconnect(this);
    m_process.terminate();
    m_process.waitForFinished();
}

void BackupJob::start()
{
    // The file dialog has asked before a file is replaced.
    m_process.start(m_program,
                    {QStringLiteral("--backup"), m_zip, QStringLiteral("--force"),
                     QStringLiteral("--progress"), QStringLiteral("--diary"), m_programFolder});
}

void BackupJob::cancel()
{
    m_cancelled = true;
    m_process.terminate();
}

// Lines "progress DONE TOTAL".
void BackupJob::readProgress()
{
    while (m_process.canReadLine()) {
        const QList<QByteArray> words = m_process.readLine().trimmed().split(' ');
        if (words.size() == 3 && words[0] == "progress")
            emit progressed(words[1].toLongLong(), words[2].toLongLong());
    }
}

void BackupJob::done(int exitCode, QProcess::ExitStatus status)
{
    m_report = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
    if (status == QProcess::NormalExit && exitCode == 0)
        emit finished({}, false);
    else
        emit finished(m_report.isEmpty() ? QStringLiteral("バックアップを作れませんでした。")
                                         : m_report,
                      m_cancelled);
}
