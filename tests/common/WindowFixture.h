#pragma once

#include "RecoveryPlaces.h"
#include "TestClock.h"
#include "core/storage/SafeFile.h"
#include "widgets/Dialogs.h"
#include "windows/MainForm.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// Runs open(), which is to show a modal window of type Window; the window is shown, the steps
// run in it, and its result is returned (-1 when no such window was shown).
template <typename Window>
int runModal(const std::function<void()>& open, const std::function<void(Window&)>& steps)
{
    int result = -1;
    Dialogs::seams().exec = [&](QDialog& dialog) {
        auto& window = dynamic_cast<Window&>(dialog);
        window.show();
        steps(window);
        result = window.result();
        window.hide();
        return result;
    };
    open();
    Dialogs::seams().exec = [](QDialog&) { return 0; };
    return result;
}

// A program folder of its own, a clock the test sets, and the message boxes answered at once
// and recorded.
class WindowFixture
{
public:
    WindowFixture()
    {
        Dialogs::resetSeams();
        Dialogs::seams().error = [this](const QString& text) { messages << text; };
        // A modal window that a test does not answer closes at once without OK.
        Dialogs::seams().exec = [](QDialog&) { return 0; };
        Dialogs::seams().information = [this](const QString& caption, const QString& text) {
            informations << caption + QLatin1Char('|') + text;
        };
        Dialogs::seams().question = [this](const QString& text) {
            questions << text;
            return leave;
        };
        // Recovery files land in the per-user data folder: here, one of the test's own.
        qputenv("XDG_DATA_HOME", path("user-data").toLocal8Bit());
    }
    ~WindowFixture()
    {
        Dialogs::resetSeams();
        SafeFile::faultHook() = {};
    }

    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
    QString entryPath(const QString& key) const { return path("data/" + key); }
    QByteArray read(const QString& name) const { return SafeFile::read(path(name)); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QDir(folder.path()).mkpath(QFileInfo(path(name)).path());
        SafeFile::write(path(name), bytes);
    }

    // Builds the main window and runs its start-up.
    std::unique_ptr<TForm1> start()
    {
        auto form = std::make_unique<TForm1>(folder.path(), clock);
        form->FormCreate();
        return form;
    }

    QTemporaryDir folder;
    // The recovery folders after the per-user one: outside the diary's folder, which a test may
    // make immutable.
    QTemporaryDir elsewhere;
    RecoveryPlaces recoveryPlaces{elsewhere.path()};
    TestClock clock;
    QStringList messages;
    // "caption|text" of each information box.
    QStringList informations;
    QStringList questions;
    // The answer to "leave without saving?".
    bool leave = false;
};
