#pragma once

#include <functional>

class Diary;
class QWidget;
class Skin;
struct Settings;

// The gate at start-up, after the skin (whose picture and colours the prompt shows) and before
// anything of the diary is read or written. An encrypted diary asks for its passphrase, or its
// recovery code, whatever the settings say; a plain one asks for the settings' password when
// one is set. The process is made ProcessGuard-safe before any prompt shows: the window may hold
// a passphrase from then on, this one or one typed in the encryption window.
//
// A diary whose key file is gone (Diary::keyMissing()) asks for nothing: no passphrase opens it.
// It opens read-only, each day locked with the message that says why.
class UnlockFlow
{
public:
    // afterRecovery runs when the diary was opened with its recovery code (a new passphrase is
    // asked there); unlocked runs once an encrypted diary is open, to finish a conversion that
    // stopped.
    UnlockFlow(QWidget* window, const Skin& skin, Diary& diary, const Settings& settings,
               std::function<void()> afterRecovery, std::function<void()> unlocked);

    // False when the prompt was cancelled: the program then ends with nothing written.
    bool run();

private:
    QWidget* m_window;
    const Skin& m_skin;
    Diary& m_diary;
    const Settings& m_settings;
    std::function<void()> m_afterRecovery;
    std::function<void()> m_unlocked;
};
