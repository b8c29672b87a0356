#include "windows/UnlockFlow.h"
#include "core/diary/Diary.h"
#include "core/diary/Settings.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/KdfLimits.h"
#include "core/storage/KeyFile.h"
#include "core/storage/RecoveryCode.h"
#include "skin/Skin.h"
#include "widgets/Dialogs.h"
#include "windows/PasswordForm.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <sys/prctl.h>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString Pass = u"correct horse"_s;

bool guarded()
{
    rlimit core{};
    return ::prctl(PR_GET_DUMPABLE) == 0 && ::getrlimit(RLIMIT_CORE, &core) == 0 &&
           core.rlim_cur == 0;
}
} // namespace

class UnlockFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KdfLimits::forNewSlots() = KdfLimits::minimum(); }
    void cleanup() { Dialogs::resetSeams(); }

    void run_data()
    {
        QTest::addColumn<QString>("diary");
        QTest::addColumn<bool>("prompted");
        QTest::newRow("key file deleted: nothing to ask") << u"key gone"_s << false;
        QTest::newRow("encrypted") << u"encrypted"_s << true;
        QTest::newRow("plain, with the settings' password") << u"password"_s << true;
    }

    // The process is guarded before a prompt shows; what is typed leaves the field with it.
    void run()
    {
        QFETCH(QString, diary);
        QFETCH(bool, prompted);
        QTemporaryDir work;
        qputenv("XDG_STATE_HOME", QFile::encodeName(work.filePath(u"state"_s)));
        const QString folder = work.filePath(u"diary"_s);
        Settings settings;
        if (diary == u"password") {
            settings.usePassword = true;
            settings.password = u"pw"_s;
        } else {
            Diary made(folder);
            DiaryKey key = DiaryKey::generate();
            const KeyFile file = KeyFile::create(key, Pass, RecoveryCode::generate());
            made.writeKeyFile(file, std::make_shared<const DiaryKey>(std::move(key)));
        }
        if (diary == u"key gone")
            QVERIFY(QFile::remove(folder + u"/diary.key"_s));
        ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
        rlimit core{};
        ::getrlimit(RLIMIT_CORE, &core);
        core.rlim_cur = core.rlim_max;
        ::setrlimit(RLIMIT_CORE, &core);
        if (core.rlim_max == 0)
            QSKIP("core files are off for good here");

        Diary opened(folder);
        bool shown = false;
        bool wasGuarded = false;
        bool emptied = false;
        Dialogs::seams().error = [](const QString&) {};
        Dialogs::seams().exec = [&](QDialog& dialog) {
            shown = true;
            wasGuarded = guarded();
            auto& prompt = dynamic_cast<TForm5&>(dialog);
            prompt.show();
            QTest::keyClicks(prompt.Edit2, diary == u"password" ? u"pw"_s : Pass);
            prompt.SpeedButton3->click();
            emptied = prompt.Edit2->text().isEmpty();
            return prompt.result();
        };
        int unlocked = 0;
        const Skin skin = Skin::build(QImage(u":/scheme.png"_s), QImage(u":/buttons.png"_s));
        UnlockFlow flow(
            nullptr, skin, opened, settings, [] {}, [&] { ++unlocked; });
        QVERIFY(flow.run());
        QCOMPARE(shown, prompted);
        QCOMPARE(wasGuarded, prompted);
        QCOMPARE(emptied, prompted);
        QVERIFY(guarded());
        QCOMPARE(opened.isUnlocked(), diary != u"key gone");
        QCOMPARE(unlocked, diary == u"encrypted" ? 1 : 0);
    }
};

QTEST_MAIN(UnlockFlowTest)
#include "UnlockFlowTest.moc"
