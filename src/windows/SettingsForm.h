#pragma once

#include "core/diary/Settings.h"
#include "widgets/SkinnedForm.h"

#include <functional>

class QCheckBox;
class QLineEdit;
class Skin;

// The settings window: the user's name, the password and whether start-up asks for it, and the
// two skin bitmaps. It edits a copy of the settings; OK confirms them (result 1), any other way
// of closing takes nothing back. An encrypted diary stores no password: in its place the window
// says the diary is encrypted, with a button that opens the encryption window.
class TForm4 : public SkinnedForm
{
    Q_OBJECT

public:
    // openEncryption is given for an encrypted diary: it opens the encryption window and answers
    // whether the diary is still encrypted afterwards.
    TForm4(const Skin& skin, const Settings& current, std::function<bool()> openEncryption = {},
           QWidget* parent = nullptr);

    // The edited settings, taken from the controls by OK.
    const Settings& values() const { return m_values; }

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QCheckBox* CB1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Labelsc = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Labelbu = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QLabel* Encrypted = nullptr;
    QToolButton* Encryption = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void Label4Click();
    static void setPath(QLabel* label, const QString& path);
    void showEncrypted(bool encrypted);

    Settings m_values;
    std::function<bool()> m_openEncryption;
};
