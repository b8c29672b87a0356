#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class DiaryError;
class DiaryKey;
class QTextStream;

// Where a command-line task reads a passphrase: the terminal, without echo, when standard input
// is one; otherwise one line of standard input a passphrase, so a script can pipe them in. The
// process is made ProcessGuard-safe before the first is read.
class PassphrasePrompt
{
public:
    // Reads from the file descriptor fd.
    explicit PassphrasePrompt(int fd);
    // The lines given, as a pipe would give them: for tests.
    static PassphrasePrompt fromLines(QStringList lines);

    bool isTerminal() const { return m_terminal; }
    // The passphrase, after the prompt on a terminal; no value at the end of the input.
    std::optional<QString> ask(const QString& prompt, QTextStream& err);
    // A new passphrase: on a terminal asked twice, throwing a DiaryError when the two differ;
    // otherwise one line.
    std::optional<QString> askNew(const QString& prompt, QTextStream& err);

    // The passphrase (or the recovery code), or a DiaryError saying there is none to read.
    QString passphrase(QTextStream& err);
    // The key of the diary in programFolder, for a task that only reads it: asked and checked
    // against diary.key, no lock taken. Null for a plain diary. Throws a DiaryError when the
    // passphrase cannot be read or opens nothing, and EncryptedDiaries::noKeyFile(), before
    // asking, for a diary encrypted all the same (Diary::keyMissing()).
    std::shared_ptr<const DiaryKey> diaryKey(const QString& programFolder, QTextStream& err);
    static DiaryError wrongPassphrase();
    // Overwrites the passphrase's characters and empties it.
    static void wipe(QString& secret);

private:
    PassphrasePrompt() = default;
    std::optional<QString> readLine();

    int m_fd = -1;
    bool m_terminal = false;
    QStringList m_lines;
};
