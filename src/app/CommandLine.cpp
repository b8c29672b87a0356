#include "app/CommandLine.h"

#include "core/tasks/TaskOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace {

// The options QGuiApplication and QApplication take for themselves. Hidden from the help: they
// are Qt's, not the diary's.
const char* const qtValueOptions[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "display",         "geometry",           "style",         "stylesheet"};
const char* const qtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QCommandLineOption hidden(QCommandLineOption option)
{
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments, const QString& currentDir)
{
    // The usual start has no options, and then nothing needs parsing.
    if (arguments.size() <= 1)
        return {};
    auto shared = std::make_shared<QCommandLineParser>();
    QCommandLineParser& parser = *shared;
    // Qt's options are single-dash words (-platform xcb); read them as words, not as letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "A diary that shows one day at a time."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption diary(
        QStringLiteral("diary"),
        QCoreApplication::translate("CommandLine",
                                    "Keep the diary in <folder> (as TOBIQUILL_HOME does)."),
        QCoreApplication::translate("CommandLine", "folder"));
    parser.addOption(diary);
    const QCommandLineOption stats(
        QStringLiteral("stats"),
        QCoreApplication::translate(
            "CommandLine", "Print the diary's record (days, characters, streaks, per year)."));
    parser.addOption(stats);
    TaskOptions::add(parser);
    for (const char* name : qtValueOptions)
        parser.addOption(
            hidden(QCommandLineOption(QString::fromLatin1(name), {}, QStringLiteral("value"))));
    for (const char* name : qtFlagOptions)
        parser.addOption(hidden(QCommandLineOption(QString::fromLatin1(name))));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = Action::Error;
        result.text = parser.errorText();
    } else if (parser.isSet(TaskOptions::Import) &&
               !TaskOptions::argumentsError(parser).isEmpty()) {
        result.action = Action::Error;
        result.text = TaskOptions::argumentsError(parser);
    } else if (!parser.isSet(TaskOptions::Import) && !parser.positionalArguments().isEmpty()) {
        result.action = Action::Error;
        result.text = QCoreApplication::translate("CommandLine", "Unexpected argument '%1'.")
                          .arg(parser.positionalArguments().constFirst());
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = Action::Help;
        // Without an application object the parser cannot know the program's name.
        result.text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                QCoreApplication::applicationName());
    } else if (parser.isSet(version)) {
        result.action = Action::Version;
        result.text = QCoreApplication::applicationName() + QLatin1Char(' ') +
                      QCoreApplication::applicationVersion() + QLatin1Char('\n');
    } else if (parser.isSet(diary) && parser.value(diary).isEmpty()) {
        result.action = Action::Error;
        result.text = QCoreApplication::translate("CommandLine", "--diary needs a folder.");
    } else if (parser.isSet(stats)) {
        result.action = TaskOptions::requested(parser) ? Action::Error : Action::Stats;
        if (TaskOptions::requested(parser))
            result.text = QCoreApplication::translate(
                "CommandLine", "--stats does not go with --export, --backup or --restore.");
    } else if (TaskOptions::requested(parser)) {
        result.action = Action::Task;
        result.tasks = shared;
    }
    if (parser.isSet(diary) && !parser.value(diary).isEmpty())
        result.diaryFolder =
            QDir::cleanPath(QDir(currentDir).absoluteFilePath(parser.value(diary)));
    result.platformGiven = parser.isSet(QStringLiteral("platform"));
    return result;
}
