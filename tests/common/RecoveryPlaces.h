#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

// Points the recovery folders after the per-user one (the temporary and the runtime folder) into
// a test's own folder while it lives, so that no test writes to /tmp or /var/tmp.
class RecoveryPlaces
{
public:
    explicit RecoveryPlaces(const QString& folder)
        : m_tmp(qgetenv("TMPDIR")), m_runtime(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(folder + QStringLiteral("/tmp")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder + QStringLiteral("/run")));
    }
    ~RecoveryPlaces()
    {
        restore("TMPDIR", m_tmp);
        restore("XDG_RUNTIME_DIR", m_runtime);
    }
    RecoveryPlaces(const RecoveryPlaces&) = delete;
    RecoveryPlaces& operator=(const RecoveryPlaces&) = delete;

private:
    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QByteArray m_tmp;
    QByteArray m_runtime;
};
