#pragma once

#include "core/storage/FileStamp.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

// The diary's INI store: the whole file held as a list of lines, looked up by linear scan and
// written back whole, atomically, after every single write. Sections, keys and values are the
// file's own bytes (Shift-JIS); callers convert text at this boundary.
//
// Reading: a line ends at CR LF, lone CR or lone LF, and a NUL byte ends the text. The bytes
// from that NUL on are never read, and never lost either: every write puts them back after the
// lines, on a line of their own. A section is
// found only at a line equal to "[" section "]", ignoring ASCII letter case; any line that is
// bracketed once bytes below 33 are trimmed from its ends still closes the section before it.
// Keys are the text before a line's first "=", trimmed of bytes below 33 and compared exactly;
// the first match wins, and an empty value reads as the default.
//
// Writing never breaks the file's structure: CR, LF and NUL in a value are stored as spaces. A
// key whose line could not be found again once written (empty; containing CR, LF, NUL or "=";
// blanks at either end; a line that would read as a section header) is handled like the empty
// key: no key line is added or replaced. A section name containing CR, LF or NUL is never found
// and never added. The file is rewritten on every write all the same, except inside writeOnce().
//
// The file may change under the store (a sync tool brings another computer's version):
// reload() takes it up again, so that what is written next starts from what is on disk.
class TIniFile32
{
public:
    // A century of titles is a few MiB. A file far larger is none of the diary's (a sync peer
    // may deliver anything), and reading it whole could take all the memory there is.
    static constexpr qint64 MaxBytes = 256 * 1024 * 1024;

    // Loads the file when something exists at the path; throws DiaryError::cannotOpen if it
    // cannot be read, DiaryError::notOwnFile when it is no regular file of the user's own (a
    // link is never followed, to read or to write), DiaryError::tooLarge when it holds more than
    // MaxBytes. A missing file gives an empty store; the first write creates it.
    explicit TIniFile32(const QString& fileName);

    QByteArray ReadString(const QByteArray& section, const QByteArray& key,
                          const QByteArray& defaultValue) const;
    // Decimal with an optional sign, or "$" / "0x" with one to eight hex digits; anything
    // else, or a value outside 32 bits, gives the default.
    qint32 ReadInteger(const QByteArray& section, const QByteArray& key, qint32 defaultValue) const;
    bool ReadBool(const QByteArray& section, const QByteArray& key, bool defaultValue) const;
    // Every key line of the section as (key, value), in file order. A key written twice appears
    // twice; ReadString answers with the first.
    QList<std::pair<QByteArray, QByteArray>> ReadSectionValues(const QByteArray& section) const;
    // The same of a file read by the caller, which is no store of the program's (a sync tool's
    // copy, read with the checks a stranger's file needs).
    static QList<std::pair<QByteArray, QByteArray>> sectionValuesOf(const QByteArray& bytes,
                                                                    const QByteArray& section);

    // Changes the line and rewrites the whole file; throws DiaryError::cannotCreate when the
    // file cannot be written. The old file then stays whole and Lines() keeps the change, which
    // reaches the disk with the next successful write.
    void WriteString(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    void WriteInteger(const QByteArray& section, const QByteArray& key, qint32 value);
    void WriteBool(const QByteArray& section, const QByteArray& key, bool value);
    // Removes every line of the key in the section, a key written twice included, and rewrites
    // the file as WriteString does.
    void removeKey(const QByteArray& section, const QByteArray& key);
    // Goes once through the section's key lines in file order, for a change of every value at
    // once that WriteString would make one scan of the section per key. edit receives each
    // line's key and value, and whether it is the key's first line (the one ReadString answers
    // with); it returns the value to store there, stored as WriteString stores it, or no value
    // to remove the line. Rewrites the file as WriteString does.
    using SectionEdit = std::function<std::optional<QByteArray>(const QByteArray& key,
                                                                QByteArrayView value, bool first)>;
    void editSection(const QByteArray& section, const SectionEdit& edit);

    // Runs changes, any number of writes, against the lines only, then writes the file once,
    // and not at all when its bytes would stay as they are on disk. What it writes is byte for
    // byte what the writes one by one would have left.
    void writeOnce(const std::function<void()>& changes);
    // Reads the file again when it changed on disk since this store last read or wrote it. A
    // file that went missing keeps the lines, which the next write puts back.
    void reload();

    // Grows whenever the lines change, by a write or by reading the file again: equal counts
    // mean equal lines. Never 0.
    quint64 changes() const { return m_changes; }

    const QString& FileName() const { return m_fileName; }
    const QList<QByteArray>& Lines() const { return m_lines; }

private:
    struct ScanResult
    {
        qsizetype index; // the matching key line, else where the section ends
        bool found;
    };

    TIniFile32() = default;
    qsizetype findSection(const QByteArray& section) const;
    ScanResult scanSection(qsizetype header, const QByteArray& key) const;
    void load(const QByteArray& bytes);
    void save();

    QString m_fileName;
    QList<QByteArray> m_lines;
    // The file's bytes from its first NUL on, or nothing.
    QByteArray m_afterText;
    // The file as last read or written, and whether the lines now differ from it.
    FileStamp m_stamp;
    bool m_changed = false;
    bool m_holding = false;
    quint64 m_changes = 1;
};
