#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QCommandLineParser;

// What the command line asks for. It is read before the application object exists, so that
// --help and --version work without a display; Qt's own options (-platform, -style, -display
// ...) are accepted here and left for QApplication, which reads them itself.
class CommandLine
{
public:
    enum class Action
    {
        Run,
        Help,
        Version,
        // Export, backup or restore: see CommandLineTasks.
        Task,
        // The diary's record as plain text (RecordReport).
        Stats,
        Error
    };

    // arguments: the whole command line, the program's name first. A relative --diary folder is
    // taken from currentDir.
    static CommandLine parse(const QStringList& arguments, const QString& currentDir);

    Action action = Action::Run;
    // The --diary folder, absolute; empty when not given.
    QString diaryFolder;
    // True when -platform was given: the user has chosen the windowing system.
    bool platformGiven = false;
    // The help or version text, or the error message, ready to print.
    QString text;
    // The parsed command line, for a task to read its options from.
    std::shared_ptr<const QCommandLineParser> tasks;
};
