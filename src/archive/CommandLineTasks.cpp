#include "archive/CommandLineTasks.h"

#include "archive/DiaryArchive.h"
#include "archive/ImportSource.h"
#include "core/diary/Diary.h"
#include "core/diary/DiaryKeyFile.h"
#include "core/diary/DiaryPaths.h"
#include "core/diary/EncryptedDiaries.h"
#include "core/diary/Recovery.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/StagedFile.h"
#include "core/storage/TaskProgress.h"
#include "core/tasks/DiaryEncryption.h"
#include "core/tasks/DiaryExport.h"
#include "core/tasks/DiaryImport.h"
#include "core/tasks/PassphrasePrompt.h"
#include "core/tasks/TaskOptions.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>

namespace {

const QString& Export = TaskOptions::Export;
const QString& Backup = TaskOptions::Backup;
const QString& Restore = TaskOptions::Restore;
const QString& From = TaskOptions::From;
const QString& To = TaskOptions::To;
const QString& Format = TaskOptions::Format;
const QString& Progress = TaskOptions::Progress;
const QString& Force = TaskOptions::Force;
const QString& DeleteDay = TaskOptions::DeleteDay;
const QString& Yes = TaskOptions::Yes;
const QString& Encrypt = TaskOptions::Encrypt;
const QString& Decrypt = TaskOptions::Decrypt;
const QString& ChangePassphrase = TaskOptions::ChangePassphrase;
const QString& Rekey = TaskOptions::Rekey;
const QString& ReadRecovery = TaskOptions::ReadRecovery;
const QString& Import = TaskOptions::Import;
const QString& DryRun = TaskOptions::DryRun;
const QString& ReadEntries = TaskOptions::ReadEntries;

constexpr int Failed = 1;
constexpr int Usage = 2;

// The task running, for a quit signal to stop.
std::atomic<TaskProgress*> running{nullptr};
constexpr int QuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onQuit(int)
{
    if (TaskProgress* progress = running.load())
        progress->cancel();
}

// While it lives, a quit signal stops the task instead of killing the program, so the task
// removes its temporary file or folder. Without SA_RESTART, a write blocked on a pipe returns.
class QuitStopsTask
{
public:
    explicit QuitStopsTask(TaskProgress& progress)
    {
        running.store(&progress);
        struct sigaction action
        {
        };
        action.sa_handler = onQuit;
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < 3; ++i)
            ::sigaction(QuitSignals[i], &action, &m_old[i]);
    }
    ~QuitStopsTask()
    {
        for (int i = 0; i < 3; ++i)
            ::sigaction(QuitSignals[i], &m_old[i], nullptr);
        running.store(nullptr);
    }
    QuitStopsTask(const QuitStopsTask&) = delete;
    QuitStopsTask& operator=(const QuitStopsTask&) = delete;

private:
    struct sigaction m_old[3];
};

// How far the task has come: on a terminal one line rewritten in place, in whole percents; for
// --progress a line "progress DONE TOTAL" on standard output each thousandth.
class ProgressLine
{
public:
    ProgressLine(QTextStream& err, bool terminal, bool machine)
        : m_err(err), m_terminal(terminal), m_machine(machine)
    {
    }
    void show(const QString& label, qint64 done, qint64 total)
    {
        if (total <= 0)
            return;
        const qint64 permille = std::clamp<qint64>(done * 1000 / total, 0, 1000);
        if (m_machine && permille != m_permille) {
            std::printf("progress %lld %lld\n", static_cast<long long>(done),
                        static_cast<long long>(total));
            std::fflush(stdout);
        }
        if (m_terminal && permille / 10 != m_permille / 10) {
            m_err << QStringLiteral("\r%1 %2%\x1b[K").arg(label).arg(permille / 10);
            m_err.flush();
            m_shown = true;
        }
        m_permille = permille;
    }
    // Clears the line for the closing message.
    void end()
    {
        if (m_shown)
            m_err << QStringLiteral("\r\x1b[K");
        m_shown = false;
    }

private:
    QTextStream& m_err;
    bool m_terminal;
    bool m_machine;
    bool m_shown = false;
    qint64 m_permille = -1;
};

// Whether the task may write to file: a file there is replaced only when asked. The new file takes
// its place atomically all the same; this only guards a name typed by mistake.
bool mayWrite(const QCommandLineParser& parser, const QString& file, QTextStream& err)
{
    if (parser.isSet(Force) || !StagedFile::holdsFile(file))
        return true;
    err << QStringLiteral("「%1」はすでにあります。置き換えるときは --force を付けてください。\n")
               .arg(file);
    return false;
}

// Names what the task left out, when anything.
void reportLeftOut(QTextStream& err, const QString& what, const QStringList& leftOut)
{
    if (!leftOut.isEmpty())
        err << QStringLiteral("次のものは日記のファイルではないため、%1:\n  %2\n")
                   .arg(what, leftOut.join(QStringLiteral("\n  ")));
}

// A new passphrase read for the task; throws when there is none to read.
QString newPassphrase(PassphrasePrompt* passphrases, QTextStream& err)
{
    const std::optional<QString> passphrase =
        passphrases ? passphrases->askNew(QStringLiteral("新しいパスフレーズ: "), err)
                    : std::nullopt;
    if (!passphrase)
        throw DiaryError(QStringLiteral("新しいパスフレーズを読めませんでした。端末で実行するか、"
                                        "標準入力に一行ずつ渡してください。"));
    return *passphrase;
}

// The passphrase prompt; a missing one reads nothing.
PassphrasePrompt& prompt(PassphrasePrompt* passphrases)
{
    static PassphrasePrompt none = PassphrasePrompt::fromLines({});
    return passphrases ? *passphrases : none;
}

void unlock(Diary& diary, QTextStream& err, PassphrasePrompt* passphrases)
{
    // Said before a passphrase is asked for that could open nothing.
    if (diary.keyMissing())
        throw EncryptedDiaries::noKeyFile(diary.folder());
    if (!diary.isEncrypted())
        return;
    QString secret = prompt(passphrases).passphrase(err);
    const bool opened = diary.unlock(secret);
    PassphrasePrompt::wipe(secret);
    if (!opened)
        throw PassphrasePrompt::wrongPassphrase();
}

// The diary opened as the window opens it, lock included; null, said on err, while a window
// has it. hint: what to do then instead.
std::unique_ptr<Diary> openLocked(const QString& folder, QTextStream& err, const QString& hint)
{
    std::unique_ptr<Diary> diary;
    try {
        diary = std::make_unique<Diary>(folder);
    } catch (const DiaryError& e) {
        // The lock's own message speaks of the window it brings forward, which a task does not.
        if (e.kind() != DiaryError::Kind::InUse)
            throw;
        err << QStringLiteral("この日記 (%1) はいま開いています。%2\n").arg(folder, hint);
    }
    return diary;
}

// A date written yyyymmdd; an invalid date when the text is not one.
QDate dateFrom(const QString& text)
{
    if (text.size() != 8)
        return {};
    return QDate::fromString(text, QStringLiteral("yyyyMMdd"));
}

int exportDiary(const QCommandLineParser& parser, const QString& folder, QTextStream& err,
                const TaskProgress& progress, ProgressLine& line, PassphrasePrompt* passphrases)
{
    const QString file = parser.value(Export);
    QDate bounds[2];
    const QString names[2] = {From, To};
    for (int i = 0; i < 2; ++i) {
        if (!parser.isSet(names[i]))
            continue;
        bounds[i] = dateFrom(parser.value(names[i]));
        if (!bounds[i].isValid()) {
            err << QStringLiteral("--%1 には yyyymmdd の形で実在する日付を指定してください: %2\n")
                       .arg(names[i], parser.value(names[i]));
            return Usage;
        }
    }
    if (bounds[0].isValid() && bounds[1].isValid() && bounds[0] > bounds[1]) {
        err << QStringLiteral("--from の日付が --to の日付より後です。\n");
        return Usage;
    }
    DiaryExport::Format format = DiaryExport::formatFor(file);
    if (parser.isSet(Format)) {
        const auto named = DiaryExport::formatNamed(parser.value(Format));
        if (!named) {
            err << QStringLiteral("--format は text、markdown、html のどれかです: %1\n")
                       .arg(parser.value(Format));
            return Usage;
        }
        format = *named;
    }
    if (file == QLatin1String("-") && parser.isSet(Progress)) {
        err << QStringLiteral("--export - と --progress はどちらも標準出力を使います。\n");
        return Usage;
    }
    if (file != QLatin1String("-") && DiaryPaths::isInsideDiary(folder, file)) {
        err << QStringLiteral("書き出し先を日記の中にはできません: %1\n").arg(file);
        return Usage;
    }
    if (!DiaryPaths::holdsDiary(folder)) {
        err << QStringLiteral("「%1」に日記がありません。\n").arg(folder);
        return Failed;
    }
    if (!mayWrite(parser, file, err))
        return Failed;
    std::shared_ptr<const DiaryKey> key = prompt(passphrases).diaryKey(folder, err);
    const StagedFile::Permissions permissions =
        parser.isSet(Force) ? StagedFile::WriteStream | StagedFile::ReplaceFile
                            : StagedFile::Permissions(StagedFile::WriteStream);
    StagedFile out(file, permissions, &progress);
    const DiaryExport::Result result =
        DiaryExport::render(folder, format, bounds[0], bounds[1], progress, std::move(key));
    out.write(result.document);
    out.commit();
    line.end();
    err << DiaryExport::summary(result.days, file, result.leftOut) << '\n';
    if (DiaryKeyFile::exists(folder))
        err << QStringLiteral("書き出したものは暗号化されていません。日記と同じように大切に"
                              "扱ってください。\n");
    return 0;
}

// The text a failed save of an encrypted diary kept sealed, on standard output. Only reads.
int readRecovery(const QCommandLineParser& parser, const QString& folder, QTextStream& err,
                 PassphrasePrompt* passphrases)
{
    const QString file = parser.value(ReadRecovery);
    if (!file.endsWith(QLatin1String(".sealed"))) {
        err << QStringLiteral("「%1」は暗号化された回復ファイル (….sealed) ではありません。"
                              "回復ファイルの .txt はそのまま開けます。\n")
                   .arg(file);
        return Usage;
    }
    const std::shared_ptr<const DiaryKey> key = prompt(passphrases).diaryKey(folder, err);
    if (!key) {
        err << QStringLiteral("「%1」の日記は暗号化されていないため、開く鍵がありません。\n")
                   .arg(folder);
        return Failed;
    }
    const QByteArray text = Recovery::open(file, *key).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
    return 0;
}

// Deleting a day changes the diary: it is opened as the window opens it, lock included.
int deleteDay(const QCommandLineParser& parser, const QString& folder, QTextStream& err,
              QTextStream* terminal, PassphrasePrompt* passphrases)
{
    const QString key = parser.value(DeleteDay);
    if (!dateFrom(key).isValid()) {
        err << QStringLiteral("--%1 には yyyymmdd の形で実在する日付を指定してください: %2\n")
                   .arg(DeleteDay, key);
        return Usage;
    }
    if (!terminal && !parser.isSet(Yes)) {
        err << QStringLiteral("標準入力が端末ではないので、削除してよいか尋ねられません。"
                              "尋ねずに削除するには --yes を付けてください。\n");
        return Usage;
    }
    if (!DiaryPaths::holdsDiary(folder)) {
        err << QStringLiteral("「%1」に日記がありません。\n").arg(folder);
        return Failed;
    }
    const std::unique_ptr<Diary> diary =
        openLocked(folder, err,
                   QStringLiteral("ウィンドウのメニューの「この日を削除...」を使うか、"
                                  "閉じてからもう一度試してください。"));
    if (!diary)
        return Failed;
    // The question shows the day's title.
    unlock(*diary, err, passphrases);
    if (!diary->hasEntry(key)) {
        err << QStringLiteral("%1 の日記はありません。\n").arg(key);
        return Failed;
    }
    if (!parser.isSet(Yes)) {
        err << diary->deleteQuestion(key) << QStringLiteral("\n削除しますか? [y/N] ");
        err.flush();
        const QString answer = terminal->readLine().trimmed().toLower();
        if (answer != QLatin1String("y") && answer != QLatin1String("yes")) {
            err << QStringLiteral("削除しませんでした。\n");
            return Failed;
        }
    }
    diary->deleteDay(key);
    err << QStringLiteral("%1 の日記を削除しました。\n").arg(key);
    return 0;
}

// The recovery code on standard output, and what it is for on err.
void printCode(const QString& code, QTextStream& err)
{
    std::printf("%s\n", code.toUtf8().constData());
    std::fflush(stdout);
    err << QStringLiteral("上の回復コードを書き留めて、日記とは別の所にしまってください。"
                          "パスフレーズを忘れたときは、これで日記を開けます。パスフレーズと"
                          "回復コードの両方をなくすと、だれにも日記を読めなくなります。\n");
}

// Encryption on or off, a new passphrase or a new key: the diary is opened with its lock, as the
// window opens it.
int encryption(const QCommandLineParser& parser, const QString& folder, QTextStream& err,
               const TaskProgress& progress, ProgressLine& line, PassphrasePrompt* passphrases)
{
    if (!DiaryPaths::holdsDiary(folder)) {
        err << QStringLiteral("「%1」に日記がありません。\n").arg(folder);
        return Failed;
    }
    const std::unique_ptr<Diary> diary =
        openLocked(folder, err, QStringLiteral("ウィンドウを閉じてからもう一度試してください。"));
    if (!diary)
        return Failed;
    const bool encrypt = parser.isSet(Encrypt);
    if (!encrypt && !diary->isEncrypted()) {
        err << QStringLiteral("この日記は暗号化されていません。\n");
        return Failed;
    }
    if (parser.isSet(Decrypt) && diary->keyMissing()) {
        // Turned off on another computer: this one takes the owner's word once nothing is sealed.
        EncryptedDiaries().forgetTurnedOff(folder, diary->IniFile());
        err << QStringLiteral(
            "この日記には暗号化された日も題名も残っていません。ほかのコンピューターで"
            "暗号化が解かれた日記として、このコンピューターでも暗号化されていない"
            "日記に戻しました。\n");
        return 0;
    }
    const bool turningOn = encrypt && !diary->isEncrypted();
    if (turningOn)
        printCode(DiaryEncryption::turnOn(*diary, newPassphrase(passphrases, err)), err);
    else
        unlock(*diary, err, passphrases);
    for (const QString& notice : diary->takeNotices())
        err << notice << QLatin1Char('\n');
    if (parser.isSet(ChangePassphrase)) {
        DiaryEncryption::changePassphrase(*diary, newPassphrase(passphrases, err));
        err << QStringLiteral("パスフレーズを変えました。\n");
        return 0;
    }
    using Pending = DiaryEncryption::Pending;
    if (parser.isSet(Rekey)) {
        const QString code = DiaryEncryption::rekey(*diary, newPassphrase(passphrases, err));
        printCode(code, err);
    } else if (parser.isSet(Decrypt)) {
        if (DiaryEncryption::pending(*diary) != Pending::TurningOff)
            DiaryEncryption::turnOff(*diary);
    } else if (!turningOn) {
        switch (DiaryEncryption::pending(*diary)) {
        case Pending::TurningOff:
            err << QStringLiteral("この日記は暗号化を解く途中です。--encrypt は暗号化を解きません。"
                                  "解き終えるには --decrypt を使ってください。\n");
            return Failed;
        case Pending::Nothing:
            err << QStringLiteral("この日記はもう暗号化されています。\n");
            return Failed;
        case Pending::PlainContent:
            err << DiaryEncryption::plainNotice(DiaryEncryption::plainDays(*diary))
                << QStringLiteral("\nこれらも暗号化します。\n");
            break;
        case Pending::TurningOn:
        case Pending::Rekeying:
            break;
        }
    }
    // Each task here is the owner's own request on this computer: what it finishes is agreed.
    const int written = DiaryEncryption::finish(*diary, progress, true);
    line.end();
    if (parser.isSet(Decrypt))
        err << QStringLiteral("日記の暗号化を解きました (%1 日分を書き換えました)。\n")
                   .arg(written);
    else if (parser.isSet(Rekey))
        err << QStringLiteral("日記の鍵を作り直しました (%1 日分を書き換えました)。前の鍵ファイルと"
                              "パスフレーズでは、これから書く日は開けません。\n")
                   .arg(written);
    else
        err << QStringLiteral("日記を暗号化しました (%1 日分を書き換えました)。\n").arg(written);
    return 0;
}

void print(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// Another diary's export into this one: read and planned whole before the first write, a backup
// of the diary written before the first day.
int importDiary(const QCommandLineParser& parser, const QString& folder, QTextStream& err,
                const TaskProgress& progress, ProgressLine& line, PassphrasePrompt* passphrases)
{
    const QString name = parser.value(Import);
    const QString source = parser.positionalArguments().value(0);
    const bool detect = name == QLatin1String("auto");
    std::optional<ImportSource::Format> format = ImportSource::formatNamed(name);
    if (!detect && !format) {
        err << QStringLiteral(
                   "--import は dayone、jrnl、rednotebook、text、auto のどれかです: %1\n")
                   .arg(name);
        return Usage;
    }
    if (detect)
        format = ImportSource::detect(source);
    if (!format) {
        err << QStringLiteral(
                   "「%1」がどの書き出しかわかりません。--import に形式を指定してください。\n")
                   .arg(source);
        return Failed;
    }
    const ImportedEntries entries = ImportSource::read(*format, source);
    if (parser.isSet(ReadEntries)) {
        for (const ImportedEntry& entry : entries.entries)
            print(QStringLiteral("entry ") +
                  QString::fromUtf8(QJsonDocument(entry.toJson()).toJson(QJsonDocument::Compact)) +
                  QLatin1Char('\n'));
        for (const QString& reason : entries.leftOut)
            print(QStringLiteral("left-out ") +
                  QString(reason).replace(QLatin1Char('\n'), QLatin1Char(' ')) + QLatin1Char('\n'));
        return 0;
    }
    const bool existed = DiaryPaths::holdsDiary(folder);
    // A dry run into a diary not made yet plans against an empty one, and makes none.
    QTemporaryDir empty;
    const bool dryRun = parser.isSet(DryRun);
    const std::unique_ptr<Diary> diary = openLocked(
        dryRun && !existed ? empty.path() : folder, err,
        QStringLiteral("ウィンドウのメニューの「読み込み...」を使うか、閉じてからもう一度試して"
                       "ください。"));
    if (!diary)
        return Failed;
    unlock(*diary, err, passphrases);
    const DiaryImport::Plan plan = DiaryImport::plan(*diary, entries, QDateTime::currentDateTime());
    if (dryRun) {
        print(plan.summary() + QStringLiteral("(--dry-run: 日記には何も書き込んでいません)\n"));
        return 0;
    }
    QString backup;
    try {
        DiaryImport::apply(
            *diary, plan,
            [&] {
                if (!existed)
                    return;
                backup = DiaryImport::backupPath(folder);
                DiaryArchive::backup(folder, backup, TaskProgress(), false);
            },
            progress);
    } catch (const DiaryError& e) {
        line.end();
        err << e.message() << QLatin1Char('\n');
        if (!backup.isEmpty())
            err << QStringLiteral("読み込む前の日記は %1 にあります。--restore で戻せます。\n")
                       .arg(backup);
        return Failed;
    }
    line.end();
    print(plan.summary(backup));
    return 0;
}

} // namespace

int CommandLineTasks::run(const QCommandLineParser& parser, const QString& folder, QTextStream& err,
                          bool errIsTerminal, QTextStream* terminal, PassphrasePrompt* passphrases)
{
    const bool encrypting = parser.isSet(Encrypt) || parser.isSet(Decrypt) ||
                            parser.isSet(ChangePassphrase) || parser.isSet(Rekey);
    const int tasks = int(parser.isSet(Export)) + int(parser.isSet(Backup)) +
                      int(parser.isSet(Restore)) + int(parser.isSet(DeleteDay)) +
                      int(parser.isSet(Encrypt)) + int(parser.isSet(Decrypt)) +
                      int(parser.isSet(ChangePassphrase)) + int(parser.isSet(Rekey)) +
                      int(parser.isSet(ReadRecovery)) + int(parser.isSet(Import));
    if (tasks != 1) {
        err << QStringLiteral("--export、--backup、--restore、--delete-day、--encrypt、--decrypt、"
                              "--change-passphrase、--rekey、--read-recovery、--import は一度に"
                              "一つだけ指定してください。\n");
        return Usage;
    }
    if (!parser.isSet(Import) && (parser.isSet(DryRun) || parser.isSet(ReadEntries))) {
        err << QStringLiteral("--dry-run は --import と一緒に使います。\n");
        return Usage;
    }
    if (!parser.isSet(Export) && (parser.isSet(From) || parser.isSet(To) || parser.isSet(Format))) {
        err << QStringLiteral("--from、--to、--format は --export と一緒に使います。\n");
        return Usage;
    }
    if (parser.isSet(Force) && !parser.isSet(Export) && !parser.isSet(Backup)) {
        err << QStringLiteral("--force は --export か --backup と一緒に使います。\n");
        return Usage;
    }
    if (parser.isSet(Yes) && !parser.isSet(DeleteDay)) {
        err << QStringLiteral("--yes は --delete-day と一緒に使います。\n");
        return Usage;
    }
    const QString label = parser.isSet(Import)    ? QStringLiteral("読み込み中")
                          : parser.isSet(Export)  ? QStringLiteral("書き出し中")
                          : parser.isSet(Backup)  ? QStringLiteral("バックアップ中")
                          : parser.isSet(Encrypt) ? QStringLiteral("暗号化中")
                          : parser.isSet(Decrypt) ? QStringLiteral("復号中")
                          : parser.isSet(Rekey)   ? QStringLiteral("鍵の作り直し中")
                                                  : QStringLiteral("復元中");
    ProgressLine line(err, errIsTerminal, parser.isSet(Progress));
    TaskProgress progress([&](qint64 done, qint64 total) { line.show(label, done, total); });
    const QuitStopsTask quit(progress);
    try {
        if (parser.isSet(DeleteDay))
            return deleteDay(parser, folder, err, terminal, passphrases);
        if (parser.isSet(ReadRecovery))
            return readRecovery(parser, folder, err, passphrases);
        if (encrypting)
            return encryption(parser, folder, err, progress, line, passphrases);
        if (parser.isSet(Import))
            return importDiary(parser, folder, err, progress, line, passphrases);
        if (parser.isSet(Export))
            return exportDiary(parser, folder, err, progress, line, passphrases);
        if (parser.isSet(Backup)) {
            if (!mayWrite(parser, parser.value(Backup), err))
                return Failed;
            const DiaryArchive::Backup backup =
                DiaryArchive::backup(folder, parser.value(Backup), progress, parser.isSet(Force));
            line.end();
            reportLeftOut(err, QStringLiteral("バックアップに入れていません"), backup.leftOut);
            err << QStringLiteral("%1 個のファイルを %2 に保存しました。\n")
                       .arg(backup.files)
                       .arg(parser.value(Backup));
            return 0;
        }
        const DiaryArchive::Restore restore =
            DiaryArchive::restore(parser.value(Restore), folder, progress);
        line.end();
        reportLeftOut(err, QStringLiteral("復元していません"), restore.leftOut);
        err << QStringLiteral("%1 個のファイルを %2 に復元しました。\n")
                   .arg(restore.files)
                   .arg(folder);
        return 0;
    } catch (const DiaryError& e) {
        line.end();
        err << e.message() << QLatin1Char('\n');
        return Failed;
    }
}
