#!/usr/bin/env bash
# shellcheck disable=SC2317 # the helpers below run through wait_for and check_not
# The three modal windows as a new user meets them: the calendar (keys and mouse), the settings
# and the password prompt they switch on. The calendar's choices show in the entry files of the
# days reached; the settings in diary.ini and in what the next start asks for; a cancelled start
# leaves every file as it was.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-01-05 12:00:00"

home=$(new_folder home)
ini=$home/diary.ini
data=$home/data
five=$(expect_file five "five")
six=$(expect_file six "six")
ten=$(expect_file ten "ten")

# other_window: a visible window of the program other than $WIN, in $FOUND.
other_window() {
    FOUND=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vx "$WIN" | head -n 1)
    [ -n "$FOUND" ]
}

# open_calendar: Ctrl+K in the body; the calendar goes to $calendar with the keyboard.
open_calendar() {
    app_ctrl k
    wait_for app_window_named calendar || abort "Ctrl+K opens the calendar"
    calendar=$FOUND
    focus_window "$calendar" || abort "the calendar takes the keyboard focus"
}

# close_calendar_with KEY...: the keys end the calendar; the main window gets the keyboard back.
close_calendar_with() {
    app_keys "$@"
    wait_for app_window_gone "$calendar" || abort "$* closes the calendar"
    focus_window "$WIN" || abort "the main window takes the keyboard back"
}

digests() {
    (cd "$home" && find diary.ini data -type f | LC_ALL=C sort | xargs sha256sum)
}

# --- The calendar -----------------------------------------------------------------------------

app_start "$home" "$NOW"
type_body "five"
open_calendar
IFS=, read -r mx my <<<"$(window_position "$WIN")"
IFS=, read -r cx cy <<<"$(window_position "$calendar")"
check_eq "the calendar opens centred over the main window" "70,85" "$((cx - mx)),$((cy - my))"
check_eq "the calendar has its size" 181x150 "$(window_size "$calendar")"
check_eq "the calendar's title is just its own" calendar "$(xdotool getwindowname "$calendar")"
close_calendar_with Return
check_eq "Return on the shown day keeps the day and its text" "five" "$(shown_body)"
check_bytes "Ctrl+K wrote the day shown" "$data/20240105" "$five"

# 2024-01-05 is a Friday: the first Right reaches the Saturday at the row's end, where the second
# stops, as the grid's keys never wrap to the next row.
open_calendar
close_calendar_with Right Right Return
type_body "six"
app_ctrl k
wait_for app_window_named calendar || abort "Ctrl+K opens the calendar again"
calendar=$FOUND
if wait_for file_matches "$data/20240106" "$six"; then
    pass "Right Right Return moves to the Saturday, an empty day"
else
    fail "Right Right Return moves to the Saturday, an empty day" \
        "$data/20240106 does not hold just \"six\""
fi
check_bytes "the day left keeps its text" "$data/20240105" "$five"

# February 2024 begins on a Thursday (column 4 of row 1), so the 10th is the Saturday of row 2.
xdotool mousemove --window "$calendar" "$CAL_NEXT_X" "$CAL_NEXT_Y" click 1
read -r x y <<<"$(cal_cell 6 2)"
xdotool mousemove --window "$calendar" "$x" "$y" click 1
xdotool mousemove --window "$calendar" "$CAL_OK_X" "$CAL_OK_Y" click 1
wait_for app_window_gone "$calendar" || abort "OK closes the calendar"
focus_window "$WIN" || abort "the main window takes the keyboard back after OK"
type_body "ten"
app_close
check_bytes "next month, a click on the 10th and OK show 2024-02-10" "$data/20240210" "$ten"
check_bytes "the earlier days are kept" "$data/20240106" "$six"

# --- The settings and the password gate -------------------------------------------------------

app_start "$home" "$NOW"
menu_choose 2
wait_for other_window || abort "Setting opens the settings"
settings=$FOUND
check_eq "the settings are titled like the program" Tobiquill "$(xdotool getwindowname "$settings")"
focus_window "$settings" || abort "the settings take the keyboard focus"
xdotool mousemove --window "$settings" "$SET_NAME_X" "$SET_NAME_Y" click 1
app_keys ctrl+a
app_type "hanako"
# The copy is handled after the typing, so the name is known to be complete.
app_keys ctrl+a ctrl+c
wait_for clipboard_is "hanako" || fail "the name edit takes the typed name"
xdotool mousemove --window "$settings" "$SET_PASSWORD_X" "$SET_PASSWORD_Y" click 1
app_type "pw12"
xdotool mousemove --window "$settings" "$SET_USE_X" "$SET_USE_Y" click 1
xdotool mousemove --window "$settings" "$SET_OK_X" "$SET_OK_Y" click 1
wait_for app_window_gone "$settings" || abort "OK closes the settings"
app_close
check_eq "the name is stored" hanako "$(ini_value "$ini" data username)"
check_eq "the password is switched on" 1 "$(ini_value "$ini" data usepassword)"
check "a password is stored" test -n "$(ini_value "$ini" data password)"

app_start "$home" "$NOW"
prompt=$WIN
check_eq "the next start asks for the password first" 181x150 "$(window_size "$prompt")"
check_not "the main window waits behind the prompt" main_window_shown
app_type "pw21"
app_click "$PROMPT_OK_X" "$PROMPT_OK_Y"
if wait_for other_window; then
    pass "a wrong password gets a message"
    box=$FOUND
    check_eq "the message is the information box" "情報" "$(xdotool getwindowname "$box")"
    focus_window "$box" || fail "the message takes the keyboard focus"
    app_keys Return
    wait_for app_window_gone "$box" || abort "Return dismisses the message"
else
    fail "a wrong password gets a message"
fi
check_not "the prompt stays after a wrong password" app_window_gone "$prompt"
check_not "a wrong password keeps the main window hidden" main_window_shown
focus_window "$prompt" || abort "the prompt takes the keyboard back"
app_click "$PROMPT_EDIT_X" "$PROMPT_EDIT_Y"
app_keys ctrl+a BackSpace
app_type "pw12"
app_click "$PROMPT_OK_X" "$PROMPT_OK_Y"
wait_for main_window_shown || abort "the right password shows the main window"
pass "the right password shows the main window"
WIN=$FOUND
app_close

before=$(digests)
app_start "$home" "$NOW"
app_click "$PROMPT_CANCEL_X" "$PROMPT_CANCEL_Y"
if wait_for test -e "$E2E_WORK/app.rc"; then
    check_eq "Cancel at the prompt ends the program with code 0" 0 "$(cat "$E2E_WORK/app.rc")"
else
    fail "Cancel at the prompt ends the program"
fi
APP_PID=
check_eq "a cancelled start changes no file" "$before" "$(digests)"

finish
