#include "core/tasks/DiaryExport.h"

#include "core/diary/DayStore.h"
#include "core/diary/DiaryKeyFile.h"
#include "core/diary/DiaryTitles.h"
#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"
#include "core/storage/IniFile32.h"
#include "core/time/DiaryDate.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct Day
{
    QString heading;
    QString title;
    QString body;
};

// Every ASCII punctuation character is escaped, so a heading holds no markup, no entity and no
// HTML: it renders as the text it is.
QString escapeMarkdown(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c.unicode() < 0x80 && (c.isPunct() || c.isSymbol()))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

// Markup characters become references; control characters, which no HTML document may hold,
// become the pictures that stand for them, so nothing of the text is lost.
QString escapeHtml(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            escaped += QLatin1String("&amp;");
            break;
        case u'<':
            escaped += QLatin1String("&lt;");
            break;
        case u'>':
            escaped += QLatin1String("&gt;");
            break;
        case u'"':
            escaped += QLatin1String("&quot;");
            break;
        case u'\'':
            escaped += QLatin1String("&#39;");
            break;
        case u'\n':
        case u'\t':
            escaped += c;
            break;
        default:
            if (c.unicode() < 0x20)
                escaped += QChar(char16_t(0x2400 + c.unicode()));
            else if (c.unicode() == 0x7F)
                escaped += QChar(char16_t(0x2421));
            else
                escaped += c;
        }
    }
    return escaped;
}

QString headingText(const Day& day)
{
    return day.title.isEmpty() ? day.heading : day.heading + QStringLiteral("  ") + day.title;
}

void appendText(QString& out, const Day& day)
{
    out += QStringLiteral("【%1】%2\n\n%3\n\n\n").arg(day.heading, day.title, day.body);
}

// The body goes into a fenced block, which shows its text as written, line for line, whatever it
// holds: HTML, links and markup stay text. The fence is longer than any run of backticks in the
// body, so no line of it can close the block and take the days after it in.
void appendMarkdown(QString& out, const Day& day)
{
    out += QStringLiteral("## ") + escapeMarkdown(headingText(day)) + QStringLiteral("\n\n");
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const QChar c : day.body) {
        run = c == QLatin1Char('`') ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    const QString fence(std::max<qsizetype>(3, longest + 1), QLatin1Char('`'));
    out += fence + QLatin1Char('\n') + day.body;
    if (!day.body.isEmpty() && !day.body.endsWith(QLatin1Char('\n')))
        out += QLatin1Char('\n');
    out += fence + QStringLiteral("\n\n");
}

void appendHtml(QString& out, const Day& day, const QString& key)
{
    out += QStringLiteral("<section id=\"d%1\">\n<h2>%2").arg(key, escapeHtml(day.heading));
    if (!day.title.isEmpty())
        out += QStringLiteral(" <span class=\"title\">%1</span>").arg(escapeHtml(day.title));
    out += QStringLiteral("</h2>\n<div class=\"body\">%1</div>\n</section>\n")
               .arg(escapeHtml(day.body));
}

const QString HtmlHead = QStringLiteral(
    "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\" />\n"
    "<title>%1</title>\n<style>\n"
    "body { font-family: sans-serif; max-width: 42em; margin: 2em auto; padding: 0 1em; "
    "line-height: 1.7; }\n"
    "h2 { font-size: 1.05em; border-bottom: 1px solid #ccc; margin-top: 2.5em; }\n"
    ".title { margin-left: 1em; }\n"
    ".body { white-space: pre-wrap; overflow-wrap: anywhere; }\n"
    "</style>\n</head>\n<body>\n<h1>%1</h1>\n");

} // namespace

std::optional<DiaryExport::Format> DiaryExport::formatNamed(const QString& name)
{
    if (name == QLatin1String("text"))
        return Format::Text;
    if (name == QLatin1String("markdown"))
        return Format::Markdown;
    if (name == QLatin1String("html"))
        return Format::Html;
    return std::nullopt;
}

DiaryExport::Format DiaryExport::formatFor(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return Format::Html;
    if (suffix == QLatin1String("md") || suffix == QLatin1String("markdown"))
        return Format::Markdown;
    return Format::Text;
}

QString DiaryExport::summary(int days, const QString& file, const QStringList& leftOut)
{
    QString said = QStringLiteral("%1 日分を %2 に書き出しました。").arg(days).arg(file);
    if (!leftOut.isEmpty())
        said += QStringLiteral("\n日記のファイルでない (リンクなど) ため、次の %1 日分は書き出して"
                               "いません: %2")
                    .arg(leftOut.size())
                    .arg(leftOut.join(QStringLiteral("、")));
    return said;
}

DiaryExport::Result DiaryExport::render(const QString& programFolder, Format format,
                                        const QDate& from, const QDate& to,
                                        const TaskProgress& progress,
                                        std::shared_ptr<const DiaryKey> key)
{
    if (!key && DiaryKeyFile::exists(programFolder))
        throw DiaryError::locked();
    // Every entry is decoded.
    CodePage932::prepareBulkDecoding();
    const QDir folder(programFolder);
    const TIniFile32 ini(folder.filePath(QStringLiteral("diary.ini")));
    const QHash<QString, QByteArray> titles = DiaryTitles::byKey(
        DiaryTitles::openAll(ini.ReadSectionValues("title"), key.get(), ini.FileName()));
    const DayStore store(folder.filePath(QStringLiteral("data")), std::move(key));
    const QString keyFormat = QStringLiteral("yyyyMMdd");
    const QString fromKey = from.isValid() ? from.toString(keyFormat) : QString();
    const QString toKey = to.isValid() ? to.toString(keyFormat) : QString();

    Result result;
    QString out;
    if (format == Format::Html)
        out += HtmlHead.arg(QStringLiteral("日記"));
    QStringList keys = store.entryKeys();
    keys.removeIf([&](const QString& key) {
        return (!fromKey.isEmpty() && key < fromKey) || (!toKey.isEmpty() && key > toKey);
    });
    for (const QString& key : std::as_const(keys)) {
        progress.advance(result.days, keys.size());
        Day day;
        day.heading = DiaryDate::dateLine(DiaryDate::fromDate(DayStore::dateOfKey(key)));
        day.title = CodePage932::decode(titles.value(key));
        try {
            day.body = store.readBody(key);
        } catch (const DiaryError& e) {
            if (e.kind() == DiaryError::Kind::NotOwnFile) {
                result.leftOut << day.heading;
                continue;
            }
            throw DiaryError(
                QStringLiteral("%1 の日記を読めません: %2").arg(day.heading, e.message()));
        }
        switch (format) {
        case Format::Text:
            appendText(out, day);
            break;
        case Format::Markdown:
            appendMarkdown(out, day);
            break;
        case Format::Html:
            appendHtml(out, day, key);
            break;
        }
        ++result.days;
    }
    progress.advance(result.days, keys.size());
    if (format == Format::Html)
        out += QStringLiteral("</body>\n</html>\n");
    result.document = out.toUtf8();
    return result;
}
