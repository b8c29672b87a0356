#pragma once

#include "core/tasks/ImportedEntries.h"
#include "widgets/DiaryJob.h"

#include <QProcess>

// Another diary's export read by the archive program (its format told from the export), run as
// a process of its own: the window never loads the libraries that read exports. The entries come
// back over a pipe, never through a file. cancel() ends the process.
class ImportReadJob : public DiaryJob
{
    Q_OBJECT

public:
    ImportReadJob(QString program, QString programFolder, QString source,
                  QObject* parent = nullptr);
    // Ends a process still running, and waits for it.
    ~ImportReadJob() override;

    void start() override;
    void cancel() override;

    // What the export held, once finished without error.
    const ImportedEntries& entries() const { return m_entries; }

private:
    void readLines();
    void done(int exitCode, QProcess::ExitStatus status);

    QString m_program;
    QString m_programFolder;
    QString m_source;
    QProcess m_process;
    ImportedEntries m_entries;
    bool m_cancelled = false;
};
