#pragma once

#include "windows/EncryptionForm.h"

#include <functional>

class Diary;
class Skin;

// What the encryption window does to the diary, and the finishing of a conversion that stopped.
// The shown day is saved before a conversion, which runs in the progress window the long tasks
// use; converting(true) and converting(false) tell the window that holds the diary to leave it
// alone in between. Steps that take a key derivation show a busy cursor. Every failure is said
// in the error box.
class EncryptionFlow : public TEncryptionForm::Steps
{
public:
    // saveShownDay saves the day the window shows and returns false when that failed (it has
    // said why then).
    EncryptionFlow(QWidget* window, const Skin& skin, Diary& diary,
                   std::function<bool()> saveShownDay, std::function<void(bool)> converting);

    // Runs the encryption window; afterRecovery as TEncryptionForm takes it.
    void open(bool afterRecovery);
    // Finishes a conversion that stopped (a kill, a stop), when the unlocked diary has one. A
    // pending turn-off, or plain days that no turning on explains, are asked about first.
    void finishStopped();

    bool isEncrypted() const override;
    QString whyRefused(const QString& passphrase) const override;
    std::optional<QString> turnOn(const QString& passphrase) override;
    bool turnOff() override;
    bool changePassphrase(const QString& current, const QString& passphrase) override;
    std::optional<QString> newRecoveryCode() override;
    std::optional<QString> rekey(const QString& current, const QString& passphrase) override;

private:
    // True when every day is in the form the diary is turning to. agreed: the owner said yes to
    // what DiaryEncryption::finish() asks consent for.
    bool convert(bool agreed);
    // Whether current is the passphrase (after the recovery code, anything is).
    void checkCurrent(const QString& current) const;
    bool busy(const std::function<void()>& step);

    QWidget* m_window;
    const Skin& m_skin;
    Diary& m_diary;
    std::function<bool()> m_saveShownDay;
    std::function<void(bool)> m_converting;
};
