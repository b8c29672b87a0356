#include "core/tasks/PassphrasePrompt.h"

#include "core/storage/DiaryError.h"

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

std::optional<QString> PassphrasePrompt::ask(const QString& prompt, QTextStream& err)
{
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
    const std::optional<QString> first = ask(prompt, err);
    if (!first || !m_terminal)
        return first;
    const std::optional<QString> second = ask(QStringLiteral("もう一度: "), err);
    if (second && *first != *second)
        throw DiaryError(
            QStringLiteral("二度入力したパスフレーズが違います。何も変えていません。"));
    return second;
}
