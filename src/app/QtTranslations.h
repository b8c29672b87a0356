#pragma once

#include <QLocale>
#include <QTranslator>

// Qt's own dialogs (the font dialog, the file dialog, the standard message-box buttons) in the
// user's language: Qt's translations for a locale, in force for as long as this object lives.
// A locale Qt has no translations for keeps Qt's English.
class QtTranslations
{
public:
    explicit QtTranslations(const QLocale& locale);
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    bool installed() const { return m_installed; }

private:
    QTranslator m_translator;
    bool m_installed = false;
};
