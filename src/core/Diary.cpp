#include "core/Diary.h"

#include "core/CodePage932.h"
#include "core/DiaryDate.h"
#include "core/IniFile32.h"

#include <QDir>

namespace {
const QByteArray TitleSection = QByteArrayLiteral("title");
}

Diary::Diary(const QString& programFolder)
    : m_dataDir(QDir(programFolder).filePath(QStringLiteral("data"))), m_store(m_dataDir)
{
    // An existing folder, or one that cannot be made, is no reason to stop: a later write into
    // it reports the failure.
    QDir().mkdir(m_dataDir);
    m_ini = std::make_unique<TIniFile32>(QDir(programFolder).filePath(QStringLiteral("diary.ini")));
}

Diary::~Diary() = default;

bool Diary::hasEntry(const QString& dateKey) const
{
    return m_store.hasEntry(dateKey);
}

bool Diary::hasEntry(double date) const
{
    return hasEntry(DiaryDate::key(date));
}

QString Diary::readBody(const QString& dateKey) const
{
    return m_store.readBody(dateKey);
}

QString Diary::readTitle(const QString& dateKey) const
{
    return CodePage932::decode(m_ini->ReadString(TitleSection, dateKey.toLatin1(), {}));
}

void Diary::writeTitle(const QString& dateKey, const QString& title)
{
    m_ini->WriteString(TitleSection, dateKey.toLatin1(), CodePage932::encode(title));
}

void Diary::saveDay(const QString& dateKey, const QString& title, const QString& body)
{
    const QByteArray storedTitle = CodePage932::encode(title);
    m_store.writeBody(dateKey, body);
    m_ini->WriteString(TitleSection, dateKey.toLatin1(), storedTitle);
}
