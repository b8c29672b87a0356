#include "widgets/ImportReadJob.h"

#include <QJsonDocument>
#include <QJsonObject>

ImportReadJob::ImportReadJob(QString program, QString programFolder, QString source,
                             QObject* parent)
    : DiaryJob(parent), m_program(std::move(program)), m_programFolder(std::move(programFolder)),
      m_source(std::move(source))
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ImportReadJob::readLines);
    connect(&m_process, &QProcess::finished, this, &ImportReadJob::done);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit finished(
                QStringLiteral("%1 を起動できません: %2").arg(m_program, m_process.errorString()),
                false);
    });
}

ImportReadJob::~ImportReadJob()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.disconnect(this);
    m_process.terminate();
    m_process.waitForFinished();
}

void ImportReadJob::start()
{
    // After "--": an export's name may begin with "-".
    m_process.start(m_program, {QStringLiteral("--import"), QStringLiteral("auto"),
                                QStringLiteral("--read-entries"), QStringLiteral("--diary"),
                                m_programFolder, QStringLiteral("--"), m_source});
}

void ImportReadJob::cancel()
{
    m_cancelled = true;
    m_process.terminate();
}

// Lines "entry {…}" and "left-out REASON".
void ImportReadJob::readLines()
{
    while (m_process.canReadLine()) {
        const QByteArray line = m_process.readLine().chopped(1);
        if (line.startsWith("entry "))
            m_entries.entries << ImportedEntry::fromJson(
                QJsonDocument::fromJson(line.mid(6)).object());
        else if (line.startsWith("left-out "))
            m_entries.leftOut << QString::fromUtf8(line.mid(9));
    }
}

void ImportReadJob::done(int exitCode, QProcess::ExitStatus status)
{
    readLines();
    const QString report = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
    if (status == QProcess::NormalExit && exitCode == 0)
        emit finished({}, false);
    else
        emit finished(report.isEmpty() ? QStringLiteral("書き出しを読めませんでした。") : report,
                      m_cancelled);
}
