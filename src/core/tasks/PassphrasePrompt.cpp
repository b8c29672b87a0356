#include "core/tasks/PassphrasePrompt.h"

#include "core/diary/DiaryKeyFile.h"
#include "core/diary/EncryptedDiaries.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/IniFile32.h"
#include "core/storage/ProcessGuard.h"

#include <QDir>
#include <QTextStream>

#include <cerrno>
#include <termios.h>
#include <unistd.h>

PassphrasePrompt::PassphrasePrompt(int fd) : m_fd(fd), m_terminal(::isatty(fd) == 1) {}

PassphrasePrompt PassphrasePrompt::fromLines(QStringList lines)
{
    PassphrasePrompt prompt;
    prompt.m_lines = std::move(lines);
    return prompt;
}

std::optional<QString> PassphrasePrompt::readLine()
{
    if (m_fd < 0) {
        if (m_lines.isEmpty())
            return std::nullopt;
        return m_lines.takeFirst();
    }
    // A byte at a time: what follows the line stays for whoever reads standard input next.
    QByteArray line;
    char c = 0;
    for (;;) {
        const ssize_t got = ::read(m_fd, &c, 1);
        if (got < 0 && errno == EINTR && !m_terminal)
            continue;
        if (got <= 0) {
            // A quit signal on the terminal ends the question; at the end of a pipe the last
            // line may lack its break.
            if (line.isEmpty() || m_terminal)
                return std::nullopt;
            break;
        }
        if (c == '\n')
            break;
        line.append(c);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    QString text = QString::fromUtf8(line);
    line.fill('\0');
    return text;
}

void PassphrasePrompt::wipe(QString& secret)
{
    // In place while the string is this one's alone; a shared one is copied by fill().
    if (secret.isDetached())
        secret.fill(QChar(0));
    secret.clear();
}

std::optional<QString> PassphrasePrompt::ask(const QString& prompt, QTextStream& err)
{
    ProcessGuard::harden();
    if (!m_terminal)
        return readLine();
    err << prompt;
    err.flush();
    termios before{};
    const bool quiet = ::tcgetattr(m_fd, &before) == 0;
    if (quiet) {
        termios silent = before;
        silent.c_lflag &= ~tcflag_t(ECHO);
        silent.c_lflag |= ECHONL;
        ::tcsetattr(m_fd, TCSAFLUSH, &silent);
    }
    std::optional<QString> passphrase = readLine();
    if (quiet)
        ::tcsetattr(m_fd, TCSAFLUSH, &before);
    return passphrase;
}

std::optional<QString> PassphrasePrompt::askNew(const QString& prompt, QTextStream& err)
{
    std::optional<QString> first = ask(prompt, err);
    if (!first || !m_terminal)
        return first;
    std::optional<QString> second = ask(QStringLiteral("もう一度: "), err);
    const bool differ = second && *first != *second;
    wipe(*first);
    if (differ) {
        wipe(*second);
        throw DiaryError(
            QStringLiteral("二度入力したパスフレーズが違います。何も変えていません。"));
    }
    return second;
}

QString PassphrasePrompt::passphrase(QTextStream& err)
{
    const std::optional<QString> passphrase =
        ask(QStringLiteral("パスフレーズ (または回復コード): "), err);
    if (!passphrase)
        throw DiaryError(QStringLiteral("パスフレーズを読めませんでした。端末で実行するか、"
                                        "標準入力に一行ずつ渡してください。"));
    return *passphrase;
}

DiaryError PassphrasePrompt::wrongPassphrase()
{
    return DiaryError(QStringLiteral("パスフレーズ (または回復コード) が違います。"));
}

std::shared_ptr<const DiaryKey> PassphrasePrompt::diaryKey(const QString& programFolder,
                                                           QTextStream& err)
{
    const std::optional<KeyFile> file = DiaryKeyFile::read(programFolder);
    if (!file) {
        if (EncryptedDiaries().withoutKey(
                programFolder,
                TIniFile32(QDir(programFolder).filePath(QStringLiteral("diary.ini")))))
            throw EncryptedDiaries::noKeyFile(programFolder);
        return {};
    }
    QString secret = passphrase(err);
    std::optional<DiaryKey> key = file->unlock(secret);
    wipe(secret);
    if (!key)
        throw wrongPassphrase();
    // A task that only reads takes no file that its key does not verify: the window sets it
    // aside the next time it opens the diary.
    if (!file->verifies(*key))
        throw DiaryError::cannotUnseal(
            file->path(),
            QStringLiteral("鍵ファイルが鍵を持たない誰かに書き換えられています。"
                           "日記をウィンドウで開くと脇へ移します。日記はそのままです。"));
    return std::make_shared<const DiaryKey>(std::move(*key));
}
