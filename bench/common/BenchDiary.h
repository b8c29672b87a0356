#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// Diaries made for measuring. Days run up to and including lastDay. Every entry is a few hundred
// bytes of Shift-JIS text that already ends with モルナ's comment, as a diary kept for years
// does, so start-up adds no comment and leaves the folder as it found it.
//
// Files are written with plain writes, without the fsync of the program's own saves, so that
// making ten thousand of them takes a moment.
class BenchDiary
{
public:
    // data/ with one entry per day, and diary.ini holding their titles.
    static void create(const QString& folder, int days, const QDate& lastDay);
    // A diary.ini as the program leaves it when a day was saved before the first close:
    // [title] first, one line per day, then [data] with every setting.
    static QByteArray iniBytes(int days, const QDate& lastDay);
    // A day's entry and title depend on its date alone, so diaries of any length that share a
    // day hold the same text for it.
    static QByteArray body(const QDate& day);
    static QByteArray title(const QDate& day);
    static QByteArray key(const QDate& day);
    static void writeFile(const QString& path, const QByteArray& bytes);

    // A temporary folder in memory (/dev/shm), where an fsync costs next to nothing, so that what
    // is left of a save is the program's own work; null where there is none.
    static std::unique_ptr<QTemporaryDir> memoryFolder();
    static QString memoryRoot();
};
