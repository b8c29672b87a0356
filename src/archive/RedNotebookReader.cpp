#include "archive/RedNotebookReader.h"

#include "archive/ImportFiles.h"
#include "core/storage/DiaryError.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <yaml-cpp/yaml.h>

namespace {

const QRegularExpression& monthName()
{
    static const QRegularExpression name(QStringLiteral("^(\\d{4})-(\\d{2})\\.txt$"));
    return name;
}

QString text(const YAML::Node& node)
{
    return node.IsScalar() ? QString::fromStdString(node.as<std::string>()) : QString();
}

} // namespace

bool RedNotebookReader::isMonthFile(const QString& name)
{
    return monthName().match(name.section(QLatin1Char('/'), -1)).hasMatch();
}

void RedNotebookReader::readMonth(const QByteArray& yaml, const QString& name,
                                  ImportedEntries& into)
{
    const QRegularExpressionMatch month = monthName().match(name.section(QLatin1Char('/'), -1));
    YAML::Node days;
    try {
        days = YAML::Load(yaml.toStdString());
    } catch (const YAML::Exception& e) {
        throw DiaryError(QStringLiteral("「%1」は YAML として読めません: %2。途中で切れていないか"
                                        "確かめてください。")
                             .arg(name, QString::fromStdString(e.what())));
    }
    if (days.IsNull())
        return;
    if (!days.IsMap())
        throw DiaryError(
            QStringLiteral("「%1」は RedNotebook の月のファイルではありません。").arg(name));
    for (const auto& day : days) {
        const QDate date(month.captured(1).toInt(), month.captured(2).toInt(),
                         QString::fromStdString(day.first.Scalar()).toInt());
        if (!date.isValid()) {
            into.leftOut << QStringLiteral("%1: %2 日は月にない日です")
                                .arg(name, QString::fromStdString(day.first.Scalar()));
            continue;
        }
        ImportedEntry entry;
        entry.day = date;
        if (!day.second.IsMap()) {
            into.leftOut << QStringLiteral("%1: %2 日を読めません").arg(name).arg(date.day());
            continue;
        }
        QStringList categories;
        for (const auto& field : day.second) {
            const QString key = QString::fromStdString(field.first.Scalar());
            if (key == QLatin1String("text")) {
                entry.text = text(field.second);
                continue;
            }
            if (!field.second.IsMap()) {
                categories << QStringLiteral("#%1").arg(key);
                continue;
            }
            for (const auto& item : field.second)
                categories << QStringLiteral("#%1 %2").arg(key, text(item.first));
        }
        while (entry.text.endsWith(QLatin1Char('\n')))
            entry.text.chop(1);
        if (!categories.isEmpty())
            entry.text += (entry.text.isEmpty() ? QString() : QStringLiteral("\n")) +
                          categories.join(QLatin1Char('\n'));
        into.entries << entry;
    }
}

ImportedEntries RedNotebookReader::read(const QString& path)
{
    QList<ImportFiles::File> months;
    if (QFileInfo(path).isDir()) {
        const QDir folder(path);
        for (const QString& name : folder.entryList(QDir::Files | QDir::NoSymLinks, QDir::Name)) {
            if (isMonthFile(name))
                months.append({name, ImportFiles::read(folder.filePath(name))});
        }
    } else if (ImportFiles::isZip(path)) {
        months = ImportFiles::fromZip(path, isMonthFile);
    }
    if (months.isEmpty())
        throw DiaryError(
            QStringLiteral("「%1」に RedNotebook の月のファイル (YYYY-MM.txt) がありません。")
                .arg(path));
    ImportedEntries read;
    for (const ImportFiles::File& month : months)
        readMonth(month.bytes, month.name, read);
    return read;
}
