#include "app/CommandLine.h"
#include "app/DisplayEnvironment.h"
#include "app/ProgramFolder.h"
#include "app/QtTranslations.h"
#include "app/RecordReport.h"
#include "app/SessionEnd.h"
#include "app/SingleWindow.h"
#include "core/storage/SafeFile.h"
#include "core/tasks/PassphrasePrompt.h"
#include "core/tasks/TaskOptions.h"
#include "core/time/Clock.h"
#include "widgets/AccessibleNames.h"
#include "widgets/HeldKeyFilter.h"
#include "windows/MainForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Help and version go to standard output and end the program well; an error goes to standard
// error with a hint and ends it with code 1, as Qt's own parser does.
int report(const CommandLine& commandLine)
{
    if (commandLine.action == CommandLine::Action::Error) {
        QTextStream(stderr) << "tobiquill: " << commandLine.text << '\n'
                            << "Try 'tobiquill --help'.\n";
        return 1;
    }
    QTextStream(stdout) << commandLine.text;
    return 0;
}

// The --diary folder, else TOBIQUILL_HOME, else beside the program or the user's data folder.
QString diaryFolder(const CommandLine& commandLine)
{
    const QString home = commandLine.diaryFolder.isEmpty() ? qEnvironmentVariable("TOBIQUILL_HOME")
                                                           : commandLine.diaryFolder;
    return ProgramFolder::resolve(
        home, QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

// The program that runs the tasks: beside this one in a build folder, else in the package's
// folder of helper programs.
QString taskProgram()
{
    const QDir here(QCoreApplication::applicationDirPath());
    const QString beside = here.filePath(QStringLiteral("tobiquill-archive"));
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(
        here.filePath(QStringLiteral(TOBIQUILL_HELPER_DIR "/tobiquill-archive")));
}

// Export, backup and restore need no screen and open no window. They run in tobiquill-archive,
// which takes this process's place: the terminal and the exit code are the task's own.
int runTask(int argc, char* argv[], const CommandLine& commandLine)
{
    QCoreApplication app(argc, argv);
    const QString program = taskProgram();
    QList<QByteArray> arguments{QFile::encodeName(program)};
    for (const QString& argument :
         QStringList{QStringLiteral("--diary"), diaryFolder(commandLine)} +
             TaskOptions::given(*commandLine.tasks))
        arguments << QFile::encodeName(argument);
    std::vector<char*> argvOut;
    for (QByteArray& argument : arguments)
        argvOut.push_back(argument.data());
    argvOut.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(argvOut.front(), argvOut.data());
    QTextStream(stderr) << QStringLiteral("tobiquill: %1 を起動できません: %2\n")
                               .arg(program, QString::fromLocal8Bit(std::strerror(errno)));
    return 1;
}

// The record is counted and printed before anything of a window is made: no display, no lock,
// and the window's start-up stays as it was.
int printRecord(int argc, char* argv[], const CommandLine& commandLine)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    PassphrasePrompt passphrases(STDIN_FILENO);
    return RecordReport::print(diaryFolder(commandLine), Clock::system(), out, err, &passphrases);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("tobiquill"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TOBIQUILL_VERSION));
    const CommandLine commandLine =
        CommandLine::parse(argumentsOf(argc, argv), QDir::currentPath());
    if (commandLine.action == CommandLine::Action::Task)
        return runTask(argc, argv, commandLine);
    if (commandLine.action == CommandLine::Action::Stats)
        return printRecord(argc, argv, commandLine);
    if (commandLine.action != CommandLine::Action::Run)
        return report(commandLine);

    DisplayEnvironment::apply(commandLine.platformGiven);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TOBIQUILL_APP_ID));

    const QString folder = diaryFolder(commandLine);
    // A diary open in another copy: that copy's window (or its password prompt) comes forward,
    // and this start ends quietly, its work done.
    if (SingleWindow::bringForward(folder))
        return 0;
    const QtTranslations translations(QLocale::system());
    const HeldKeyFilter heldKeys;
    // Before the first window is made: a screen reader may already be asking.
    AccessibleNames::installInterfaces();
    SafeFile::makeFolder(folder);

    TForm1 form(folder, Clock::system());
    SingleWindow single(folder, &form);
    QObject::connect(&form, &TForm1::diaryOpened, &single, &SingleWindow::listen);
    if (!form.FormCreate()) {
        // The password prompt cancelled is the user's choice. A copy that took the diary while
        // this one started has said so in the box; its window comes forward all the same.
        if (!form.startupFailed())
            return 0;
        return SingleWindow::bringForward(folder) ? 0 : 1;
    }
    const SessionEnd sessionEnd(
        &form, [&form] { return !form.diary() || form.FormClose(); },
        [&form] { return form.quit(); });
    form.show();
    return QApplication::exec();
}
