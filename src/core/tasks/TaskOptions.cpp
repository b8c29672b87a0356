#include "core/tasks/TaskOptions.h"

#include <QCommandLineParser>

const QString TaskOptions::Export = QStringLiteral("export");
const QString TaskOptions::Backup = QStringLiteral("backup");
const QString TaskOptions::Restore = QStringLiteral("restore");
const QString TaskOptions::From = QStringLiteral("from");
const QString TaskOptions::To = QStringLiteral("to");
const QString TaskOptions::Format = QStringLiteral("format");
const QString TaskOptions::Force = QStringLiteral("force");
const QString TaskOptions::Progress = QStringLiteral("progress");
const QString TaskOptions::DeleteDay = QStringLiteral("delete-day");
const QString TaskOptions::Yes = QStringLiteral("yes");
const QString TaskOptions::Encrypt = QStringLiteral("encrypt");
const QString TaskOptions::ReadRecovery = QStringLiteral("read-recovery");
const QString TaskOptions::Decrypt = QStringLiteral("decrypt");
const QString TaskOptions::ChangePassphrase = QStringLiteral("change-passphrase");
const QString TaskOptions::Import = QStringLiteral("import");
const QString TaskOptions::DryRun = QStringLiteral("dry-run");
const QString TaskOptions::ReadEntries = QStringLiteral("read-entries");

void TaskOptions::add(QCommandLineParser& parser)
{
    parser.addOption({Export, QStringLiteral("Export every day with an entry to one UTF-8 file."),
                      QStringLiteral("FILE")});
    parser.addOption({From, QStringLiteral("First day to export."), QStringLiteral("yyyymmdd")});
    parser.addOption({To, QStringLiteral("Last day to export."), QStringLiteral("yyyymmdd")});
    parser.addOption(
        {Format, QStringLiteral("Export format (by default the file name's extension decides)."),
         QStringLiteral("text|markdown|html")});
    parser.addOption({Backup,
                      QStringLiteral("Back up diary.ini and every day file to a zip archive."),
                      QStringLiteral("FILE.zip")});
    parser.addOption(
        {Restore,
         QStringLiteral("Restore a backup into the diary folder, which must be missing or empty."),
         QStringLiteral("FILE.zip")});
    parser.addOption({Force, QStringLiteral("Replace the file that --export or --backup names "
                                            "when one is there.")});
    parser.addOption({Progress, QStringLiteral("Print \"progress DONE TOTAL\" lines on standard "
                                               "output while the task runs.")});
    parser.addOption({DeleteDay,
                      QStringLiteral("Delete the day's entry and title, after asking on a "
                                     "terminal."),
                      QStringLiteral("yyyymmdd")});
    parser.addOption({Yes, QStringLiteral("Delete without asking (needed when standard input is "
                                          "not a terminal).")});
    parser.addOption({Encrypt, QStringLiteral("Encrypt the diary with a passphrase (asked twice on "
                                              "a terminal, else one line of standard input); "
                                              "prints its recovery code.")});
    parser.addOption({Decrypt, QStringLiteral("Decrypt the diary (the passphrase is asked as for "
                                              "--encrypt).")});
    parser.addOption({ChangePassphrase,
                      QStringLiteral("Change the diary's passphrase (without a terminal: the old "
                                     "one, then the new one, one line each).")});
    parser.addOption({ReadRecovery,
                      QStringLiteral("Print the text of an encrypted diary's recovery file "
                                     "(FILE.sealed), opened with the diary's passphrase."),
                      QStringLiteral("FILE.sealed")});
    parser.addOption({Import,
                      QStringLiteral("Import another diary's export, given after the options "
                                     "(a file or folder), into this diary; auto tells the format "
                                     "from the export."),
                      QStringLiteral("dayone|jrnl|rednotebook|text|auto")});
    parser.addOption(
        {DryRun, QStringLiteral("With --import: say what it would do, write nothing.")});
    QCommandLineOption readEntries(ReadEntries);
    readEntries.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(readEntries);
}

bool TaskOptions::requested(const QCommandLineParser& parser)
{
    return parser.isSet(Export) || parser.isSet(Backup) || parser.isSet(Restore) ||
           parser.isSet(DeleteDay) || parser.isSet(Encrypt) || parser.isSet(Decrypt) ||
           parser.isSet(ChangePassphrase) || parser.isSet(ReadRecovery) || parser.isSet(Import);
}

QStringList TaskOptions::given(const QCommandLineParser& parser)
{
    QStringList arguments;
    for (const QString& name :
         {Export, From, To, Format, Backup, Restore, DeleteDay, ReadRecovery, Import}) {
        // Each value as given, also when an option was given twice, so that the task sees and
        // refuses the same command line.
        for (const QString& value : parser.values(name))
            arguments << QStringLiteral("--") + name << value;
    }
    for (const QString& flag :
         {Force, Progress, Yes, Encrypt, Decrypt, ChangePassphrase, DryRun, ReadEntries}) {
        if (parser.isSet(flag))
            arguments << QStringLiteral("--") + flag;
    }
    // Last, after "--": an export's name may begin with "-".
    if (!parser.positionalArguments().isEmpty())
        arguments << QStringLiteral("--") << parser.positionalArguments();
    return arguments;
}

QString TaskOptions::argumentsError(const QCommandLineParser& parser)
{
    const QStringList arguments = parser.positionalArguments();
    if (parser.isSet(Import) && arguments.size() != 1)
        return QStringLiteral("--import FORMAT のあとに、読み込む書き出し (ファイルかフォルダ) を"
                              "一つ指定してください。");
    if (!parser.isSet(Import) && !arguments.isEmpty())
        return QStringLiteral("Unexpected argument '%1'.").arg(arguments.constFirst());
    return {};
}
