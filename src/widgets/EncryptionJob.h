#pragma once

#include "core/storage/TaskProgress.h"
#include "widgets/DiaryJob.h"

#include <thread>

class Diary;

// An encrypted diary's days and titles converted to the form it is turning to (sealed, or plain
// when encryption is being turned off), on a thread of its own. The window leaves the diary alone
// until finished(). A stop or a failure leaves every day readable: what was converted stays so,
// and the next start goes on from there.
class EncryptionJob : public DiaryJob
{
    Q_OBJECT

public:
    // agreed: the owner said yes to a pending turn-off or to sealing plain days
    // (DiaryEncryption::finish()).
    explicit EncryptionJob(Diary& diary, bool agreed = false, QObject* parent = nullptr);
    // Stops the work and waits for the thread.
    ~EncryptionJob() override;

    void start() override;
    void cancel() override;

private:
    Diary& m_diary;
    bool m_agreed;
    TaskProgress m_progress;
    std::thread m_thread;
};
