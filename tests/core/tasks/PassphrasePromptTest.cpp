#include "core/tasks/PassphrasePrompt.h"
#include "core/storage/DiaryError.h"

#include <QFile>
#include <QTextStream>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <pty.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

// The prompt on a real terminal: a pseudo-terminal whose other side the test types into, as a
// person would, once the prompt is there.
class PassphrasePromptTest : public QObject
{
    Q_OBJECT

    int m_typist = -1;
    int m_terminal = -1;
    QByteArray m_screen;

    // Reads what the terminal showed until it holds text; false after a few seconds.
    bool waitFor(const QByteArray& text)
    {
        for (int i = 0; i < 500 && !m_screen.contains(text); ++i) {
            char buffer[256];
            const ssize_t got = ::read(m_typist, buffer, sizeof buffer);
            if (got > 0)
                m_screen.append(buffer, got);
            else
                QThread::msleep(10);
        }
        return m_screen.contains(text);
    }

    bool echoes() const
    {
        termios mode{};
        return ::tcgetattr(m_terminal, &mode) != 0 || (mode.c_lflag & ECHO);
    }

private slots:
    void init()
    {
        QCOMPARE(::openpty(&m_typist, &m_terminal, nullptr, nullptr, nullptr), 0);
        ::fcntl(m_typist, F_SETFL, O_NONBLOCK);
        m_screen.clear();
        // As a process that was never guarded starts.
        ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
        rlimit core{};
        ::getrlimit(RLIMIT_CORE, &core);
        if (core.rlim_max == 0)
            QSKIP("core files are off for good here");
        core.rlim_cur = core.rlim_max;
        ::setrlimit(RLIMIT_CORE, &core);
    }

    void cleanup()
    {
        ::close(m_typist);
        ::close(m_terminal);
    }

    void typed_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("twice");
        QTest::addColumn<QString>("error");
        QTest::newRow("two different entries")
            << QStringList{u"first entry"_s, u"second entry"_s} << true
            << u"二度入力したパスフレーズが違います。何も変えていません。"_s;
        QTest::newRow("the same twice")
            << QStringList{u"日記の合言葉"_s, u"日記の合言葉"_s} << true << QString();
        QTest::newRow("asked once") << QStringList{u"日記の合言葉"_s} << false << QString();
    }

    // Nothing typed shows on the terminal, the process is guarded before the first is read, and a
    // new passphrase is taken only when both entries agree.
    void typed()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, twice);
        QFETCH(QString, error);
        QFile terminal;
        QVERIFY(terminal.open(m_terminal, QIODevice::WriteOnly));
        QTextStream err(&terminal);
        PassphrasePrompt prompt(m_terminal);
        QVERIFY(prompt.isTerminal());

        std::atomic<bool> guarded = true;
        std::atomic<bool> quiet = true;
        std::thread typist([&] {
            const QByteArray prompts[] = {"> ", "もう一度: "};
            for (qsizetype i = 0; i < lines.size(); ++i) {
                // Typed all the same when the prompt does not come: the read must end.
                quiet = waitFor(prompts[i]) && quiet;
                for (int n = 0; n < 500 && echoes(); ++n)
                    QThread::msleep(10);
                quiet = quiet && !echoes();
                rlimit core{};
                guarded = guarded && ::prctl(PR_GET_DUMPABLE) == 0 &&
                          ::getrlimit(RLIMIT_CORE, &core) == 0 && core.rlim_cur == 0;
                const QByteArray line = lines[i].toUtf8() + '\n';
                quiet = ::write(m_typist, line.constData(), size_t(line.size())) == line.size() &&
                        quiet;
            }
        });
        std::optional<QString> read;
        QString thrown;
        try {
            read = twice ? prompt.askNew(u"> "_s, err) : prompt.ask(u"> "_s, err);
        } catch (const DiaryError& e) {
            thrown = e.message();
        }
        typist.join();
        QVERIFY(guarded);
        QVERIFY(quiet);
        QCOMPARE(thrown, error);
        QCOMPARE(read.has_value(), error.isEmpty());
        if (read)
            QCOMPARE(*read, lines.last());
        waitFor("\n");
        for (const QString& line : lines)
            QVERIFY2(!m_screen.contains(line.toUtf8()), m_screen.constData());
        QVERIFY(echoes());
    }
};

QTEST_GUILESS_MAIN(PassphrasePromptTest)
#include "PassphrasePromptTest.moc"
