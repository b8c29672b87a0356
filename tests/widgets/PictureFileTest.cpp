#include "widgets/PictureFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Pictures read by Qt's own readers where they can be, so that no image-format plugin is loaded
// for the pictures the program shows.
class PictureFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    // A file named without an extension: the bytes alone decide.
    QString write(const QByteArray& bytes)
    {
        static int count = 0;
        const QString path = m_folder.filePath(QStringLiteral("picture%1").arg(++count));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static bool imagePluginLoaded()
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
    }

private slots:
    // First, while this process has loaded no plugin yet.
    void read_bmpAndPng_loadsNoImagePlugin_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // One red pixel each.
        QTest::newRow("BMP") << QByteArray::fromHex(
            "424d3a000000000000003600000028000000010000000100000001001800000000000400000013"
            "0b0000130b000000000000000000000000ff00");
        QTest::newRow("PNG") << QByteArray::fromHex(
            "89504e470d0a1a0a0000000d49484452000000010000000108020000009077"
            "53de0000000c4944415478 9c63f8cfc00000030101 00c9fe92ef0000000049454e44ae426082");
    }

    void read_bmpAndPng_loadsNoImagePlugin()
    {
        QFETCH(QByteArray, bytes);
        const QImage picture = PictureFile::read(write(bytes));
        QCOMPARE(picture.size(), QSize(1, 1));
        QCOMPARE(picture.pixel(0, 0), qRgb(255, 0, 0));
        QVERIFY(!imagePluginLoaded());
    }

    void read_otherFilesAndJunk()
    {
        QVERIFY(PictureFile::read(m_folder.filePath(QStringLiteral("missing"))).isNull());
        QVERIFY(PictureFile::read(write("BM but no bitmap")).isNull());
        QVERIFY(PictureFile::read(write("no picture at all")).isNull());
    }
};

QTEST_MAIN(PictureFileTest)
#include "PictureFileTest.moc"
