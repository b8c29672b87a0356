#include "core/diary/EncryptedDiaries.h"
#include "core/diary/Diary.h"
#include "core/diary/Settings.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/KdfLimits.h"
#include "core/storage/KeyFile.h"
#include "core/storage/RecoveryCode.h"
#include "core/storage/SafeFile.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString Pass = u"correct horse"_s;

// Every file under folder with its bytes, the lock aside.
QMap<QString, QByteArray> files(const QString& folder)
{
    QMap<QString, QByteArray> all;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        all.insert(QDir(folder).relativeFilePath(path), SafeFile::read(path));
    }
    return all;
}
} // namespace

// A writer of the diary's folder deletes diary.key: the diary must not turn plain.
class EncryptedDiariesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_work;
    QString m_folder;

private slots:
    void initTestCase() { KdfLimits::forNewSlots() = KdfLimits::minimum(); }

    void init()
    {
        m_work = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_work->filePath(u"state"_s)));
        m_folder = m_work->filePath(u"diary"_s);
        Diary diary(m_folder);
        DiaryKey key = DiaryKey::generate();
        const KeyFile file = KeyFile::create(key, Pass, RecoveryCode::generate());
        diary.writeKeyFile(file, std::make_shared<const DiaryKey>(std::move(key)));
        diary.saveDay(u"20240101"_s, u"題"_s, u"secret text"_s);
    }

    void keyFileGone_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<bool>("encrypted");
        QTest::newRow("a sealed title, the record lost") << u"title"_s << true;
        QTest::newRow("a sealed day, the record lost") << u"day"_s << true;
        QTest::newRow("nothing sealed, but the record") << u"record"_s << true;
        QTest::newRow("nothing sealed, the record of an unlock") << u"unlocked"_s << true;
        QTest::newRow("the record, the folder reached through a link") << u"linked"_s << true;
        QTest::newRow("nothing sealed, turned off here") << u"turned off"_s << false;
    }

    void keyFileGone()
    {
        QFETCH(QString, left);
        QFETCH(bool, encrypted);
        if (left == u"unlocked")
            QVERIFY(QDir(m_work->filePath(u"state"_s)).removeRecursively());
        if (left == u"turned off" || left == u"unlocked") {
            Diary diary(m_folder);
            QVERIFY(diary.unlock(Pass));
            if (left == u"turned off")
                diary.removeKeyFile();
        }
        QFile::remove(m_folder + u"/diary.key"_s);
        if (left != u"title")
            SafeFile::write(m_folder + u"/diary.ini"_s, "[data]\r\nleft=10\r\n");
        if (left != u"day")
            QFile::remove(m_folder + u"/data/20240101"_s);
        if (left == u"title" || left == u"day")
            QVERIFY(QDir(m_work->filePath(u"state"_s)).removeRecursively());
        QString folder = m_folder;
        if (left == u"linked") {
            folder = m_work->filePath(u"link"_s);
            QVERIFY(QFile::link(m_folder, folder));
        }
        const auto before = files(m_folder);

        Diary diary(folder);
        QCOMPARE(diary.keyMissing(), encrypted);
        QCOMPARE(diary.isEncrypted(), encrypted);
        if (!encrypted) {
            diary.saveDay(u"20240102"_s, {}, u"plain now"_s);
            QCOMPARE(SafeFile::read(m_folder + u"/data/20240102"_s), "plain now"_ba);
            return;
        }
        const QString why = EncryptedDiaries::noKeyFile(folder).message();
        const std::function<void()> uses[] = {
            [&] { diary.unlock(Pass); },
            [&] { diary.loadDay(u"20240102"_s); },
            [&] { diary.saveDay(u"20240102"_s, u"t"_s, u"typed in plain"_s); },
            [&] { diary.deleteDay(u"20240101"_s); },
        };
        for (const auto& use : uses) {
            try {
                use();
                QFAIL("the diary was used without its key");
            } catch (const DiaryError& error) {
                QCOMPARE(error.message(), why);
            }
        }
        diary.writeSettings(Settings());
        QCOMPARE(files(m_folder), before);
    }
};

QTEST_GUILESS_MAIN(EncryptedDiariesTest)
#include "EncryptedDiariesTest.moc"
