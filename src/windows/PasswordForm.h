#pragma once

#include "widgets/SkinnedForm.h"

class QLineEdit;
class Skin;

// The password prompt shown before the main window at start-up. OK with the right password
// ends it with result 1; Cancel, or a close by the window manager, with another result, and the
// program then ends with nothing written. Enter in the password field presses OK and Escape
// presses Cancel, each once per keystroke: a held key's repeats press nothing.
class TForm5 : public SkinnedForm
{
    Q_OBJECT

public:
    TForm5(const Skin& skin, QString password, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton3 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SpeedButton3Click();

    QString m_password;
};
