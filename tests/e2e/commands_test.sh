#!/usr/bin/env bash
# The day commands through the keyboard shortcuts and the day buttons, and the two toggles of
# the main menu. Every change of day saves the day left, so the entry files show which days were
# left and with what text; the editors are read back through the clipboard.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-01-05 12:00:00"
readonly FIVE=$'five a\nfive b'

home=$(new_folder home)
ini=$home/diary.ini
data=$home/data
four=$(expect_file four "four")
five=$(expect_file five $'five a\r\nfive b')
six=$(expect_file six "six")
seven=$(expect_file seven "seven")
eight=$(expect_file eight "eight")
nine=$(expect_file nine "nine")

app_start "$home" "$NOW"
type_title "T5"
type_body "five a"
app_keys Return
app_type "five b"

# Keyboard: next, previous, today.
app_ctrl period
if wait_for file_matches "$data/20240105" "$five"; then
    pass "Ctrl+. saves the day left"
else
    fail "Ctrl+. saves the day left" "$data/20240105 does not hold the typed body"
fi
# The title reaches diary.ini just after the day's file.
# shellcheck disable=SC2317 # runs through wait_for
title_is() {
    [ "$(ini_value "$ini" title "$1")" = "$2" ]
}
check "the day left keeps its title" wait_for title_is 20240105 T5

type_body "six"
app_click "$TITLE_X" "$TITLE_Y"
app_ctrl comma
if wait_for file_matches "$data/20240106" "$six"; then
    pass "Ctrl+. showed the next day empty, and Ctrl+, in the title edit saves it"
else
    fail "Ctrl+. showed the next day empty, and Ctrl+, in the title edit saves it" \
        "$data/20240106 does not hold just \"six\""
fi
check "an empty title is written as an empty value" wait_for has_ini_key "$ini" title 20240106
check_eq "Ctrl+, comes back to the day with its body" "$FIVE" "$(shown_body)"
check_eq "Ctrl+, comes back to the day with its title" "T5" "$(shown_title)"

app_ctrl period
app_ctrl period
app_ctrl t
check_eq "Ctrl+T shows today" "$FIVE" "$(shown_body)"
check_absent "a day left empty is not written" "$data/20240107"
check_not "a day left empty gets no title" has_ini_key "$ini" title 20240107

# Shortcuts that must do nothing: other modifiers, or Ctrl let go before the key.
app_ctrl period
app_ctrl period
app_ctrl period
type_body "eight"
app_keys ctrl+shift+t ctrl+alt+t
xdotool keydown ctrl keydown period keyup ctrl keyup period
check_eq "Ctrl+Shift+T, Ctrl+Alt+T and a late Ctrl release keep the day and its text" \
    "eight" "$(shown_body)"
check_absent "Ctrl+Shift+T, Ctrl+Alt+T and a late Ctrl release save nothing" "$data/20240108"
app_ctrl t
if wait_for file_matches "$data/20240108" "$eight"; then
    pass "Ctrl+T saves the day left"
else
    fail "Ctrl+T saves the day left" "$data/20240108 does not hold \"eight\""
fi

# The day buttons, with the left button and with the right one.
app_click "$YR_X" "$YR_Y"
check_eq "the next-day button shows the next day" "six" "$(shown_body)"
app_click "$YL_X" "$YL_Y"
check_eq "the previous-day button shows the previous day" "$FIVE" "$(shown_body)"
app_click "$YL_X" "$YL_Y"
type_body "four"
app_click "$TODAY_X" "$TODAY_Y"
if wait_for file_matches "$data/20240104" "$four"; then
    pass "the today button saves the day left"
else
    fail "the today button saves the day left" "$data/20240104 does not hold \"four\""
fi
check_eq "the today button shows today" "$FIVE" "$(shown_body)"
app_click "$YR_X" "$YR_Y" 3
check_eq "a right click on the next-day button works like a left one" "six" "$(shown_body)"
app_click "$YL_X" "$YL_Y" 3
app_click "$YL_X" "$YL_Y" 3
check_eq "a right click on the previous-day button works like a left one" "four" "$(shown_body)"
app_click "$TODAY_X" "$TODAY_Y" 3
check_eq "a right click on the today button works like a left one" "$FIVE" "$(shown_body)"
xdotool mousemove --window "$WIN" "$YR_X" "$YR_Y" click --repeat 2 --delay 80 1
type_body "seven"
app_click "$TODAY_X" "$TODAY_Y"
if wait_for file_matches "$data/20240107" "$seven"; then
    pass "a double click on the next-day button moves two days"
else
    fail "a double click on the next-day button moves two days" "$data/20240107 does not hold \"seven\""
fi

# The calendar shortcut saves the day and opens the calendar; its key press must not reach the
# body, where Ctrl+K would delete to the end of the line. Escape closes the calendar and keeps
# the day.
app_ctrl period
app_ctrl period
app_ctrl period
app_ctrl period
type_body "nine"
app_keys Home
app_ctrl k
if wait_for file_matches "$data/20240109" "$nine"; then
    pass "Ctrl+K saves the day shown, text intact"
else
    fail "Ctrl+K saves the day shown, text intact" "$data/20240109 does not hold \"nine\""
fi
if wait_for app_window_named calendar; then
    pass "Ctrl+K opens the calendar"
    calendar=$FOUND
    xdotool windowfocus "$calendar"
    app_keys Escape
    wait_for app_window_gone "$calendar" || fail "Escape closes the calendar"
    xdotool windowfocus "$WIN"
else
    fail "Ctrl+K opens the calendar"
fi
check_eq "Ctrl+K leaves the day and its text on screen" "nine" "$(shown_body)"

# The menu's items: Font, Setting, モルナの日記, Scroll Bar.
menu_choose 3
menu_choose 4
app_close

check_eq "the companion toggle is stored off" 0 "$(ini_value "$ini" data Mnikki)"
check_eq "the scroll bar toggle is stored on" 1 "$(ini_value "$ini" data scrollbar)"
check_bytes "today's entry is kept through all the moves" "$data/20240105" "$five"
check_bytes "the next day's entry is kept through all the moves" "$data/20240106" "$six"
check_eq "the titles written are those of the days left" \
    "20240105=T5 20240106= 20240108= 20240104= 20240107= 20240109=" \
    "$(ini_section "$ini" title | paste -sd' ')"

finish
