#include "widgets/LineEditAccessible.h"
#include "widgets/PasswordEdit.h"

#include <QTest>

namespace {
// The texts of the changes a screen reader is told of.
QStringList told;

void record(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::TextInserted)
        told << static_cast<QAccessibleTextInsertEvent*>(event)->textInserted();
    if (event->type() == QAccessible::TextRemoved)
        told << static_cast<QAccessibleTextRemoveEvent*>(event)->textRemoved();
    if (event->type() == QAccessible::TextUpdated) {
        const auto* updated = static_cast<QAccessibleTextUpdateEvent*>(event);
        told << updated->textRemoved() + "→" + updated->textInserted();
    }
    if (event->type() == QAccessible::ValueChanged)
        told << static_cast<QAccessibleValueChangeEvent*>(event)->value().toString();
}
} // namespace

class LineEditAccessibleTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LineEditAccessible::install(); }

    // Two sentences, "雪の朝。" [0, 4) and "外は白い。" [4, 9). Qt's own answer to the sentence at
    // the last offset never comes.
    void queries_answerEveryBoundaryAtEveryOffset_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("boundary");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");

        const QString text = QStringLiteral("雪の朝。外は白い。");
        const int sentence = QAccessible::SentenceBoundary;
        const int line = QAccessible::LineBoundary;
        const int paragraph = QAccessible::ParagraphBoundary;
        QTest::newRow("sentence at the start")
            << text << 0 << sentence << 0 << "雪の朝。" << 0 << 4;
        QTest::newRow("sentence in the middle")
            << text << 0 << sentence << 5 << "外は白い。" << 4 << 9;
        QTest::newRow("sentence at the end")
            << text << 0 << sentence << 9 << "外は白い。" << 4 << 9;
        QTest::newRow("sentence at the end (-1)")
            << text << 0 << sentence << -1 << "外は白い。" << 4 << 9;
        QTest::newRow("sentence before the end")
            << text << -1 << sentence << 9 << "雪の朝。" << 0 << 4;
        QTest::newRow("sentence after the end") << text << 1 << sentence << 9 << "" << 9 << 9;
        QTest::newRow("sentence before the start") << text << -1 << sentence << 0 << "" << 0 << 0;
        QTest::newRow("sentence after the start")
            << text << 1 << sentence << 0 << "外は白い。" << 4 << 9;
        QTest::newRow("line at the start") << text << 0 << line << 0 << text << 0 << 9;
        QTest::newRow("line in the middle") << text << 0 << line << 5 << text << 0 << 9;
        QTest::newRow("line at the end") << text << 0 << line << 9 << text << 0 << 9;
        QTest::newRow("line after the end") << text << 1 << line << 9 << "" << 9 << 9;
        QTest::newRow("paragraph at the start") << text << 0 << paragraph << 0 << text << 0 << 9;
        QTest::newRow("paragraph in the middle") << text << 0 << paragraph << 4 << text << 0 << 9;
        QTest::newRow("paragraph at the end") << text << 0 << paragraph << 9 << text << 0 << 9;
        QTest::newRow("paragraph before the end") << text << -1 << paragraph << 9 << "" << 0 << 0;
        QTest::newRow("no character at the end")
            << text << 0 << int(QAccessible::CharBoundary) << 9 << "" << 9 << 9;
        QTest::newRow("last character")
            << text << -1 << int(QAccessible::CharBoundary) << 9 << "。" << 8 << 9;
        QTest::newRow("empty field") << "" << 0 << sentence << 0 << "" << 0 << 0;
        QTest::newRow("past the end") << text << 0 << sentence << 10 << "" << -1 << -1;
    }

    void queries_answerEveryBoundaryAtEveryOffset()
    {
        QFETCH(QString, text);
        QFETCH(int, step);
        QFETCH(int, boundary);
        QFETCH(int, offset);
        QLineEdit title(text);
        QAccessibleTextInterface* reader =
            QAccessible::queryAccessibleInterface(&title)->textInterface();
        const auto type = QAccessible::TextBoundaryType(boundary);
        int start = -2;
        int end = -2;
        const QString answer = step < 0   ? reader->textBeforeOffset(offset, type, &start, &end)
                               : step > 0 ? reader->textAfterOffset(offset, type, &start, &end)
                                          : reader->textAtOffset(offset, type, &start, &end);
        QTEST(answer, "expected");
        QTEST(start, "start");
        QTEST(end, "end");
    }

    // What a reader may ask or be told of a password: its length, in "*". The toolkit's line
    // edit puts the characters into its text changes; they reach the reader as "*".
    void password_showsOnlyItsLength()
    {
        QAccessible::installUpdateHandler(record);
        auto password = std::make_unique<PasswordEdit>();
        const QAccessible::UpdateHandler masking = QAccessible::installUpdateHandler(nullptr);
        QAccessible::installUpdateHandler(masking);
        QAccessibleTextInsertEvent inserted(password.get(), 0, "pw21");
        QAccessibleTextRemoveEvent removed(password.get(), 0, "pw2");
        QAccessibleTextUpdateEvent updated(password.get(), 0, "pw12", "pw21x");
        QAccessibleValueChangeEvent value(password.get(), "pw21");
        for (QAccessibleEvent* event :
             std::initializer_list<QAccessibleEvent*>{&inserted, &removed, &updated, &value})
            masking(event);
        QCOMPARE(told, QStringList({"****", "***", "****→*****", "****"}));

        QTest::keyClicks(password.get(), "pw21");
        password->selectAll();
        QAccessibleInterface* field = QAccessible::queryAccessibleInterface(password.get());
        int start = 0;
        int end = 0;
        QCOMPARE(
            field->textInterface()->textAtOffset(4, QAccessible::SentenceBoundary, &start, &end),
            "****");
        field->textInterface()->selection(0, &start, &end);
        QCOMPARE(field->textInterface()->text(start, end), "****");
        QCOMPARE(field->text(QAccessible::Value), "****");
        QVERIFY(field->state().passwordEdit);
        // The bridge gets every event back when the last password edit goes.
        password.reset();
        QVERIFY(QAccessible::installUpdateHandler(nullptr) == &record);
    }
};

QTEST_MAIN(LineEditAccessibleTest)
#include "LineEditAccessibleTest.moc"
