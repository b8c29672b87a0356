#pragma once

#include "widgets/SkinnedForm.h"

class DiaryJob;
class QProgressBar;
class Skin;

// How far a job has come, in the program's own small window, with a button that stops it. The
// job starts when the window opens; the window closes with result 1 when the job is done, 0
// when it failed or was stopped (error() says why; empty when stopped).
class TaskProgressForm : public SkinnedForm
{
    Q_OBJECT

public:
    TaskProgressForm(const Skin& skin, const QString& caption, DiaryJob& job,
                     QWidget* parent = nullptr);

    QLabel* Caption = nullptr;
    QProgressBar* Bar = nullptr;
    QToolButton* Stop = nullptr;

    const QString& error() const { return m_error; }

    // Runs job in this window over parent, modal; true when it is done. A failure is shown in
    // the error box, a stop is not.
    static bool run(const Skin& skin, const QString& caption, DiaryJob& job, QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and the window manager's close stop the job, as the button does.
    void reject() override;

private:
    DiaryJob& m_job;
    QString m_error;
    bool m_started = false;
};
