#pragma once

#include "TestClock.h"
#include "core/SafeFile.h"
#include "widgets/Dialogs.h"
#include "windows/MainForm.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A program folder of its own, a clock the test sets, and the message boxes answered at once
// and recorded.
class WindowFixture
{
public:
    WindowFixture()
    {
        Dialogs::resetSeams();
        Dialogs::seams().error = [this](const QString& text) { messages << text; };
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
    TestClock clock;
    QStringList messages;
    QStringList questions;
    // The answer to "leave without saving?".
    bool leave = false;
};
