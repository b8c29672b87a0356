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
    using Pending = DiaryEncryption::Pending;
    Pending pending = Pending::Nothing;
    QStringList plain;
    if (!Dialogs::guard(m_window, [&] {
            pending = DiaryEncryption::pending(m_diary);
            if (pending == Pending::PlainContent)
                plain = DiaryEncryption::plainDays(m_diary);
        }))
        return;
    switch (pending) {
    case Pending::Nothing:
        return;
    case Pending::TurningOn:
    case Pending::Rekeying:
        convert(false);
        return;
    case Pending::TurningOff:
        if (Dialogs::question(
                m_window, QStringLiteral("この日記は暗号化を解く途中です。ほかのコンピューターで"
                                         "解き始めたのかもしれません。暗号化を解いて、"
                                         "すべての日を暗号化しないで保存しますか?")))
            convert(true);
        return;
    case Pending::PlainContent:
        // Shown meanwhile with this notice: a no leaves them as they are until asked again.
        if (Dialogs::question(m_window, DiaryEncryption::plainNotice(plain) +
                                            QStringLiteral("\nこれらの日も暗号化しますか?")))
            convert(true);
        return;
    }
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
    convert(false);
    return code;
}

bool EncryptionFlow::turnOff()
{
    return m_saveShownDay() && busy([this] { DiaryEncryption::turnOff(m_diary); }) && convert(true);
}

// After the recovery code the current passphrase is not known: the code stood for it.
bool EncryptionFlow::changePassphrase(const QString& current, const QString& passphrase)
{
    return busy([&] {
        checkCurrent(current);
        DiaryEncryption::changePassphrase(m_diary, passphrase);
    });
}

// A new key for every day: the days are sealed again in the progress window, the new code shown
// once by the encryption window.
std::optional<QString> EncryptionFlow::rekey(const QString& current, const QString& passphrase)
{
    QString code;
    if (!m_saveShownDay() || !busy([&] {
            checkCurrent(current);
            code = DiaryEncryption::rekey(m_diary, passphrase);
        }))
        return std::nullopt;
    convert(false);
    return code;
}

void EncryptionFlow::checkCurrent(const QString& current) const
{
    if (!m_diary.unlockedByRecoveryCode() && !m_diary.keyFile()->unlock(current))
        throw DiaryError(QStringLiteral("今のパスフレーズがちがうようです。"));
}

std::optional<QString> EncryptionFlow::newRecoveryCode()
{
    QString code;
    if (!busy([&] { code = DiaryEncryption::newRecoveryCode(m_diary); }))
        return std::nullopt;
    return code;
}

bool EncryptionFlow::convert(bool agreed)
{
    const bool off = m_diary.keyFile() && m_diary.keyFile()->turningOff();
    EncryptionJob job(m_diary, agreed);
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
