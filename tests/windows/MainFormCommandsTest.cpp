#include "common/WindowFixture.h"
#include "editor/ColorMemo.h"
#include "skin/Scheme.h"
#include "widgets/ImageButton.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {
const QString Friday = QStringLiteral("2024年1月5日 金");
const QString Saturday = QStringLiteral("2024年1月6日 土");
const QString Thursday = QStringLiteral("2024年1月4日 木");
} // namespace

// The day buttons, the keyboard shortcuts, the popup menu and the font, driven by real events
// sent to the shown window.
class MainFormCommandsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TForm1> showForm(WindowFixture& f)
    {
        auto form = f.start();
        form->show();
        if (!QTest::qWaitForWindowActive(form.get()))
            qFatal("the window did not become active");
        return form;
    }

    static QImage picture(const TForm1& form, const QImage& face, const ImageButton* button)
    {
        return Scheme::buttonPicture(face, button->size(), form.skin().SchemeColors.Face);
    }

private slots:
    void shortcuts_data()
    {
        QTest::addColumn<bool>("inTitle");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("saved");
        const int ctrl = Qt::ControlModifier;
        for (bool inTitle : {false, true}) {
            const char* where = inTitle ? "title: " : "body: ";
            const auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(QString::fromLatin1(where) + name)) << inTitle;
            };
            row("Ctrl+.") << int(Qt::Key_Period) << ctrl << Saturday << true;
            row("Ctrl+,") << int(Qt::Key_Comma) << ctrl << Thursday << true;
            row("Ctrl+T") << int(Qt::Key_T) << ctrl << Friday << true;
            row("Ctrl+K") << int(Qt::Key_K) << ctrl << Friday << true;
            row("Ctrl+Shift+T") << int(Qt::Key_T) << int(ctrl | Qt::ShiftModifier) << Friday
                                << false;
            row("Ctrl+Alt+T") << int(Qt::Key_T) << int(ctrl | Qt::AltModifier) << Friday << false;
            row("Ctrl+Shift+.") << int(Qt::Key_Period) << int(ctrl | Qt::ShiftModifier) << Friday
                                << false;
            row("T alone") << int(Qt::Key_T) << 0 << Friday << false;
        }
    }

    void shortcuts()
    {
        QFETCH(bool, inTitle);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, shown);
        QFETCH(bool, saved);
        WindowFixture f;
        auto form = showForm(f);
        form->Memo1->setText("body");
        form->Edit1->setText("title");
        QWidget* target = inTitle ? static_cast<QWidget*>(form->Edit1) : form->Memo1;
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        const auto mods = Qt::KeyboardModifiers(modifiers);
        QTest::keyPress(form->windowHandle(), Qt::Key(key), mods);
        QTest::keyRelease(form->windowHandle(), Qt::Key(key), mods);
        QCOMPARE(form->Label1->text(), shown);
        QCOMPARE(QFile::exists(f.entryPath("20240105")), saved);
        if (!saved || shown == Friday) // still on the day typed in: nothing was lost
            QCOMPARE(form->Edit1->text().startsWith("title"), true);
    }

    void releasingCtrlBeforeTheKey_doesNothing()
    {
        WindowFixture f;
        auto form = showForm(f);
        form->Memo1->setFocus();
        QWindow* window = form->windowHandle();
        QTest::keyPress(window, Qt::Key_Control);
        QTest::keyPress(window, Qt::Key_Period, Qt::ControlModifier);
        QTest::keyRelease(window, Qt::Key_Control);
        QTest::keyRelease(window, Qt::Key_Period, Qt::NoModifier);
        QCOMPARE(form->Label1->text(), Friday);
    }

    void ctrlK_leavesTheTitleWhole()
    {
        WindowFixture f;
        auto form = showForm(f);
        form->Edit1->setText("keep all of this");
        form->Edit1->setFocus();
        form->Edit1->setCursorPosition(0);
        QTest::keyClick(form->windowHandle(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(form->Edit1->text(), QStringLiteral("keep all of this"));
    }

    void dayButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("mouseButton");
        QTest::addColumn<bool>("releaseOutside");
        QTest::addColumn<QString>("shown");
        QTest::newRow("next") << "Yr" << int(Qt::LeftButton) << false << Saturday;
        QTest::newRow("previous") << "Yl" << int(Qt::LeftButton) << false << Thursday;
        QTest::newRow("next, right button") << "Yr" << int(Qt::RightButton) << false << Saturday;
        QTest::newRow("next, released outside") << "Yr" << int(Qt::LeftButton) << true << Saturday;
        QTest::newRow("today") << "today" << int(Qt::LeftButton) << false << Friday;
        QTest::newRow("calendar") << "cal" << int(Qt::MiddleButton) << false << Friday;
    }

    void dayButtons()
    {
        QFETCH(QString, button);
        QFETCH(int, mouseButton);
        QFETCH(bool, releaseOutside);
        QFETCH(QString, shown);
        WindowFixture f;
        auto form = showForm(f);
        form->Memo1->setText("left behind");
        ImageButton* target = form->findChild<ImageButton*>(button);
        QVERIFY(target);
        const auto faces = std::map<QString, std::pair<QImage, QImage>>{
            {"Yr", {form->skin().Image2, form->skin().Image3}},
            {"Yl", {form->skin().Image4, form->skin().Image5}},
            {"today", {form->skin().Image7, form->skin().Image8}},
            {"cal", {form->skin().Image9, form->skin().Image10}}};
        const auto& [normal, pressed] = faces.at(button);
        QWindow* window = form->windowHandle();
        const QPoint centre = target->geometry().center();
        QTest::mousePress(window, Qt::MouseButton(mouseButton), {}, centre);
        QCOMPARE(target->picture(), picture(*form, pressed, target));
        QTest::mouseRelease(window, Qt::MouseButton(mouseButton), {},
                            releaseOutside ? QPoint(10, 300) : centre);
        QCOMPARE(target->picture(), picture(*form, normal, target));
        QCOMPARE(form->Label1->text(), shown);
        QCOMPARE(f.read("data/20240105"), QByteArray("left behind"));
    }

    void doubleClick_movesTwoDays()
    {
        WindowFixture f;
        auto form = showForm(f);
        QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {}, form->Yr->geometry().center());
        QCOMPARE(form->Label1->text(), QStringLiteral("2024年1月7日 日"));
    }

    void failedSave_stopsTheCommand_andKeepsThePressedFace()
    {
        WindowFixture f;
        auto form = showForm(f);
        QVERIFY(QDir(f.path("data")).removeRecursively());
        f.write("data", "a file where the entries folder was");
        form->Memo1->setText("unsaved");
        QWindow* window = form->windowHandle();
        QTest::mouseClick(window, Qt::LeftButton, {}, form->Yr->geometry().center());
        QCOMPARE(
            f.messages,
            QStringList(QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(f.entryPath("20240105"))));
        QCOMPARE(form->Label1->text(), Friday);
        QCOMPARE(form->Memo1->text(), QStringLiteral("unsaved"));
        QCOMPARE(form->Yr->picture(), picture(*form, form->skin().Image3, form->Yr));
    }

    void popupMenu_itemsInOrder_withHiddenItemsAndCheckMarks()
    {
        WindowFixture f;
        auto form = f.start();
        QStringList visible;
        QStringList hidden;
        for (QAction* action : form->PopupMenu1->actions())
            (action->isVisible() ? visible : hidden) << action->text();
        QCOMPARE(visible,
                 (QStringList{"Font", "Setting", "モルナの日記", "Scroll Bar", "",
                              "検索... (Ctrl+F)", "振り返り... (Ctrl+L)", "書き出し...",
                              "バックアップ...", "読み込み...", "暗号化...", "この日を削除..."}));
        QCOMPARE(hidden, (QStringList{"forwordd", "back", "today", "cal"}));
        QVERIFY(form->N1->isCheckable() && form->N1->isChecked());
        QVERIFY(form->ScrollBar1->isCheckable() && !form->ScrollBar1->isChecked());
        QVERIFY(!form->Font1->isCheckable());
    }

    void popupMenu_opensBelowTheMenuButton_andAtTheMouseOnTheBackground()
    {
        WindowFixture f;
        auto form = showForm(f);
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, QPoint(270, 10));
        QTRY_VERIFY(form->PopupMenu1->isVisible());
        QCOMPARE(form->PopupMenu1->pos(), form->mapToGlobal(QPoint(263, 19)));
        form->PopupMenu1->hide();

        form->Image1->customContextMenuRequested(QPoint(100, 310));
        QTRY_VERIFY(form->PopupMenu1->isVisible());
        QCOMPARE(form->PopupMenu1->pos(), form->Image1->mapToGlobal(QPoint(100, 310)));
        form->PopupMenu1->hide();
    }

    void toggles_areWrittenAtClose_andReadAtTheNextStart()
    {
        WindowFixture f;
        {
            auto form = f.start();
            form->N1->trigger();
            form->ScrollBar1->trigger();
            QCOMPARE(form->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QVERIFY(form->close());
        }
        const QByteArray ini = f.read("diary.ini");
        QVERIFY(ini.contains("Mnikki=0\r\n"));
        QVERIFY(ini.contains("scrollbar=1\r\n"));
        auto again = f.start();
        QVERIFY(!again->N1->isChecked());
        QVERIFY(again->ScrollBar1->isChecked());
        again->ScrollBar1->trigger();
        QCOMPARE(again->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void font_chosenIsShown_butOnlyNameAndSizeAreKept()
    {
        WindowFixture f;
        {
            auto form = f.start();
            QFont offered;
            Dialogs::seams().font = [&](const QFont& current) {
                offered = current;
                QFont chosen(QStringLiteral("IPAGothic"), 14);
                chosen.setBold(true);
                chosen.setUnderline(true);
                return std::optional<QFont>(chosen);
            };
            form->Font1->trigger();
            QCOMPARE(offered.family(), QStringLiteral("ＭＳ Ｐゴシック"));
            QCOMPARE(form->Memo1->font().family(), QStringLiteral("IPAGothic"));
            QVERIFY(form->Memo1->font().bold());
            QVERIFY(!form->Memo1->font().underline());
            QVERIFY(form->Memo1->isEnabled());
            QVERIFY(form->close());
        }
        QVERIFY(f.read("diary.ini").contains("fontname=IPAGothic\r\nfontsize=14\r\n"));
        auto again = f.start();
        QCOMPARE(again->Memo1->font().pointSize(), 14);
        QVERIFY(!again->Memo1->font().bold());
    }

    void font_whoseNameTheSettingsFileCannotHold_isRefused()
    {
        WindowFixture f;
        auto form = f.start();
        const QFont before = form->Memo1->font();
        Dialogs::seams().font = [](const QFont&) {
            return std::optional<QFont>(QFont("Caf\u00E9🌈"));
        };
        form->Font1->trigger();
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(form->Memo1->font(), before);
        QVERIFY(form->close());
    }

    void font_cancelled_leavesTheFont()
    {
        WindowFixture f;
        auto form = f.start();
        const QFont before = form->Memo1->font();
        Dialogs::seams().font = [](const QFont&) { return std::optional<QFont>(); };
        form->Font1->trigger();
        QCOMPARE(form->Memo1->font(), before);
        QVERIFY(form->Memo1->isEnabled());
    }
};

QTEST_MAIN(MainFormCommandsTest)
#include "MainFormCommandsTest.moc"
