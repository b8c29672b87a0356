#include "core/diary/Settings.h"

#include "core/diary/Password.h"
#include "core/storage/CodePage932.h"
#include "core/storage/IniFile32.h"
#include "core/storage/Spelling.h"

#include <cmath>

namespace {
const QByteArray Data = QByteArrayLiteral("data");

// A default is not converted: a missing key is told by a value no line can hold, a line break.
// Converting the default font name made start-up build the code page's whole table.
QString readText(const TIniFile32& ini, const char* key, const QString& defaultValue)
{
    const QByteArray missing = QByteArrayLiteral("\n");
    const QByteArray stored = ini.ReadString(Data, key, missing);
    return stored == missing ? defaultValue : CodePage932::decode(stored);
}

// A value not changed keeps its bytes, also the file's own spelling of characters held twice.
void writeText(TIniFile32& ini, const char* key, const QString& value)
{
    const Spelling stored(ini.ReadString(Data, key, {}), Spelling::Breaks::Kept);
    ini.WriteString(Data, key, stored.bytesFor(value));
}

int centred(int screen, int window)
{
    return static_cast<int>(std::lrint((screen - window) / 2.0));
}
} // namespace

QString Settings::defaultFontName()
{
    return QStringLiteral("ＭＳ Ｐゴシック");
}

QString Settings::defaultUserName()
{
    return QStringLiteral("あなた");
}

QString Settings::defaultUrl()
{
    return QStringLiteral("http://example.com/");
}

Settings Settings::read(const TIniFile32& ini, QSize screen, QSize window)
{
    Settings s;
    s.left = ini.ReadInteger(Data, "left", centred(screen.width(), window.width()));
    s.top = ini.ReadInteger(Data, "top", centred(screen.height(), window.height()));
    s.fontName = readText(ini, "fontname", defaultFontName());
    s.fontSize = ini.ReadInteger(Data, "fontsize", 9);
    s.companion = ini.ReadBool(Data, "Mnikki", true);
    s.password = CodePage932::decodePlain(UnscramblePassword(ini.ReadString(Data, "password", {})));
    s.userName = readText(ini, "username", defaultUserName());
    s.usePassword = ini.ReadBool(Data, "usepassword", false);
    s.schemePath = readText(ini, "schemepath", {});
    s.buttonPath = readText(ini, "buttonpath", {});
    s.url = readText(ini, "URL", defaultUrl());
    s.scrollBar = ini.ReadBool(Data, "scrollbar", false);
    return s;
}

QString Settings::whyNotStorable() const
{
    if (const QString why = whyNotStorableFontName(fontName); !why.isEmpty())
        return why;
    for (const QString& text : {password, schemePath, buttonPath}) {
        const qsizetype bad = CodePage932::firstUnencodable(text);
        if (bad >= 0)
            return CodePage932::unencodableMessage(text, bad);
    }
    if (!Password::isStorable(CodePage932::encodePlain(password)))
        return QStringLiteral("このパスワードは diary.ini に正しく保存できません。"
                              "ほかのパスワードにしてください。");
    return {};
}

QString Settings::whyNotStorableFontName(const QString& name)
{
    if (CodePage932::firstUnencodable(name) < 0)
        return {};
    return QStringLiteral("フォント名「%1」には Shift-JIS で保存できない文字があるため、"
                          "このフォントは使えません。")
        .arg(name);
}

void Settings::write(TIniFile32& ini) const
{
    ini.writeOnce([&] { writeKeys(ini); });
}

void Settings::writeKeys(TIniFile32& ini) const
{
    writeText(ini, "fontname", fontName);
    ini.WriteInteger(Data, "fontsize", fontSize);
    ini.WriteInteger(Data, "left", left);
    ini.WriteInteger(Data, "top", top);
    ini.WriteBool(Data, "Mnikki", companion);
    writeText(ini, "username", userName);
    ini.WriteString(Data, "password", ScramblePassword(CodePage932::encodePlain(password)));
    ini.WriteBool(Data, "usepassword", usePassword);
    writeText(ini, "schemepath", schemePath);
    writeText(ini, "buttonpath", buttonPath);
    ini.WriteBool(Data, "scrollbar", scrollBar);
}
