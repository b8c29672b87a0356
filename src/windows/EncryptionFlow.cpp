#include "windows/EncryptionFlow.h"

#include "core/diary/Diary.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/KeyFile.h"
#include "core/tasks/DiaryEncryption.h"
#include "widgets/Dialogs.h"
#include "widgets/EncryptionJob.h"
#include "windows/TaskProgressForm.h"

#include <QGuiApplication>
#include <QScopeGuard>

EncryptionFlow::EncryptionFlow(QWidget* window, const Skin& skin, Diary& diary,
                               std::function<bool()> saveShownDay,
                               std::function<void(bool)> converting)
    : m_window(window), m_skin(skin), m_diary(diary), m_saveShownDay(std::move(saveShownDay)),
      m_converting(std::move(converting))
{
}

void EncryptionFlow::open(bool afterRecovery)
{
    TEncryptionForm form(m_skin, *this, afterRecovery, m_window);
    form.centreOver(m_window->geometry());
    Dialogs::exec(form);
}

void EncryptionFlow::finishStopped()
{
    bool stopped = false;
    if (Dialogs::guard(m_window, [&] { stopped = DiaryEncryption::needsFinishing(m_diary); }) &&
        stopped)
        convert();
}

bool EncryptionFlow::isEncrypted() const
{
    return m_diary.isEncrypted();
}

QString EncryptionFlow::whyRefused(const QString& passphrase) const
{
    return DiaryEncryption::whyNotPassphrase(passphrase);
}

// The key file is written before the first day is sealed: from then on the diary is encrypted,
// and the code opens it whatever the conversion meets.
std::optional<QString> EncryptionFlow::turnOn(const QString& passphrase)
{
    QString code;
    if (!m_saveShownDay() || !busy([&] { code = DiaryEncryption::turnOn(m_diary, passphrase); }))
        return std::nullopt;
    convert();
    return code;
}

bool EncryptionFlow::turnOff()
{
    return m_saveShownDay() && busy([this] { DiaryEncryption::turnOff(m_diary); }) && convert();
}

// After the recovery code the current passphrase is not known: the code stood for it.
bool EncryptionFlow::changePassphrase(const QString& current, const QString& passphrase)
{
    return busy([&] {
        if (!m_diary.unlockedByRecoveryCode() && !m_diary.keyFile()->unlock(current))
            throw DiaryError(QStringLiteral("今のパスフレーズがちがうようです。"));
        DiaryEncryption::changePassphrase(m_diary, passphrase);
    });
}

std::optional<QString> EncryptionFlow::newRecoveryCode()
{
    QString code;
    if (!busy([&] { code = DiaryEncryption::newRecoveryCode(m_diary); }))
        return std::nullopt;
    return code;
}

bool EncryptionFlow::convert()
{
    const bool off = m_diary.keyFile() && m_diary.keyFile()->turningOff();
    EncryptionJob job(m_diary);
    TaskProgressForm progress(
        m_skin, off ? QStringLiteral("復号しています...") : QStringLiteral("暗号化しています..."),
        job, m_window);
    progress.centreOver(m_window->geometry());
    m_converting(true);
    const int result = Dialogs::exec(progress);
    m_converting(false);
    if (result == 1)
        return true;
    if (!progress.error().isEmpty())
        Dialogs::error(m_window, progress.error());
    else
        Dialogs::information(m_window, QStringLiteral("暗号化"),
                             QStringLiteral("途中で止めました。日記はこのまま読めます。"
                                            "残りは次に開くときに続けます。"));
    return false;
}

// The cursor is back before an error box shows.
bool EncryptionFlow::busy(const std::function<void()>& step)
{
    return Dialogs::guard(m_window, [&] {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        step();
    });
}
