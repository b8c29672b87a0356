#pragma once

#include <QString>

class PassphrasePrompt;
class QCommandLineParser;
class QTextStream;

// The tasks the program does from the command line without opening a window: export the
// diary to one file, back it up to a zip archive, restore it from one, delete a day, turn
// encryption on or off, change the passphrase and import another diary's export. Export and
// backup only read the diary they work on and a restore writes only into an empty folder, so
// they are safe while the program has the diary open; deleting a day, importing and the
// encryption tasks take the diary's lock, as the window does, and refuse while a window has it.
//
//   --export FILE [--from yyyymmdd] [--to yyyymmdd] [--format text|markdown|html] [--force]
//                               (FILE "-" is standard output)
//   --backup FILE.zip [--force]
//   --restore FILE.zip          (into the diary folder, which must be missing or empty)
//   --force                     replaces a file at the target; without it the task refuses one,
//                               since a mistyped name would lose that file
//   --delete-day yyyymmdd [--yes]
//                               asks first on a terminal; without one, only with --yes
//   --progress                  lines "progress DONE TOTAL" on standard output as the task goes,
//                               for a program that runs the task and shows how far it has come
//   --encrypt                   asks a new passphrase, encrypts every day and title, and prints
//                               the recovery code on standard output; on an encrypted diary,
//                               finishes a conversion that was stopped
//   --decrypt                   asks the passphrase (or the recovery code) and decrypts
//   --change-passphrase         asks the passphrase (or the recovery code), then the new one
//   --import FORMAT EXPORT [--dry-run]
//                               another diary's export (FORMAT dayone, jrnl, rednotebook, text or
//                               auto) into this diary, after a backup of it; the summary goes to
//                               standard output. --dry-run writes nothing. With --read-entries
//                               it prints the entries read instead, for the window to import
//
// A passphrase is asked on the terminal without echo, a new one twice; without a terminal, each
// is one line of standard input. --export and --delete-day of an encrypted diary ask it too;
// --backup and --restore carry the sealed files and diary.key as they are.
//
// A quit signal (SIGTERM, SIGINT, SIGHUP) stops the task, which removes what it had written.
// The options are TaskOptions'. The tasks run in tobiquill-archive, never in the window process.
class CommandLineTasks
{
public:
    // Runs the task asked for on the diary in folder. Messages go to err, and when errIsTerminal
    // also the progress, as one line rewritten in place. terminal is standard input when it is a
    // terminal, where a question is answered; passphrases, where a passphrase is read. Returns
    // the exit code: 0 done, 1 failed, stopped or declined with nothing changed (a conversion
    // stopped part way leaves every day readable, and is finished by the next one), 2 the
    // command line was wrong.
    static int run(const QCommandLineParser& parser, const QString& folder, QTextStream& err,
                   bool errIsTerminal = false, QTextStream* terminal = nullptr,
                   PassphrasePrompt* passphrases = nullptr);
};
