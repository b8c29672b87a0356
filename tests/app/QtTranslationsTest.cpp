#include "app/QtTranslations.h"

#include <QApplication>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>

namespace {
// The texts of a dialog's push buttons, without their accelerator marks; "OK" is left out, since
// Japanese keeps it as it is.
QStringList buttonTexts(const QWidget& dialog)
{
    QStringList texts;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        const QString text = button->text().remove('&');
        if (text != "OK")
            texts << text;
    }
    return texts;
}

bool allJapanese(const QStringList& texts)
{
    return std::all_of(texts.begin(), texts.end(), [](const QString& text) {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0x7f; });
    });
}
} // namespace

class QtTranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void dialogButtons_speakTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("ja_JP") << "ja_JP" << true << "キャンセル";
        QTest::newRow("C") << "C" << false << "Cancel";
        QTest::newRow("en_US, no translation needed") << "en_US" << false << "Cancel";
    }

    void dialogButtons_speakTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(bool, japanese);
        QFETCH(QString, cancel);
        const QtTranslations translations{QLocale(locale)};
        QCOMPARE(translations.installed(), japanese);

        QFontDialog fontDialog;
        const QStringList fontButtons = buttonTexts(fontDialog);
        QVERIFY2(fontButtons.contains(cancel), qPrintable(fontButtons.join('|')));
        QCOMPARE(allJapanese(fontButtons), japanese);

        QMessageBox box(QMessageBox::Question, "t", "q",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        const QStringList boxButtons = buttonTexts(box);
        QCOMPARE(boxButtons.size(), 3);
        QVERIFY2(boxButtons.contains(cancel), qPrintable(boxButtons.join('|')));
        QCOMPARE(allJapanese(boxButtons), japanese);
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "QtTranslationsTest.moc"
