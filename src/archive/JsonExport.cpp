#include "archive/JsonExport.h"

#include "core/storage/DiaryError.h"

#include <QJsonDocument>
#include <QJsonObject>

QJsonArray JsonExport::entries(const QByteArray& json, const QString& name, const QString& format,
                               const QString& dateField)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw DiaryError(QStringLiteral("「%1」は JSON として読めません (%2 バイト目: %3)。"
                                        "途中で切れていないか確かめてください。")
                             .arg(name)
                             .arg(error.offset)
                             .arg(error.errorString()));
    const QJsonValue entries = document.object().value(QStringLiteral("entries"));
    bool dated = entries.isArray() && entries.toArray().isEmpty();
    for (const QJsonValue& entry : entries.toArray())
        dated = dated || entry.toObject().contains(dateField);
    if (!document.isObject() || !entries.isArray() || !dated)
        throw DiaryError(
            QStringLiteral("「%1」は %2 の書き出しではありません。").arg(name, format));
    return entries.toArray();
}
