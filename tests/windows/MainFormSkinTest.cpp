#include "common/WindowFixture.h"
#include "editor/ColorMemo.h"
#include "widgets/ImageButton.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {
QRgb rgb(unsigned value)
{
    return qRgb((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

QRgb textColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText).rgb();
}

bool holds(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour)
                return true;
        }
    }
    return false;
}
} // namespace

// The look built at start-up as the window shows it; which pictures are taken is the skin
// loader's test.
class MainFormSkinTest : public QObject
{
    Q_OBJECT

private:
    static void setPaths(WindowFixture& f, const QString& scheme, const QString& buttons)
    {
        f.write("diary.ini", "[data]\r\nschemepath=" + scheme.toUtf8() +
                                 "\r\nbuttonpath=" + buttons.toUtf8() + "\r\n");
    }

private slots:
    void noUserPictures_showTheBuiltInLook()
    {
        WindowFixture f;
        auto form = f.start();
        const TSchemeColors& c = form->skin().SchemeColors;
        QCOMPARE(c.Face, rgb(0xFFE5C9));
        QCOMPARE(form->palette().color(QPalette::Window).rgb(), rgb(0xFFE5C9));
        QCOMPARE(form->Memo1->palette().color(QPalette::Base).rgb(), rgb(0xFFFBF5));
        QCOMPARE(form->Edit1->palette().color(QPalette::Base).rgb(), rgb(0xFFFBF5));
        QCOMPARE(form->Memo1->palette().color(QPalette::Text).rgb(), rgb(0x000000));
        QCOMPARE(textColour(form->Label1), rgb(0x400000));
        QCOMPARE(textColour(form->Label3), rgb(0xFFFBF5));
        QCOMPARE(textColour(form->Label4), rgb(0x505050));
        for (const QLabel* label : {form->Label6, form->Label7, form->Label8, form->Label9})
            QCOMPARE(textColour(label), rgb(0x8C6932));

        const QImage background = form->grab().toImage();
        QCOMPARE(background.size(), QSize(320, 320));
        QCOMPARE(background.pixel(0, 0), c.Outline);
        QCOMPARE(background.pixel(4, 100), c.PanelLeft);
        QCOMPARE(background.pixel(315, 100), c.PanelRight);
        QCOMPARE(background.pixel(18, 99), c.BoxBorder);
        QCOMPARE(background.pixel(19, 100), c.BoxFill);
        QCOMPARE(form->skin().Image6().size(), QSize(181, 150));
        QCOMPARE(form->skin().Image6().pixel(176, 100), c.PanelRight);

        // The green of the built-in strip never shows: it became the panel face.
        for (const ImageButton* button : {form->Yl, form->Yr, form->today, form->cal}) {
            QVERIFY(!holds(button->picture(), rgb(0x00FF00)));
            QCOMPARE(button->picture().pixel(0, 0), c.Face);
        }
        QVERIFY(f.messages.isEmpty());
    }

    void missingUserPictures_forgetTheirPaths()
    {
        WindowFixture f;
        setPaths(f, f.path("gone.png"), f.path("gone too.png"));
        auto form = f.start();
        QCOMPARE(form->settings().schemePath, QString());
        QCOMPARE(form->settings().buttonPath, QString());
        QVERIFY(form->close());
        QVERIFY(f.read("diary.ini").contains("schemepath=\r\nbuttonpath=\r\n"));
    }

    void notAPicture_isReported_theBuiltInLookStays_andTheDayIsShown()
    {
        WindowFixture f;
        f.write("broken.png", "this is not a picture");
        setPaths(f, f.path("broken.png"), QString());
        auto form = f.start();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(f.messages.first().contains(f.path("broken.png")));
        QCOMPARE(form->skin().SchemeColors.Face, rgb(0xFFE5C9));
        QCOMPARE(form->settings().schemePath, f.path("broken.png"));
        QCOMPARE(form->Label1->text(), QStringLiteral("2024年1月5日 金"));
    }
};

QTEST_MAIN(MainFormSkinTest)
#include "MainFormSkinTest.moc"
