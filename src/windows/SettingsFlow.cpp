#include "windows/SettingsFlow.h"

#include "core/diary/Diary.h"
#include "core/diary/Settings.h"
#include "widgets/Dialogs.h"
#include "windows/SettingsForm.h"

#include <QPlainTextEdit>

SettingsFlow::SettingsFlow(QWidget* window, const Skin& skin, Settings& settings,
                           const Diary& diary, std::function<bool()> openEncryption)
    : m_window(window), m_skin(skin), m_settings(settings), m_diary(diary),
      m_openEncryption(std::move(openEncryption))
{
}

// An encrypted diary keeps no reversible password: the one edited is not taken.
void SettingsFlow::openSettings()
{
    TForm4 Form4(m_skin, m_settings,
                 m_diary.isEncrypted() ? m_openEncryption : std::function<bool()>(), m_window);
    if (Dialogs::exec(Form4) != 1)
        return;
    const Settings& edited = Form4.values();
    m_settings.userName = edited.userName;
    if (!m_diary.isEncrypted()) {
        m_settings.password = edited.password;
        m_settings.usePassword = edited.usePassword;
    }
    m_settings.schemePath = edited.schemePath;
    m_settings.buttonPath = edited.buttonPath;
}

void SettingsFlow::chooseFont(QWidget* window, QPlainTextEdit& body)
{
    const std::optional<QFont> chosen = Dialogs::chooseFont(window, body.font());
    const QString why = chosen ? Settings::whyNotStorableFontName(chosen->family()) : QString();
    if (!why.isEmpty()) {
        Dialogs::error(window, why);
    } else if (chosen) {
        QFont font = *chosen;
        font.setUnderline(false);
        font.setStrikeOut(false);
        body.setFont(font);
    }
    body.setEnabled(false);
    body.setEnabled(true);
}
