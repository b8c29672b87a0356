#include "core/Diary.h"

#include "core/CodePage932.h"
#include "core/DiaryDate.h"
#include "core/DiaryLock.h"
#include "core/IniFile32.h"
#include "core/SafeFile.h"
#include "core/Spelling.h"

#include <QDir>

namespace {
const QByteArray TitleSection = QByteArrayLiteral("title");
}

Diary::Diary(const QString& programFolder)
    : m_programFolder(programFolder),
      m_dataDir(QDir(programFolder).filePath(QStringLiteral("data"))), m_store(m_dataDir)
{
    // Before anything is read or cleaned up: another copy may be in the middle of a save.
    m_lock = std::make_unique<DiaryLock>(programFolder);
    // An existing folder, or one that cannot be made, is no reason to stop: a later write into
    // it reports the failure.
    SafeFile::makeFolder(m_dataDir);
    m_ini = std::make_unique<TIniFile32>(QDir(programFolder).filePath(QStringLiteral("diary.ini")));
}

Diary::~Diary() = default;

void Diary::removeLeftovers() const
{
    SafeFile::removeLeftovers(m_programFolder);
    SafeFile::removeLeftovers(m_dataDir);
    // diary.ini may be a link to a file elsewhere, beside which its saves are made.
    SafeFile::removeLeftoversOf(m_ini->FileName());
}

QList<std::pair<QByteArray, QByteArray>> Diary::titles() const
{
    return m_ini->ReadSectionValues(TitleSection);
}

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
    const QByteArray key = dateKey.toLatin1();
    const QByteArray stored = m_ini->ReadString(TitleSection, key, {});
    const QByteArray bytes = Spelling(stored, Spelling::Breaks::Kept).bytesFor(title);
    // An unchanged title leaves diary.ini as it is. An empty one is written all the same: the
    // key line it adds is how an untitled day has always been stored.
    if (bytes.isEmpty() || bytes != stored)
        m_ini->WriteString(TitleSection, key, bytes);
}

void Diary::saveDay(const QString& dateKey, const QString& title, const QString& body)
{
    // Converted first: a title the code page cannot hold stops the save before any write.
    Spelling(m_ini->ReadString(TitleSection, dateKey.toLatin1(), {}), Spelling::Breaks::Kept)
        .bytesFor(title);
    m_store.writeBody(dateKey, body);
    writeTitle(dateKey, title);
}
