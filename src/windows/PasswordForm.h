#pragma once

#include "widgets/SkinnedForm.h"

#include <functional>

class QLineEdit;
class Skin;

// The prompt shown before the main window at start-up: the settings' password, or the passphrase
// (or the recovery code) of an encrypted diary. OK with what opens the diary ends it with result
// 1; Cancel, or a close by the window manager, with another result, and the program then ends
// with nothing written. Enter in the field presses OK and Escape presses Cancel, each once per
// keystroke: a held key's repeats press nothing. There is no limit to the tries.
class TForm5 : public SkinnedForm
{
    Q_OBJECT

public:
    // Whether the typed text opens the diary. It may take its time (a key derivation): it runs
    // off the window's thread, with a busy cursor, while the window keeps painting and takes no
    // input. It may throw; the error box then says why.
    using Check = std::function<bool(const QString& typed)>;

    // The settings' password, compared exactly: same length, same characters, letter case
    // included, nothing trimmed.
    TForm5(const Skin& skin, QString password, QWidget* parent = nullptr);
    // An encrypted diary: a passphrase of any length, or the recovery code in the same field.
    TForm5(const Skin& skin, Check check, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton3 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;
    // Nothing ends the prompt while a check runs.
    void reject() override;

private:
    TForm5(const Skin& skin, Check check, bool passphrase, QWidget* parent);
    void SpeedButton3Click();
    bool opens(const QString& typed);

    Check m_check;
    bool m_passphrase;
    bool m_checking = false;
};
