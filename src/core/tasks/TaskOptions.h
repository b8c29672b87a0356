#pragma once

#include <QStringList>

class QCommandLineParser;

// The options of the command-line tasks (export, backup, restore, deleting a day, encryption; see
// CommandLineTasks). The
// program's own command line offers them; the tasks run in the small program tobiquill-archive,
// which the program hands them to, so that the window process never loads what they need.
class TaskOptions
{
public:
    // The options' names.
    static const QString Export;
    static const QString Backup;
    static const QString Restore;
    static const QString From;
    static const QString To;
    static const QString Format;
    // No value: an export or a backup replaces a file that is at its target.
    static const QString Force;
    // No value: "progress DONE TOTAL" lines on standard output, for a program running the task.
    static const QString Progress;
    static const QString DeleteDay;
    // No value: delete without asking.
    static const QString Yes;
    // No value: encryption on, off, a new passphrase.
    static const QString Encrypt;
    static const QString ReadRecovery;
    static const QString Decrypt;
    static const QString ChangePassphrase;
    // Its value is the export's format; the export itself is the one argument after the options.
    static const QString Import;
    // No value: an import says what it would do and writes nothing.
    static const QString DryRun;
    // No value: an import prints the entries it read, one JSON object a line, and leaves the
    // diary alone: the window imports them itself.
    static const QString ReadEntries;

    static void add(QCommandLineParser& parser);
    // Whether the command line asks for a task; then no window is opened.
    static bool requested(const QCommandLineParser& parser);
    // The task options given, each as "--name" and its value, to hand on to tobiquill-archive.
    static QStringList given(const QCommandLineParser& parser);
    // Why the arguments that are no option are wrong: only an import takes one, its export. Empty
    // when they are right.
    static QString argumentsError(const QCommandLineParser& parser);
};
