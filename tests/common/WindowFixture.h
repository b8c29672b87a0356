#pragma once

#include "TestClock.h"
#include "core/SafeFile.h"
#include "widgets/MessageBox.h"
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
        MessageBox::setHandler([this](const QString& text) { messages << text; });
    }
    ~WindowFixture() { MessageBox::setHandler({}); }

    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
    QString entryPath(const QString& key) const { return path("data/" + key); }
    QByteArray read(const QString& name) const { return SafeFile::read(path(name)); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QDir(folder.path()).mkpath(QFileInfo(path(name)).path());
        SafeFile::write(path(name), bytes);
    }

    std::unique_ptr<TForm1> start() { return std::make_unique<TForm1>(folder.path(), clock); }

    QTemporaryDir folder;
    TestClock clock;
    QStringList messages;
};
