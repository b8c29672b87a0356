#include "widgets/EncryptionJob.h"

#include "core/storage/DiaryError.h"
#include "core/tasks/DiaryEncryption.h"

EncryptionJob::EncryptionJob(Diary& diary, bool agreed, QObject* parent)
    : DiaryJob(parent), m_diary(diary), m_agreed(agreed),
      m_progress([this](qint64 done, qint64 total) {
          // Emitted on the job's thread: the window receives it queued.
          emit progressed(done, total);
      })
{
}

EncryptionJob::~EncryptionJob()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void EncryptionJob::start()
{
    m_thread = std::thread([this] {
        QString error;
        try {
            DiaryEncryption::finish(m_diary, m_progress, m_agreed);
        } catch (const DiaryError& e) {
            error = e.message();
        } catch (const std::exception& e) {
            error = QString::fromLocal8Bit(e.what());
        }
        emit finished(error, m_progress.cancelled() && !error.isEmpty());
    });
}

void EncryptionJob::cancel()
{
    m_progress.cancel();
}
