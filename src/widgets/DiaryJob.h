#pragma once

#include <QObject>
#include <QString>

// A long task on the diary (an export, a backup) that runs off the GUI thread and tells the
// window how far it has come. It writes its file beside the target and renames it into place at
// the end, so a job that fails or is cancelled leaves nothing behind.
class DiaryJob : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start() = 0;
    // Asks the job to stop; finished() follows once it has removed what it wrote.
    virtual void cancel() = 0;

signals:
    void progressed(qint64 done, qint64 total);
    // error is empty when the job is done, its message when it failed; cancelled when it was
    // stopped.
    void finished(const QString& error, bool cancelled);
};
