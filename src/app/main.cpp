#include "core/Clock.h"
#include "core/CommandLine.h"
#include "core/CommandLineTasks.h"
#include "core/DisplayEnvironment.h"
#include "core/ProgramFolder.h"
#include "core/SafeFile.h"
#include "widgets/HeldKeyFilter.h"
#include "widgets/QtTranslations.h"
#include "widgets/SessionEnd.h"
#include "widgets/SingleWindow.h"
#include "windows/MainForm.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTextStream>

#include <unistd.h>

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

// Export, backup and restore need no screen and open no window.
int runTask(int argc, char* argv[], const CommandLine& commandLine)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    return CommandLineTasks::run(*commandLine.tasks, diaryFolder(commandLine), err,
                                 ::isatty(STDERR_FILENO) == 1);
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
    if (commandLine.action != CommandLine::Action::Run)
        return report(commandLine);

    DisplayEnvironment::apply(commandLine.platformGiven);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TOBIQUILL_APP_ID));
    const QtTranslations translations(QLocale::system());
    const HeldKeyFilter heldKeys;

    const QString folder = diaryFolder(commandLine);
    SafeFile::makeFolder(folder);

    TForm1 form(folder, Clock::system());
    if (!form.FormCreate()) {
        // The password prompt cancelled is the user's choice; a diary open in another copy
        // brings that copy's window forward, and this start was no failure either.
        if (!form.startupFailed())
            return 0;
        return SingleWindow::bringForward(folder) ? 0 : 1;
    }
    const SingleWindow single(folder, &form);
    const SessionEnd sessionEnd(
        &form, [&form] { return !form.diary() || form.FormClose(); },
        [&form] { return form.quit(); });
    form.show();
    return QApplication::exec();
}
