#pragma once

#include "core/storage/TaskProgress.h"

#include <QString>

class Diary;

// Turning a diary's encryption on and off, and changing how it is opened. Each conversion goes
// day by day, each file replaced atomically, and in an order that keeps every day readable with
// the passphrase should it stop at any moment (a kill, a full disk):
//
//   turning on:   diary.key first, then each day sealed, then the titles and the settings'
//                 reversible password cleared, in one write of diary.ini;
//   turning off:  diary.key marked "turning off" first, then each day opened, then the titles,
//                 then diary.key removed.
//
// turnOn() and turnOff() take the first step only; finish() then converts the days, and takes up
// a conversion that stopped, once the diary is unlocked. A day already in the form asked for is
// never written again, so a sync tool sees only the days that changed.
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
    // Whether an unlocked encrypted diary has a conversion to finish: it is turning off, or a day
    // or a title is still plain (a conversion stopped, or a sync tool brought one).
    static bool needsFinishing(const Diary& diary);
    // Converts the days and titles of an unlocked encrypted diary to the form it is turning to,
    // reporting the days done to progress; nothing to do for a plain diary. Throws a DiaryError
    // naming the day that cannot be converted (one that does not open, no file of the user's
    // own, a write that fails) or when cancelled: what was done stays done, and the next
    // finish() goes on from there. Returns how many day files it wrote.
    static int finish(Diary& diary, const TaskProgress& progress = TaskProgress());

    // Replaces the passphrase; only diary.key is written. Throws a DiaryError when it is refused,
    // the diary is not unlocked or the write fails.
    static void changePassphrase(Diary& diary, const QString& passphrase);
    // Replaces the recovery code and returns the new one; only diary.key is written.
    static QString newRecoveryCode(Diary& diary);
};
