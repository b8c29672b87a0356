#pragma once

#include <QProcess>
#include <QString>

// Marks a file or folder immutable (chattr +i), which stops every write to it, root's included:
// the permission bits stop nobody when the tests run as root. Lifted again when it goes.
class Immutable
{
public:
    explicit Immutable(QString path) : m_path(std::move(path)) { m_set = run("+i"); }
    ~Immutable() { lift(); }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    bool isSet() const { return m_set; }
    void lift()
    {
        if (m_set)
            run("-i");
        m_set = false;
    }

private:
    bool run(const char* flag) const
    {
        return QProcess::execute(QStringLiteral("chattr"), {QLatin1String(flag), m_path}) == 0;
    }

    QString m_path;
    bool m_set = false;
};

// The tests that need it fail, never skip, where the file system has no immutable flag.
#define REQUIRE_IMMUTABLE(immutable)                                                               \
    QVERIFY2((immutable).isSet(), "chattr +i is needed for this test and failed here")
