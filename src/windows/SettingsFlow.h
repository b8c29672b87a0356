#pragma once

#include <functional>

class Diary;
class QPlainTextEdit;
class QWidget;
struct Settings;
class Skin;

// The settings window and the font dialog from the window's menu. What they change lives in the
// window's settings and its body until close writes them; a new skin shows at the next start.
class SettingsFlow
{
public:
    // openEncryption opens the encryption window and answers whether the diary is encrypted
    // afterwards; the settings window offers it for an encrypted diary.
    SettingsFlow(QWidget* window, const Skin& skin, Settings& settings, const Diary& diary,
                 std::function<bool()> openEncryption);

    void openSettings();
    // Only the font's name and size can be kept: the dialog offers no effects, and a name the
    // settings file cannot hold is refused.
    static void chooseFont(QWidget* window, QPlainTextEdit& body);

private:
    QWidget* m_window;
    const Skin& m_skin;
    Settings& m_settings;
    const Diary& m_diary;
    std::function<bool()> m_openEncryption;
};
