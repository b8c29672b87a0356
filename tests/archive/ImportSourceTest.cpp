#include "archive/ImportSource.h"
#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <iconv.h>
#include <zip.h>

// Each format's reader over the shapes its exports come in, written here as small samples.
class ImportSourceTest : public QObject
{
    Q_OBJECT

private:
    // One line per entry, "day|label|title|text|tags|starred|attachments", then one per file
    // or entry left out.
    static QString shown(const ImportedEntries& read)
    {
        QStringList lines;
        for (const ImportedEntry& e : read.entries)
            lines << QStringList{e.day.toString(Qt::ISODate),
                                 e.label,
                                 e.title,
                                 e.text,
                                 e.tags.join(','),
                                 QString::number(e.starred),
                                 QString::number(e.attachments)}
                         .join('|');
        for (const QString& reason : read.leftOut)
            lines << "left out " + reason;
        return lines.join('\n');
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray encoded(const QString& text, const char* encoding)
    {
        QByteArray in = text.toUtf8();
        QByteArray out(in.size() * 2, '\0');
        iconv_t cd = iconv_open(encoding, "UTF-8");
        char* src = in.data();
        char* dst = out.data();
        size_t inLeft = size_t(in.size()), outLeft = size_t(out.size());
        iconv(cd, &src, &inLeft, &dst, &outLeft);
        iconv_close(cd);
        out.truncate(out.size() - qsizetype(outLeft));
        return out;
    }

    static void writeZip(const QString& path, const QList<std::pair<QString, QByteArray>>& files)
    {
        int error = 0;
        zip_t* zip =
            zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        for (const auto& [name, bytes] : files) {
            zip_source_t* source =
                zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
            zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        }
        zip_close(zip);
    }

private slots:
    void dayOne_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QString>("expected");
        QTest::newRow("late evening in UTC is the next morning in Tokyo")
            << QByteArray("{\"creationDate\":\"2024-01-05T23:30:00Z\",\"timeZone\":\"Asia/"
                          "Tokyo\",\"text\":\"朝\"}")
            << "2024-01-06|08:30||朝||0|0";
        QTest::newRow("New York is behind")
            << QByteArray("{\"creationDate\":\"2024-01-06T03:00:00Z\",\"timeZone\":\"America/"
                          "New_York\",\"text\":\"夜\"}")
            << "2024-01-05|22:00||夜||0|0";
        QTest::newRow("no time zone: the computer's")
            << QByteArray("{\"creationDate\":\"2024-01-05T16:00:00Z\",\"text\":\"夜中\"}")
            << "2024-01-06|01:00||夜中||0|0";
        QTest::newRow("heading is the title")
            << QByteArray("{\"creationDate\":\"2024-01-05T00:00:00Z\",\"text\":\"\\n# "
                          "京都へ\\n\\n本文\\n## 小見出し\"}")
            << "2024-01-05|09:00|京都へ|本文\n## 小見出し||0|0";
        QTest::newRow("escapes go, Markdown stays")
            << QByteArray("{\"creationDate\":\"2024-01-05T00:00:00Z\",\"text\":\"1\\\\. **太字** "
                          "\\\\\\\\ a\\\\_b \\\\あ 😀\"}")
            << "2024-01-05|09:00||1. **太字** \\ a_b \\あ 😀||0|0";
        QTest::newRow("tags, star and attachments")
            << QByteArray("{\"creationDate\":\"2024-01-05T00:00:00Z\",\"text\":\"x\",\"tags\":["
                          "\"旅行\",\"京都\"],\"starred\":true,\"photos\":[{},{}],\"videos\":[{}]}")
            << "2024-01-05|09:00||x|旅行,京都|1|3";
        QTest::newRow("unreadable date left out")
            << QByteArray("{\"uuid\":\"U1\",\"creationDate\":\"きのう\",\"text\":\"x\"}")
            << "left out Journal.json U1: 作成日時「きのう」を読めません";
    }

    void dayOne()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString file = dir.filePath("Journal.json");
        write(file, "{\"metadata\":{},\"entries\":[" + entry + "]}");
        QCOMPARE(shown(ImportSource::read(ImportSource::Format::DayOne, file)), expected);
    }

    void jrnl_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QString>("expected");
        QTest::newRow("date, time, title, tags, star")
            << QByteArray("{\"title\":\"朝\",\"body\":\"起きた\",\"date\":\"2024-01-05\",\"time\":"
                          "\"09:30\",\"tags\":[\"@work\"],\"starred\":true}")
            << "2024-01-05|09:30|朝|起きた|@work|1|0";
        QTest::newRow("a time that is none")
            << QByteArray("{\"title\":\"\",\"body\":\"x\",\"date\":\"2024-01-05\",\"time\":\"朝\"}")
            << "2024-01-05|||x||0|0";
        QTest::newRow("unreadable date left out")
            << QByteArray("{\"title\":\"t\",\"body\":\"x\",\"date\":\"2024-02-30\"}")
            << "left out j.json: 日付「2024-02-30」を読めません (t)";
    }

    void jrnl()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        write(dir.filePath("j.json"), "{\"tags\":{},\"entries\":[" + entry + "]}");
        QCOMPARE(shown(ImportSource::read(ImportSource::Format::Jrnl, dir.filePath("j.json"))),
                 expected);
    }

    void redNotebook_data()
    {
        QTest::addColumn<QString>("month");
        QTest::addColumn<QByteArray>("yaml");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a day's text") << "2024-01.txt" << QByteArray("5: {text: \"雨の日 😀\"}\n")
                                      << "2024-01-05|||雨の日 😀||0|0";
        QTest::newRow("block text and categories")
            << "2024-01.txt"
            << QByteArray(
                   "6:\n  text: |\n    一行目\n    二行目\n  仕事: {会議: null}\n  旅行: null\n")
            << "2024-01-06|||一行目\n二行目\n#仕事 会議\n#旅行||0|0";
        QTest::newRow("a day the month has not") << "2023-02.txt" << QByteArray("29: {text: x}\n")
                                                 << "left out 2023-02.txt: 29 日は月にない日です";
    }

    void redNotebook()
    {
        QFETCH(QString, month);
        QFETCH(QByteArray, yaml);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        write(dir.filePath(month), yaml);
        write(dir.filePath("notes.txt"), "not a month");
        QCOMPARE(shown(ImportSource::read(ImportSource::Format::RedNotebook, dir.path())),
                 expected);
    }

    void zips_readLikeTheirFiles_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QByteArrayList>("contents");
        QTest::addColumn<int>("entries");
        const QByteArray journal =
            "{\"entries\":[{\"creationDate\":\"2024-01-05T00:00:00Z\",\"text\":\"x\"}]}";
        QTest::newRow("Day One, two journals beside photos")
            << int(ImportSource::Format::DayOne)
            << QStringList{"Journal.json", "Travel.json", "photos/a.json"}
            << QByteArrayList{journal, journal, "{}"} << 2;
        QTest::newRow("RedNotebook backup")
            << int(ImportSource::Format::RedNotebook)
            << QStringList{"2024-01.txt", "2024-02.txt", "rednotebook.cfg"}
            << QByteArrayList{"1: {text: a}\n", "1: {text: b}\n2: {text: c}\n", "x"} << 3;
    }

    void zips_readLikeTheirFiles()
    {
        QFETCH(int, format);
        QFETCH(QStringList, names);
        QFETCH(QByteArrayList, contents);
        QFETCH(int, entries);
        QTemporaryDir dir;
        QList<std::pair<QString, QByteArray>> files;
        for (int i = 0; i < names.size(); ++i)
            files.append({names[i], contents[i]});
        writeZip(dir.filePath("export.zip"), files);
        const QString zip = dir.filePath("export.zip");
        QCOMPARE(ImportSource::read(ImportSource::Format(format), zip).entries.size(), entries);
        QCOMPARE(int(*ImportSource::detect(zip)), format);
    }

    void textFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString text = QStringLiteral("今日は雨でした。京都のお寺を見に行きました。");
        QTest::newRow("UTF-8, CR LF")
            << "2024-01-05.txt" << (text + "\r\n二行目\r三行目").toUtf8()
            << "2024-01-05|2024-01-05.txt||" + text + "\n二行目\n三行目||0|0";
        QTest::newRow("UTF-8 with BOM")
            << "20240105.md"
            << "\xEF\xBB\xBF" + text.toUtf8() << "2024-01-05|20240105.md||" + text + "||0|0";
        QTest::newRow("Shift-JIS") << "2024年1月5日" << encoded(text + "～①", "CP932")
                                   << "2024-01-05|2024年1月5日||" + text + "～①||0|0";
        QTest::newRow("EUC-JP") << "2024-01-05" << encoded(text, "EUC-JP")
                                << "2024-01-05|2024-01-05||" + text + "||0|0";
        QTest::newRow("one folder down")
            << "2023/20231231.txt" << QByteArray("a") << "2023-12-31|2023/20231231.txt||a||0|0";
        QTest::newRow("two folders down: not read") << "a/b/20231231.txt" << QByteArray("a") << "";
        QTest::newRow("undated name")
            << "notes.txt" << QByteArray("a") << "left out notes.txt: 名前が日付ではありません";
        QTest::newRow("no such day") << "2023-02-29.txt" << QByteArray("a")
                                     << "left out 2023-02-29.txt: 名前が日付ではありません";
        QTest::newRow("Shift-JIS cut off")
            << "2024-01-07.txt" << encoded(text, "CP932") + "\x82"
            << "left out 2024-01-07.txt: CP932 として正しく読めません";
        QTest::newRow("no text at all") << "2024-01-08.txt" << QByteArray("\x80\x81\xfe\xff\x00", 5)
                                        << "left out 2024-01-08.txt: UTF-8 として正しく読めません";
    }

    void textFolder()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        write(dir.filePath(name), bytes);
        QCOMPARE(shown(ImportSource::read(ImportSource::Format::Text, dir.path())), expected);
    }
};

QTEST_GUILESS_MAIN(ImportSourceTest)
#include "ImportSourceTest.moc"
