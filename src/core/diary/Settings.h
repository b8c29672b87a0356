#pragma once

#include <QSize>
#include <QString>

class TIniFile32;

// The settings of section "data" of diary.ini: read once at start-up, written back at close.
struct Settings
{
    int left = 0;
    int top = 0;
    QString fontName;
    int fontSize = 9;
    bool companion = true; // key Mnikki: モルナ comments on past days
    QString password;      // plain form
    QString userName;
    bool usePassword = false;
    QString schemePath;
    QString buttonPath;
    QString url; // read and kept, never written
    bool scrollBar = false;

    static QString defaultFontName();
    static QString defaultUserName();
    static QString defaultUrl();

    // Missing, empty or non-numeric values take their defaults; the window is centred on the
    // screen by default, halves going to the even neighbour.
    static Settings read(const TIniFile32& ini, QSize screen, QSize window);

    // Why diary.ini could not give these texts back unchanged (a character code page 932 cannot
    // hold in the name, password or a path; a password whose scrambled form the file would cut
    // or split), or an empty text when it can.
    QString whyNotStorable() const;
    // The same for a font's name alone, as the font dialog hands it over.
    static QString whyNotStorableFontName(const QString& name);

    // Sets every key but "URL", in the diary's fixed order, and writes the file once, only when
    // its bytes change. A failed write throws; the store keeps the values for the next write.
    void write(TIniFile32& ini) const;

private:
    void writeKeys(TIniFile32& ini) const;
};
