#include "app/DisplayEnvironment.h"

QProcessEnvironment DisplayEnvironment::adjusted(const QProcessEnvironment& env, bool platformGiven)
{
    QProcessEnvironment result = env;
    result.insert(QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"), QStringLiteral("0"));
    result.insert(QStringLiteral("QT_FONT_DPI"), QStringLiteral("96"));
    result.remove(QStringLiteral("QT_SCALE_FACTOR"));
    result.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));

    const bool wayland = !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
                         env.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
    if (wayland && !platformGiven && env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty() &&
        !env.value(QStringLiteral("DISPLAY")).isEmpty())
        result.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return result;
}

void DisplayEnvironment::apply(bool platformGiven)
{
    const QProcessEnvironment now = QProcessEnvironment::systemEnvironment();
    const QProcessEnvironment wanted = adjusted(now, platformGiven);
    for (const QString& key : now.keys()) {
        if (!wanted.contains(key))
            qunsetenv(key.toLocal8Bit().constData());
    }
    for (const QString& key : wanted.keys()) {
        if (!now.contains(key) || now.value(key) != wanted.value(key))
            qputenv(key.toLocal8Bit().constData(), wanted.value(key).toLocal8Bit());
    }
}
