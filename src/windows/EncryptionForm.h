#pragma once

#include "widgets/SkinnedForm.h"

#include <optional>

class Announcer;
class QLineEdit;
class Skin;

// 「暗号化」: on a plain diary, a new passphrase typed twice turns encryption on, and the recovery
// code is shown once, selectable, with what losing it means. On an encrypted diary: a new
// passphrase (after the current one, unless the diary was opened with the recovery code), a new
// key for every day with that new passphrase, a new recovery code, or encryption turned off,
// each of the last three asked first. The window does
// nothing to the diary itself: every step goes through Steps, which says in the error box what
// went wrong. Results are shown in the window and said to a screen reader.
class TEncryptionForm : public SkinnedForm
{
    Q_OBJECT

public:
    class Steps
    {
    public:
        virtual ~Steps() = default;
        virtual bool isEncrypted() const = 0;
        // Why a passphrase may not become the diary's, empty when it may.
        virtual QString whyRefused(const QString& passphrase) const = 0;
        // The recovery code once the diary is encrypted; no value when it is not.
        virtual std::optional<QString> turnOn(const QString& passphrase) = 0;
        virtual bool turnOff() = 0;
        // current is empty when the diary was opened with the recovery code.
        virtual bool changePassphrase(const QString& current, const QString& passphrase) = 0;
        virtual std::optional<QString> newRecoveryCode() = 0;
        // A new key for every day, opened by passphrase; the new recovery code, or no value when
        // it failed. current as for changePassphrase().
        virtual std::optional<QString> rekey(const QString& current, const QString& passphrase) = 0;
    };

    // afterRecovery: the diary was just opened with the recovery code, so no current passphrase
    // is asked for a new one.
    TEncryptionForm(const Skin& skin, Steps& steps, bool afterRecovery = false,
                    QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLabel* About = nullptr;
    QLabel* CurrentLabel = nullptr;
    QLineEdit* Current = nullptr;
    QLabel* NewLabel = nullptr;
    QLineEdit* New = nullptr;
    QLabel* AgainLabel = nullptr;
    QLineEdit* Again = nullptr;
    QToolButton* TurnOn = nullptr;
    QToolButton* Change = nullptr;
    QToolButton* NewCode = nullptr;
    QToolButton* TurnOff = nullptr;
    QToolButton* Rekey = nullptr;
    QLineEdit* Code = nullptr;
    QToolButton* Written = nullptr;
    QLabel* Status = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Page
    {
        Plain,
        Encrypted,
        Code
    };
    void showPage(Page page);
    // The new passphrase, when both fields agree and the rule takes it.
    std::optional<QString> newPassphrase();
    void turnOnClick();
    void changeClick();
    void newCodeClick();
    void turnOffClick();
    void rekeyClick();
    void showCode(const QString& code, const QString& said);
    void tell(const QString& text);
    void clearPassphrases();

    Steps& m_steps;
    bool m_afterRecovery;
    Page m_page = Page::Plain;
    Announcer* m_announcer = nullptr;
};
