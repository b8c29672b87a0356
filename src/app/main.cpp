#include "core/Clock.h"
#include "core/CommandLineTasks.h"
#include "core/ProgramFolder.h"
#include "windows/MainForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <QTextStream>

#include <optional>

namespace {

QString diaryFolder()
{
    return ProgramFolder::resolve(
        qEnvironmentVariable("TOBIQUILL_HOME"), QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

// Export, backup and restore need no screen: they are told apart before a window system is
// asked for, and run without one. No value when the command line asks for none of them.
std::optional<int> runTask(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    CommandLineTasks::addOptions(parser);
    const QCommandLineOption diary(QStringLiteral("diary"), QStringLiteral("日記のフォルダ。"),
                                   QStringLiteral("FOLDER"));
    parser.addOption(diary);
    const bool parsed = parser.parse(arguments);
    if (!CommandLineTasks::requested(parser))
        return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tobiquill"));
    QTextStream err(stderr);
    if (!parsed) {
        err << parser.errorText() << Qt::endl;
        return 2;
    }
    return CommandLineTasks::run(parser, parser.isSet(diary) ? parser.value(diary) : diaryFolder(),
                                 err);
}

} // namespace

int main(int argc, char* argv[])
{
    if (const std::optional<int> code = runTask(argc, argv))
        return *code;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tobiquill"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tobiquill"));

    const QString folder = diaryFolder();
    QDir().mkpath(folder);

    TForm1 form(folder, Clock::system());
    if (!form.FormCreate())
        return 1;
    form.show();
    return QApplication::exec();
}
