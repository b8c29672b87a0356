#pragma once

#include "core/storage/TaskProgress.h"
#include "core/tasks/DiaryExport.h"
#include "widgets/DiaryJob.h"

#include <QDate>

#include <atomic>
#include <memory>
#include <thread>

class DiaryKey;

// The diary's days from..to exported to a file, on a thread of its own; the format follows the
// file's extension. key: the diary's, when it is encrypted.
class ExportJob : public DiaryJob
{
    Q_OBJECT

public:
    ExportJob(QString programFolder, QString file, QDate from, QDate to,
              std::shared_ptr<const DiaryKey> key = {}, QObject* parent = nullptr);
    // Stops the work and waits for the thread.
    ~ExportJob() override;

    void start() override;
    void cancel() override;

    // The days written, once finished without error.
    int days() const { return m_days; }
    // The date lines of the days left out (DiaryExport::Result), once finished without error.
    QStringList leftOut() const { return m_leftOut; }

private:
    void run();

    QString m_programFolder;
    QString m_file;
    QDate m_from;
    QDate m_to;
    std::shared_ptr<const DiaryKey> m_key;
    TaskProgress m_progress;
    std::atomic<int> m_days{0};
    // Set on the job's thread before it says it finished, read after.
    QStringList m_leftOut;
    std::thread m_thread;
};
