#pragma once

#include <QString>
#include <initializer_list>
#include <utility>

class QDate;
class QWidget;

// What a screen reader says for the program's windows and controls, in the interface's language,
// kept in this one place so that a translation finds every word of it. Controls are found by
// their window's class and their object name.
class AccessibleNames
{
public:
    using Controls = std::initializer_list<std::pair<QWidget*, const char*>>;

    // Names the window and its controls. controls gives object names to controls that have
    // none yet. Tab walks the named controls that take the keyboard focus in the order they
    // are listed here, which follows each window's layout; the first of them has the focus when
    // the window opens, unless the window has given it to another. Installs the interfaces
    // below first.
    static void apply(QWidget* window, Controls controls = {});
    // The program's own accessible interfaces: every line edit answers through
    // LineEditAccessible, and a main window that is a plain widget reads as a frame, the role of
    // an application's main window, whose new name a reader says. Call before the first window
    // is made; safe to call again.
    static void installInterfaces();

    // A day in full, as the calendar's cells read: "2024年3月15日 金曜日".
    static QString dayName(const QDate& date);
    // The weekday in full, 1 Monday … 7 Sunday.
    static QString weekdayName(int weekday);
    // What a calendar cell says beside its date: today, and whether the day has an entry.
    static QString dayNotes(bool today, bool hasEntry);
    // A text and what it says more, with a pause between: a search result's heading (date and
    // title) and the line found, or the calendar's selected day and its title.
    static QString withDetail(const QString& text, const QString& detail);
    // What the main window says of the day it shows: its date line and, when it has one, its
    // title ("2024年3月15日 金 — 雪の朝").
    static QString dayShown(const QString& dateLine, const QString& title);
    // A text as a reader should hear it: a tooltip's markup taken off.
    static QString plain(const QString& text);
};
