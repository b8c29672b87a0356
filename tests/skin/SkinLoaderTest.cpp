#include "skin/SkinLoader.h"

#include "core/diary/Settings.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
const QRgb BuiltInColour = qRgb(0xAA, 0xAA, 0xAA);
const QRgb UserColour = qRgb(0x12, 0x34, 0x56);
const QRgb BuiltInMark = qRgb(0xFF, 0, 0);
const QRgb UserMark = qRgb(0, 0, 0xFF);

QImage plain(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A strip keyed by its top-left colour, with a mark in the next-day face.
QImage strip(int width, QRgb key, QRgb mark)
{
    QImage image = plain(QSize(width, 22), key);
    for (int x = 30; x < 40; ++x)
        image.setPixel(x, 5, mark);
    return image;
}
} // namespace

// Which of the user's pictures take the place of the built-in ones.
class SkinLoaderTest : public QObject
{
    Q_OBJECT

private slots:
    void load_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<bool>("schemeTaken");
        QTest::addColumn<bool>("buttonsTaken");
        // Whether the paths stay in the settings, and how many files are reported.
        QTest::addColumn<bool>("pathsKept");
        QTest::addColumn<int>("refused");
        QTest::newRow("none named") << ""
                                    << "" << false << false << false << 0;
        QTest::newRow("both good") << "good"
                                   << "good" << true << true << true << 0;
        QTest::newRow("missing files are forgotten") << "missing"
                                                     << "missing" << false << false << false << 0;
        QTest::newRow("other widths are left out, quietly")
            << "wide"
            << "wide" << false << false << true << 0;
        QTest::newRow("no pictures are reported") << "text"
                                                  << "text" << false << false << true << 2;
    }

    void load()
    {
        QFETCH(QString, scheme);
        QFETCH(QString, buttons);
        QFETCH(bool, schemeTaken);
        QFETCH(bool, buttonsTaken);
        QFETCH(bool, pathsKept);
        QFETCH(int, refused);
        QTemporaryDir dir;
        const auto file = [&](const QString& kind, const QImage& good, const QImage& wide) {
            const QString path = dir.filePath(kind + QString::number(good.width()) + ".png");
            if (kind == "good")
                good.save(path, "PNG");
            else if (kind == "wide")
                wide.save(path, "PNG");
            else if (QFile text(path); kind == "text" && text.open(QIODevice::WriteOnly))
                text.write("no picture");
            return kind.isEmpty() ? QString() : path;
        };
        Settings settings;
        settings.schemePath =
            file(scheme, plain({16, 16}, UserColour), plain({20, 16}, UserColour));
        settings.buttonPath = file(buttons, strip(104, qRgb(255, 255, 255), UserMark),
                                   strip(100, qRgb(255, 255, 255), UserMark));

        const SkinLoader::Loaded loaded = SkinLoader::load(
            settings, plain({16, 16}, BuiltInColour), strip(104, qRgb(0, 255, 0), BuiltInMark),
            [](const QString& path) { return QImage(path); });

        QCOMPARE(loaded.schemePath, pathsKept ? settings.schemePath : QString());
        QCOMPARE(loaded.buttonPath, pathsKept ? settings.buttonPath : QString());
        QCOMPARE(loaded.refused.size(), refused);
        if (refused)
            QVERIFY(loaded.refused.first().contains(settings.schemePath));
        const QRgb colour = schemeTaken ? UserColour : BuiltInColour;
        QCOMPARE(loaded.skin.SchemeColors.Face, colour);
        for (const QPoint p : {QPoint(0, 0), QPoint(160, 10), QPoint(100, 140), QPoint(180, 149)})
            QCOMPARE(loaded.skin.Image6().pixel(p), colour);
        QCOMPARE(loaded.skin.Image2.pixel(4, 5), buttonsTaken ? UserMark : BuiltInMark);
        QCOMPARE(loaded.skin.Image2.pixel(0, 0), colour);
    }
};

QTEST_GUILESS_MAIN(SkinLoaderTest)
#include "SkinLoaderTest.moc"
