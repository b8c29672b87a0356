#include "archive/TextFolderReader.h"

#include "archive/ImportFiles.h"
#include "archive/TextDecoder.h"
#include "core/diary/DayStore.h"
#include "core/storage/DiaryError.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

QDate TextFolderReader::dateOfName(const QString& fileName)
{
    static const QRegularExpression dated(
        QStringLiteral("^(?:(\\d{4})-(\\d{2})-(\\d{2})|(\\d{4})(\\d{2})(\\d{2})|"
                       "(\\d{4})年(\\d{1,2})月(\\d{1,2})日)(?:\\.txt|\\.md)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = dated.match(fileName);
    if (!match.hasMatch())
        return {};
    for (int first = 1; first <= 7; first += 3) {
        if (match.hasCaptured(first))
            return QDate(match.captured(first).toInt(), match.captured(first + 1).toInt(),
                         match.captured(first + 2).toInt());
    }
    return {};
}

ImportedEntries TextFolderReader::read(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir() || !info.isReadable())
        throw DiaryError(QStringLiteral("「%1」は読めるフォルダではありません。").arg(path));
    const QDir top(path);
    QStringList names;
    for (const QFileInfo& item :
         top.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        if (item.isDir() && !item.isSymLink()) {
            const QDir below(item.filePath());
            for (const QString& name : below.entryList(
                     QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name))
                names << item.fileName() + QLatin1Char('/') + name;
        } else {
            names << item.fileName();
        }
    }
    ImportedEntries read;
    qint64 order = 0;
    for (const QString& name : std::as_const(names)) {
        const QFileInfo file(top.filePath(name));
        const auto leaveOut = [&](const QString& reason) {
            read.leftOut << QStringLiteral("%1: %2").arg(name, reason);
        };
        if (file.isDir() && !file.isSymLink())
            continue;
        const QDate day = dateOfName(file.fileName());
        if (!day.isValid()) {
            leaveOut(QStringLiteral("名前が日付ではありません"));
            continue;
        }
        if (file.isSymLink() || !file.isFile()) {
            leaveOut(QStringLiteral("ふつうのファイルではありません"));
            continue;
        }
        QString reason;
        std::optional<QString> text;
        try {
            text = TextDecoder::decode(ImportFiles::read(file.filePath(), DayStore::MaxBodyBytes),
                                       reason);
        } catch (const DiaryError& e) {
            reason = e.message();
        }
        if (!text) {
            leaveOut(reason);
            continue;
        }
        ImportedEntry entry;
        entry.day = day;
        entry.label = name;
        entry.order = order++;
        entry.text = *text;
        read.entries << entry;
    }
    return read;
}
