#pragma once

#include <QByteArray>
#include <QString>

class DiaryError;
class TIniFile32;

// What this computer knows of the diaries it opened encrypted, kept apart from them where no sync
// peer reaches: $XDG_STATE_HOME/tobiquill/encrypted (else ~/.local/state/tobiquill). Whoever
// can write a diary's folder can delete its diary.key; the diary must not become a plain one
// then, whose next day is written in plain beside the sealed ones.
//
// One line a diary: its id from the key file (hex), a tab, and its folder's real path
// (percent-encoded). A diary is remembered at every unlock and every turn-on, and forgotten only
// when turning its encryption off finishes on this computer.
class EncryptedDiaries
{
public:
    // The day files looked at for a sealed one when a diary has no key file: in a diary that
    // was encrypted every day is sealed, so a few say as much as all, and a plain diary of ten
    // thousand days starts without reading them.
    static constexpr int DaysLooked = 16;

    static QString defaultFile();
    explicit EncryptedDiaries(QString file = defaultFile());

    // Whether the diary in programFolder was encrypted when last seen here.
    bool knows(const QString& programFolder) const;
    // False when the record could not be written: the unlock goes on all the same, and a sealed
    // day or title still tells the diary encrypted.
    bool remember(const QByteArray& diaryId, const QString& programFolder) const;
    // Forgets the diary, in this folder and wherever else it was seen.
    bool forget(const QByteArray& diaryId, const QString& programFolder) const;

    // Whether the diary in programFolder, which has no key file, is encrypted all the same: this
    // computer knows it, a title of ini is sealed, or one of the first DaysLooked day files is.
    bool withoutKey(const QString& programFolder, const TIniFile32& ini) const;
    // The owner's word on this computer that the diary's encryption was turned off on another
    // one: it is forgotten here. Throws noKeyFile() while any day or title of it is still sealed,
    // and a DiaryError when the record cannot be written.
    void forgetTurnedOff(const QString& programFolder, const TIniFile32& ini) const;
    // What to tell the user about such a diary: nothing of it is read or written.
    static DiaryError noKeyFile(const QString& programFolder);

private:
    QByteArray lines() const;
    bool write(const QByteArray& bytes) const;

    QString m_file;
};
