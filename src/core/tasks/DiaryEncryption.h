#pragma once

#include "core/storage/TaskProgress.h"

#include <QString>
#include <QStringList>

class Diary;

// Turning a diary's encryption on and off, keying it anew, and changing how it is opened. Each
// conversion goes day by day, each file replaced atomically, and in an order that keeps every
// day readable with the passphrase should it stop at any moment (a kill, a full disk):
//
//   turning on:   diary.key first, marked "turning on", then each day sealed, then the titles and
//                 the settings' reversible password cleared, in one write of diary.ini, then the
//                 mark cleared;
//   turning off:  diary.key marked "turning off" first, then each day opened, then the titles,
//                 then diary.key removed;
//   keying anew:  a new diary.key holding the previous key wrapped under the new one, then each
//                 day and title sealed again, then the previous key dropped.
//
// turnOn(), turnOff() and rekey() take the first step only; finish() then converts the days, and
// takes up a conversion that stopped, once the diary is unlocked. A day already in the form asked
// for is never written again, so a sync tool sees only the days that changed. Every step starts
// from diary.key as it is on disk, verified under the key (Diary::refreshKeyFile()).
class DiaryEncryption
{
public:
    // The shortest passphrase taken, in characters.
    static constexpr int MinPassphraseLength = 8;
    // Why a new passphrase is refused, to show the user; empty when it is taken. There is no
    // upper limit.
    static QString whyNotPassphrase(const QString& passphrase);

    // Starts encrypting a plain diary: writes diary.key for passphrase and a new recovery code,
    // which opens the diary as well and is returned to be shown to the user once, whatever
    // finish() meets afterwards. Takes two key derivations (a second or two). Throws a DiaryError
    // saying why when the passphrase is refused, the diary is encrypted already or the write
    // fails; the diary is as it was then.
    static QString turnOn(Diary& diary, const QString& passphrase);
    // Starts decrypting an unlocked encrypted diary: marks diary.key "turning off".
    static void turnOff(Diary& diary);
    // Starts keying an unlocked encrypted diary anew: a new master key and diary id, opened by
    // passphrase and a new recovery code, which is returned to be shown once. Older copies of
    // diary.key open nothing written from then on. Refused while anything is pending().
    static QString rekey(Diary& diary, const QString& passphrase);

    // What an unlocked encrypted diary has left to finish.
    enum class Pending
    {
        Nothing,
        TurningOn,
        // Only when the owner agrees: the mark is in the verified key file, but the owner may
        // not know of it here.
        TurningOff,
        Rekeying,
        // A plain day or title that no turning on explains (a sync tool or someone else put it
        // there): sealed only when the owner agrees.
        PlainContent,
    };
    static Pending pending(const Diary& diary);
    static bool needsFinishing(const Diary& diary) { return pending(diary) != Pending::Nothing; }
    // The date keys of the days whose file or title is plain, oldest first.
    static QStringList plainDays(const Diary& diary);
    // What the user is told of them: the first few, and how many.
    static QString plainNotice(const QStringList& days);

    // Converts the days and titles of an unlocked encrypted diary to the form it is turning to,
    // reporting the days done to progress; nothing to do for a plain diary. A pending turn-off
    // or plain content is converted only when agreed (the owner said yes); otherwise a DiaryError
    // says what is pending and nothing is written. Throws a DiaryError naming the day that cannot
    // be converted (one that does not open, no file of the user's own, a write that fails) or
    // when cancelled: what was done stays done, and the next finish() goes on from there.
    // Returns how many day files it wrote.
    static int finish(Diary& diary, const TaskProgress& progress = TaskProgress(),
                      bool agreed = false);

    // Replaces the passphrase; only diary.key is written. Throws a DiaryError when it is refused,
    // the diary is not unlocked or the write fails.
    static void changePassphrase(Diary& diary, const QString& passphrase);
    // Replaces the recovery code and returns the new one; only diary.key is written.
    static QString newRecoveryCode(Diary& diary);
};
