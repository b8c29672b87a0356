#include "core/tasks/DiaryExport.h"

#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace Qt::Literals::StringLiterals;

// A day whose file is a link is left out of an export and named, as search skips it; a day that
// fails to read stops the export.
class DiaryExportTest : public QObject
{
    Q_OBJECT

private slots:
    void strangeDay_leftOutAndNamed_unreadableDayStops_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("stopped"); // the error, or empty when the export finished
        QTest::newRow("a link to a file outside") << u"link"_s << QString();
        QTest::newRow("a read that fails") << u"fault"_s << u"2024年1月5日 金 の日記を読めません"_s;
    }

    void strangeDay_leftOutAndNamed_unreadableDayStops()
    {
        QFETCH(QString, kind);
        QFETCH(QString, stopped);
        const QTemporaryDir folder;
        const QString day = folder.filePath(u"data/20240105"_s);
        QVERIFY(QDir(folder.path()).mkpath(u"data"_s));
        SafeFile::write(folder.filePath(u"data/20240104"_s), "mine"_ba);
        SafeFile::write(folder.filePath(u"outside"_s), "not the diary's"_ba);
        if (kind == u"link")
            QVERIFY(QFile::link(folder.filePath(u"outside"_s), day));
        else
            SafeFile::write(day, "x"_ba);
        SafeFile::faultHook() = [&](SafeFile::Step step, const QString& path) {
            return kind == u"fault" && step == SafeFile::Step::Read && path == day ? EIO : 0;
        };
        const auto unhook = qScopeGuard([] { SafeFile::faultHook() = {}; });
        try {
            const DiaryExport::Result result =
                DiaryExport::render(folder.path(), DiaryExport::Format::Text);
            QCOMPARE(stopped, QString());
            QCOMPARE(result.days, 1);
            QVERIFY(!result.document.contains("diary's"));
            QVERIFY(DiaryExport::summary(result.days, u"out.txt"_s, result.leftOut)
                        .contains(u"2024年1月5日 金"_s));
        } catch (const DiaryError& error) {
            QVERIFY2(!stopped.isEmpty() && error.message().startsWith(stopped),
                     qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(DiaryExportTest)
#include "DiaryExportTest.moc"
