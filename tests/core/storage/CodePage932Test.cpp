#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QString standIn(uchar b)
{
    return QString(QChar(char16_t(0xF700 + b)));
}

// Lead bytes of the rows that code page 932 holds twice (NEC row 13, NEC-selected IBM
// extensions, IBM extensions): their characters encode to the other copy.
bool isDuplicateRowLead(uchar b)
{
    return b == 0x87 || b == 0xED || b == 0xEE || b == 0xFA || b == 0xFB || b == 0xFC;
}

// Random bytes weighted towards what trips a Shift-JIS reader: lead bytes, trail bytes, bytes
// no character uses, line breaks.
QByteArray randomBytes(quint32 seed)
{
    QRandomGenerator random(seed);
    const int length = random.bounded(400);
    QByteArray bytes;
    for (int i = 0; i < length; ++i) {
        const int kind = random.bounded(100);
        uchar b;
        if (kind < 30)
            b = uchar(random.bounded(0x20, 0x7F));
        else if (kind < 35)
            b = random.bounded(2) ? '\r' : '\n';
        else if (kind < 45)
            b = uchar(random.bounded(0xA1, 0xE0));
        else if (kind < 70)
            b = uchar(random.bounded(2) ? random.bounded(0x81, 0xA0) : random.bounded(0xE0, 0xFD));
        else if (kind < 90)
            b = uchar(random.bounded(0x40, 0xFD));
        else
            b = QByteArray("\x80\xA0\xFD\xFE\xFF").at(random.bounded(5));
        bytes.append(char(b));
    }
    return bytes;
}

} // namespace

class CodePage932Test : public QObject
{
    Q_OBJECT

private slots:
    void decode_windowsMapping_data();
    void decode_windowsMapping();
    void encode_windowsMapping_data();
    void encode_windowsMapping();
    void invalidBytes_surviveRoundTrip_data();
    void invalidBytes_surviveRoundTrip();
    void everyOneAndTwoByteSequence_roundTrips();
    void spellings_followTheFile_data();
    void spellings_followTheFile();
    void onlyTheNineEquivalents_areReplaced();
    void randomBytes_roundTrip_data();
    void randomBytes_roundTrip();
    void longJapaneseText_roundTrips();
    void firstUnencodable_data();
    void firstUnencodable();
    void encodeUnencodable_throwsNamingCharacter_data();
    void encodeUnencodable_throwsNamingCharacter();
    void references_roundTrip_data();
    void references_roundTrip();
    void referenceLookalikes_readAsText_data();
    void referenceLookalikes_readAsText();
    void bulkDecoding_givesWhatTheConverterGives();
};

void CodePage932Test::decode_windowsMapping_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii and line break") << QByteArray("abc\r\n?") << QStringLiteral("abc\r\n?");
    QTest::newRow("0x5C is backslash") << QByteArray("\x5C") << QStringLiteral("\\");
    QTest::newRow("0x7E is tilde") << QByteArray("\x7E") << QStringLiteral("~");
    QTest::newRow("wave dash") << QByteArray("\x81\x60") << QStringLiteral("～");
    QTest::newRow("minus") << QByteArray("\x81\x7C") << QString(QChar(0xFF0D));
    QTest::newRow("hiragana") << QByteArray("\x82\xA0\x82\xA2") << QStringLiteral("あい");
    QTest::newRow("half-width katakana") << QByteArray("\xB1\xDF\xA1") << QStringLiteral("ｱﾟ｡");
    QTest::newRow("NEC row 13") << QByteArray("\x87\x90") << QStringLiteral("≒");
    QTest::newRow("NEC-selected IBM") << QByteArray("\xED\x40") << QStringLiteral("纊");
    QTest::newRow("user-defined area")
        << QByteArray("\xF0\x40\xF9\xFC") << QString(QChar(0xE000)) + QChar(0xE757);
    QTest::newRow("empty") << QByteArray() << QString();
}

void CodePage932Test::decode_windowsMapping()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(CodePage932::decode(bytes), text);
}

void CodePage932Test::encode_windowsMapping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("fullwidth tilde") << QStringLiteral("～") << QByteArray("\x81\x60");
    QTest::newRow("wave dash") << QString(QChar(0x301C)) << QByteArray("\x81\x60");
    QTest::newRow("minus sign") << QStringLiteral("−") << QByteArray("\x81\x7C");
    QTest::newRow("fullwidth minus") << QString(QChar(0xFF0D)) << QByteArray("\x81\x7C");
    QTest::newRow("backslash") << QStringLiteral("\\") << QByteArray("\x5C");
    QTest::newRow("question mark") << QStringLiteral("?") << QByteArray("?");
    QTest::newRow("half-width katakana")
        << QStringLiteral("ｶﾞｯｺｳ") << QByteArray("\xB6\xDE\xAF\xBA\xB3");
    QTest::newRow("NEC row 13 preferred") << QStringLiteral("≒Ⅰ") << QByteArray("\x81\xE0\x87\x54");
    QTest::newRow("IBM extension preferred")
        << QStringLiteral("纊ⅰ") << QByteArray("\xFA\x5C\xFA\x40");
    QTest::newRow("user-defined area") << QString(QChar(0xE000)) << QByteArray("\xF0\x40");
    QTest::newRow("nul") << QString(QChar(0)) << QByteArray(1, '\0');
}

void CodePage932Test::encode_windowsMapping()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(CodePage932::firstUnencodable(text), -1);
    QCOMPARE(CodePage932::encode(text), bytes);
}

void CodePage932Test::invalidBytes_surviveRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    // glibc rejects the single bytes Windows maps to U+0080, U+F8F0 and U+F8F1-U+F8F3.
    QTest::newRow("0x80") << QByteArray("\x80") << standIn(0x80);
    QTest::newRow("0xA0") << QByteArray("a\xA0") << "a" + standIn(0xA0);
    QTest::newRow("0xFD-0xFF") << QByteArray("\xFD\xFE\xFF")
                               << standIn(0xFD) + standIn(0xFE) + standIn(0xFF);
    QTest::newRow("lead byte cut off at the end")
        << QByteArray("\x82\xA0\x82") << QStringLiteral("あ") + standIn(0x82);
    QTest::newRow("lead byte before a space") << QByteArray("\x81 x") << standIn(0x81) + " x";
    QTest::newRow("lead byte before a line break")
        << QByteArray("\x81\r\n") << standIn(0x81) + "\r\n";
    QTest::newRow("undefined row") << QByteArray("\x85\x40") << standIn(0x85) + "@";
    QTest::newRow("undefined lead 0xEF") << QByteArray("\xEF\x40") << standIn(0xEF) + "@";
    QTest::newRow("past the last of 0xFC") << QByteArray("\xFC\x4C") << standIn(0xFC) + "L";
    QTest::newRow("lead byte before a valid pair")
        << QByteArray("\x81\x81\x81") << QStringLiteral("＝") + standIn(0x81);
    // ㈱ is also 0x87 0x8D, which would join 0xEA into one character: the copy in the file stays.
    QTest::newRow("lead byte before a character held twice")
        << QByteArray("\xEA\xFA\x58") << standIn(0xEA) + QStringLiteral("㈱");
    QTest::newRow("two bad bytes in a row")
        << QByteArray("\xFF\x81") << standIn(0xFF) + standIn(0x81);
}

void CodePage932Test::invalidBytes_surviveRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(CodePage932::decode(bytes), text);
    QCOMPARE(CodePage932::firstUnencodable(text), -1);
    QCOMPARE(CodePage932::encode(text), bytes);
}

// Every one- and two-byte sequence reads and writes back to its own bytes, the characters code
// page 932 spells twice included, with the spellings the bytes themselves use.
void CodePage932Test::everyOneAndTwoByteSequence_roundTrips()
{
    int characters = 0;
    int respelled = 0;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = -1; trail < 256; ++trail) {
            QByteArray bytes(1, char(lead));
            if (trail >= 0)
                bytes.append(char(trail));
            const QString text = CodePage932::decode(bytes);
            if (trail >= 0 && text.size() == 1) {
                ++characters;
                // A real character never looks like the stand-in of a bad byte.
                QVERIFY2(text.at(0).unicode() < 0xF700 || text.at(0).unicode() > 0xF7FF,
                         bytes.toHex().constData());
            }
            QCOMPARE(CodePage932::firstUnencodable(text), -1);
            const QByteArray plain = CodePage932::encode(text);
            if (plain != bytes) {
                QVERIFY2(isDuplicateRowLead(uchar(lead)), bytes.toHex().constData());
                QCOMPARE(CodePage932::decode(plain), text);
                ++respelled;
            }
            QCOMPARE(CodePage932::encode(text, CodePage932::spellingsOf(bytes)), bytes);
        }
    }
    // Code page 932's two-byte characters: JIS X 0208, NEC and IBM extensions, user area.
    QCOMPARE(characters, 9604);
    // Of the characters spelled twice, the copies the plain conversion does not choose.
    QCOMPARE(respelled, 398);
}

void CodePage932Test::spellings_followTheFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    // ∵: 81E6 and NEC 879A. 纊: NEC-selected ED40 and IBM FA5C. ￢: 81CA, EEF9 and FA54.
    QTest::newRow("NEC copy") << "\x87\x9a"_ba << u"∵∵"_s << "\x87\x9a\x87\x9a"_ba;
    QTest::newRow("JIS copy") << "\x81\xe6"_ba << u"∵∵"_s << "\x81\xe6\x81\xe6"_ba;
    QTest::newRow("NEC-selected IBM copy") << "\xed\x40"_ba << u"纊"_s << "\xed\x40"_ba;
    QTest::newRow("IBM copy") << "\xfa\x5c"_ba << u"纊"_s << "\xfa\x5c"_ba;
    QTest::newRow("first spelling wins") << "\xfa\x54\x81\xca"_ba << u"￢"_s << "\xfa\x54"_ba;
    QTest::newRow("equivalent takes the spelling too") << "\xee\xf9"_ba << u"¬"_s << "\xee\xf9"_ba;
    QTest::newRow("no spelling in the file") << "a"_ba << u"∵纊"_s << "\x81\xe6\xfa\x5c"_ba;
    QTest::newRow("after a stand-in the joining copy is avoided")
        << "\x87\x9a"_ba << standIn(0x81) + u"∵"_s << CodePage932::encode(standIn(0x81) + u"∵"_s);
}

void CodePage932Test::spellings_followTheFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    const QByteArray bytes = CodePage932::encode(text, CodePage932::spellingsOf(file));
    QCOMPARE(bytes, written);
    QCOMPARE(CodePage932::decode(bytes), CodePage932::decode(CodePage932::encode(text)));
}

// Nine characters without a code are written as their equivalents; every other character that
// is written reads back as itself.
void CodePage932Test::onlyTheNineEquivalents_areReplaced()
{
    const QString nine = u"¢£¥¬—‖‾−〜"_s;
    QCOMPARE(CodePage932::decode(CodePage932::encode(nine)), u"￠￡＼￢―∥～－～"_s);
    QCOMPARE(CodePage932::firstUnencodable(nine), -1);
    QStringList replaced;
    for (char32_t u = 0x20; u < 0x10000; ++u) {
        const QChar c{char16_t(u)};
        if (c.isSurrogate() || (u >= 0xF780 && u <= 0xF7FF))
            continue;
        if (CodePage932::firstUnencodable(QString(c)) < 0 &&
            CodePage932::decode(CodePage932::encode(QString(c))) != QString(c))
            replaced << QString(c);
    }
    QCOMPARE(replaced.join(QString()), nine);
}

void CodePage932Test::randomBytes_roundTrip_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 1000; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void CodePage932Test::randomBytes_roundTrip()
{
    QFETCH(quint32, seed);
    const QByteArray bytes = randomBytes(seed);
    const QString text = CodePage932::decode(bytes);
    QCOMPARE(CodePage932::firstUnencodable(text), -1);
    const QByteArray again = CodePage932::encode(text);
    QCOMPARE(CodePage932::decode(again), text);
    const bool hasDuplicateRows = std::any_of(bytes.begin(), bytes.end(),
                                              [](char b) { return isDuplicateRowLead(uchar(b)); });
    if (!hasDuplicateRows)
        QCOMPARE(again, bytes);
}

void CodePage932Test::longJapaneseText_roundTrips()
{
    // Large enough to make both directions grow their buffers.
    QString text;
    QByteArray bytes;
    for (int i = 0; i < 50000; ++i) {
        text += QStringLiteral("日記a\r\n");
        bytes += QByteArray("\x93\xFA\x8B\x4C"
                            "a\r\n");
    }
    text += standIn(0x81);
    bytes += '\x81';
    QCOMPARE(CodePage932::encode(text), bytes);
    QCOMPARE(CodePage932::decode(bytes), text);
}

void CodePage932Test::firstUnencodable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("index");
    QTest::newRow("empty") << QString() << qsizetype(-1);
    QTest::newRow("accented letter") << QStringLiteral("cafe\u00E9") << qsizetype(4);
    QTest::newRow("emoji after kana") << QStringLiteral("あ😀b") << qsizetype(1);
    QTest::newRow("emoji first") << QStringLiteral("😀") << qsizetype(0);
    QTest::newRow("broken bar") << QStringLiteral("\u00A6") << qsizetype(0);
    QTest::newRow("byte order mark") << QStringLiteral("\uFEFFa") << qsizetype(0);
    QTest::newRow("lone high surrogate") << "a" + QString(QChar(0xD83D)) + "b" << qsizetype(1);
    QTest::newRow("lone high surrogate at end") << "a" + QString(QChar(0xD83D)) << qsizetype(1);
    QTest::newRow("lone low surrogate") << "ab" + QString(QChar(0xDE00)) << qsizetype(2);
    QTest::newRow("after a stand-in") << standIn(0x80) + QStringLiteral("\u00E9") << qsizetype(1);
    // A stand-in for a lead byte must not join what follows into another character:
    // 0x81 0x41 would read back as "、".
    QTest::newRow("stand-in joining a letter") << "x" + standIn(0x81) + "A" << qsizetype(1);
    QTest::newRow("stand-in joining a stand-in") << standIn(0x81) + standIn(0xE0) << qsizetype(0);
    QTest::newRow("stand-in joining a kanji")
        << standIn(0x89) + QStringLiteral("亜") << qsizetype(0);
    QTest::newRow("joining before an emoji") << standIn(0x81) + "A😀" << qsizetype(0);
    QTest::newRow("stand-in before a non-pair") << standIn(0x85) + "@" << qsizetype(-1);
    QTest::newRow("stand-in of a single-byte character") << standIn(0xB1) << qsizetype(0);
    QTest::newRow("stand-in of an ASCII byte") << standIn(0x41) << qsizetype(0);
}

void CodePage932Test::firstUnencodable()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, index);
    QCOMPARE(CodePage932::firstUnencodable(text), index);
}

void CodePage932Test::encodeUnencodable_throwsNamingCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString tail = QStringLiteral(" は Shift-JIS で保存できない文字です。"
                                        "この文字を消してから保存してください。");
    QTest::newRow("accented letter") << QStringLiteral("日記\u00E9") << "「\u00E9」(U+00E9)" + tail;
    QTest::newRow("emoji") << QStringLiteral("a😀") << "「😀」(U+1F600)" + tail;
    QTest::newRow("lone surrogate") << "a" + QString(QChar(0xDC00)) << "「\uFFFD」(U+DC00)" + tail;
}

void CodePage932Test::encodeUnencodable_throwsNamingCharacter()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    QCOMPARE(CodePage932::unencodableMessage(text, CodePage932::firstUnencodable(text)), message);
    try {
        CodePage932::encodePlain(text);
        QFAIL("encode wrote a character code page 932 cannot hold");
    } catch (const DiaryError& error) {
        QCOMPARE(error.message(), message);
    }
}

void CodePage932Test::references_roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");
    const auto row = [](const char* name, const QString& text, const QByteArray& bytes,
                        const QString& readBack = {}) {
        QTest::newRow(name) << text << bytes << (readBack.isNull() ? text : readBack);
    };
    row("emoji after kanji", u"今日😀"_s, "\x8d\xa1\x93\xfa&#x1F600;"_ba);
    row("skin tone", u"👍🏽"_s, "&#x1F44D;&#x1F3FD;"_ba);
    row("variation selector", u"❤️"_s, "&#x2764;&#xFE0F;"_ba);
    row("joined sequence", u"👨‍👩‍👧"_s,
        "&#x1F468;&#x200D;&#x1F469;&#x200D;&#x1F467;"_ba);
    row("heart suit", u"♡"_s, "&#x2661;"_ba);
    row("kanji outside the BMP", u"𠮷野家"_s, "&#x20BB7;\x96\xec\x89\xc6"_ba);
    row("era sign", u"㋿"_s, "&#x32FF;"_ba);
    row("combining mark", u"e\u0301"_s, "e&#x0301;"_ba);
    row("last code point", QString::fromUcs4(U"\U0010FFFF"), "&#x10FFFF;"_ba);
    row("typed reference", u"&#x1F600;"_s, "&#x0026;#x1F600;"_ba);
    row("typed ampersand reference", u"&#x0026;"_s, "&#x0026;#x0026;"_ba);
    row("ampersand before an emoji", u"&😀"_s, "&&#x1F600;"_ba);
    row("ampersand starting no reference", u"A&B &#x3042;"_s, "A&B &#x3042;"_ba);
    // 0x81 0x41 would read back as "、".
    row("stand-in joining a letter", standIn(0x81) + u"A"_s, "&#xF781;A"_ba);
    row("stand-in of a single-byte character", standIn(0xB1), "&#xF7B1;"_ba);
    row("lone surrogate", u"a"_s + QChar(0xD83D), "a&#xFFFD;"_ba, u"a\uFFFD"_s);
}

// Whatever is typed is written in code page 932 and reads back as typed.
void CodePage932Test::references_roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    QCOMPARE(CodePage932::encode(text), bytes);
    QCOMPARE(CodePage932::decode(bytes), readBack);
}

void CodePage932Test::referenceLookalikes_readAsText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("out of range") << "&#x110000;"_ba;
    QTest::newRow("surrogate") << "&#xD800;"_ba;
    QTest::newRow("no digits") << "&#x;"_ba;
    QTest::newRow("missing semicolon") << "&#x1F600 "_ba;
    QTest::newRow("lower-case digits") << "&#x1f600;"_ba;
    QTest::newRow("upper-case x") << "&#X1F600;"_ba;
    QTest::newRow("leading zero") << "&#x01F600;"_ba;
    QTest::newRow("three digits") << "&#x26;ab"_ba;
    QTest::newRow("character the code page holds") << "&#x3042;"_ba;
    QTest::newRow("character with an equivalent") << "&#x00A2;"_ba;
}

// Only the one form the files are written with is a reference: anything like it reads as the
// text it is, and writes back byte for byte.
void CodePage932Test::referenceLookalikes_readAsText()
{
    QFETCH(QByteArray, bytes);
    const QString text = CodePage932::decode(bytes);
    QCOMPARE(text, QString::fromLatin1(bytes));
    QCOMPARE(CodePage932::encode(text), bytes);
}

// Long texts are decoded by table lookups: every character must come out as the converter's
// own path gives it. The short texts are decoded first, while the table does not exist yet.
void CodePage932Test::bulkDecoding_givesWhatTheConverterGives()
{
    QByteArray all;
    QString expected;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            QByteArray pair;
            pair.append(char(lead));
            if (lead >= 0x81 && lead <= 0xFC && (lead < 0xA0 || lead >= 0xE0))
                pair.append(char(trail));
            else if (trail != 0x40)
                continue;
            const QString one = CodePage932::decode(pair);
            if (CodePage932::encode(one) != pair || one.size() != 1)
                continue; // no character of its own: decoded with stand-ins, not by the table
            all += pair;
            expected += one;
        }
    }
    // Long enough to be decoded by the table.
    QCOMPARE(CodePage932::decode(all.repeated(8)), expected.repeated(8));
}

QTEST_GUILESS_MAIN(CodePage932Test)
#include "CodePage932Test.moc"
