#include "windows/UnlockFlow.h"

#include "core/diary/Diary.h"
#include "core/diary/Settings.h"
#include "core/storage/ProcessGuard.h"
#include "widgets/Dialogs.h"
#include "windows/PasswordForm.h"

UnlockFlow::UnlockFlow(QWidget* window, const Skin& skin, Diary& diary, const Settings& settings,
                       std::function<void()> afterRecovery, std::function<void()> unlocked)
    : m_window(window), m_skin(skin), m_diary(diary), m_settings(settings),
      m_afterRecovery(std::move(afterRecovery)), m_unlocked(std::move(unlocked))
{
}

bool UnlockFlow::run()
{
    ProcessGuard::harden();
    if (m_diary.keyMissing())
        return true;
    if (m_diary.isEncrypted()) {
        TForm5 Form5(
            m_skin, [this](const QString& typed) { return m_diary.unlock(typed); }, m_window);
        if (Dialogs::exec(Form5) != 1)
            return false;
        if (m_diary.unlockedByRecoveryCode())
            m_afterRecovery();
        m_unlocked();
        return true;
    }
    if (!m_settings.usePassword)
        return true;
    TForm5 Form5(m_skin, m_settings.password, m_window);
    return Dialogs::exec(Form5) == 1;
}
