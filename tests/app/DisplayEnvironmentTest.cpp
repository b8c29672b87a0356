#include "app/DisplayEnvironment.h"

#include <QTest>

class DisplayEnvironmentTest : public QObject
{
    Q_OBJECT

private slots:
    // Each row: the environment as "KEY=value" entries, whether -platform was given, and the
    // platform Qt is then told to take ("-" for none).
    void platform_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("platformGiven");
        QTest::addColumn<QString>("platform");
        QTest::newRow("X11 session")
            << QStringList{"DISPLAY=:0", "XDG_SESSION_TYPE=x11"} << false << "-";
        QTest::newRow("Wayland with XWayland")
            << QStringList{"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0"} << false << "xcb";
        QTest::newRow("Wayland session type only")
            << QStringList{"DISPLAY=:1", "XDG_SESSION_TYPE=wayland"} << false << "xcb";
        QTest::newRow("Wayland without XWayland")
            << QStringList{"WAYLAND_DISPLAY=wayland-0"} << false << "-";
        QTest::newRow("user chose wayland")
            << QStringList{"DISPLAY=:0", "WAYLAND_DISPLAY=w", "QT_QPA_PLATFORM=wayland"} << false
            << "wayland";
        QTest::newRow("user chose -platform")
            << QStringList{"DISPLAY=:0", "WAYLAND_DISPLAY=w"} << true << "-";
        QTest::newRow("offscreen kept")
            << QStringList{"QT_QPA_PLATFORM=offscreen"} << false << "offscreen";
    }

    void platform()
    {
        QFETCH(QStringList, entries);
        QFETCH(bool, platformGiven);
        QFETCH(QString, platform);
        DisplayEnvironment::Variables env;
        for (const QString& entry : entries)
            env.insert(entry.section('=', 0, 0).toUtf8(), entry.section('=', 1).toUtf8());
        const auto result = DisplayEnvironment::adjusted(env, platformGiven);
        QCOMPARE(QString::fromUtf8(result.value("QT_QPA_PLATFORM", "-")), platform);
    }

    void desktopScale_neverScalesTheWindow()
    {
        DisplayEnvironment::Variables env;
        env.insert("QT_SCALE_FACTOR", "2");
        env.insert("QT_SCREEN_SCALE_FACTORS", "DP-1=2");
        env.insert("QT_ENABLE_HIGHDPI_SCALING", "1");
        env.insert("QT_FONT_DPI", "192");
        const auto result = DisplayEnvironment::adjusted(env, false);
        QCOMPARE(result.value("QT_ENABLE_HIGHDPI_SCALING"), "0");
        QCOMPARE(result.value("QT_FONT_DPI"), "96");
        QVERIFY(!result.contains("QT_SCALE_FACTOR"));
        QVERIFY(!result.contains("QT_SCREEN_SCALE_FACTORS"));
    }

    void apply_changesThisProcess()
    {
        qputenv("QT_SCALE_FACTOR", "3");
        qputenv("QT_FONT_DPI", "144");
        DisplayEnvironment::apply(false);
        QVERIFY(!qEnvironmentVariableIsSet("QT_SCALE_FACTOR"));
        QCOMPARE(qgetenv("QT_FONT_DPI"), "96");
        QCOMPARE(qgetenv("QT_ENABLE_HIGHDPI_SCALING"), "0");
    }
};

QTEST_GUILESS_MAIN(DisplayEnvironmentTest)
#include "DisplayEnvironmentTest.moc"
