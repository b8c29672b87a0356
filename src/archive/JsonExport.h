#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QString>

// The entries array of an export in JSON, the form Day One and jrnl share: an object whose
// "entries" is an array of objects, each with the field that names its date.
class JsonExport
{
public:
    // Throws a DiaryError when json does not parse (with where), or is not what format writes:
    // no "entries" array, or entries none of which has dateField. name and format are used in
    // messages.
    static QJsonArray entries(const QByteArray& json, const QString& name, const QString& format,
                              const QString& dateField);
};
