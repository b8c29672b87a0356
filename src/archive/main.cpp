// tobiquill-archive: export, backup, restore and deleting a day, the tasks of tobiquill's command
// line. tobiquill hands them here with the diary's folder already found (--diary), so that the
// window process never loads the archive library and what it pulls in. Messages and exit codes
// are the tasks' own: 0 done, 1 failed with nothing changed, 2 the command line was wrong.

#include "archive/CommandLineTasks.h"
#include "core/tasks/PassphrasePrompt.h"
#include "core/tasks/TaskOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption diary(QStringLiteral("diary"), QStringLiteral("The diary's folder."),
                                   QStringLiteral("folder"));
    parser.addOption(diary);
    TaskOptions::add(parser);
    QTextStream err(stderr);
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (!parsed || !TaskOptions::argumentsError(parser).isEmpty() ||
        parser.value(diary).isEmpty()) {
        err << "tobiquill-archive: "
            << (!parsed ? parser.errorText()
                : !TaskOptions::argumentsError(parser).isEmpty()
                    ? TaskOptions::argumentsError(parser)
                    : QStringLiteral("--diary FOLDER is needed."))
            << "\nThis program runs the tasks of 'tobiquill --help'.\n";
        return 2;
    }
    QTextStream in(stdin);
    PassphrasePrompt passphrases(STDIN_FILENO);
    return CommandLineTasks::run(parser, parser.value(diary), err, ::isatty(STDERR_FILENO) == 1,
                                 ::isatty(STDIN_FILENO) == 1 ? &in : nullptr, &passphrases);
}
