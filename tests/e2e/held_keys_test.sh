#!/usr/bin/env bash
# shellcheck disable=SC2317 # the helpers below run through wait_for
# Keys held down as a person holds them, with the X server repeating them: Enter held in the
# calendar and on a search result, Ctrl+. held in the main window. Each acts once; no repeat
# reaches the day shown afterwards. The day files tell: a marker typed after the hold lands in
# the day's file by autosave, after every repeat has been handled, and must stand alone there.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

home=$(new_folder home)
data=$home/data
mkdir -p "$data"
cp932 "findme" >"$data/20231224"
printf '\r\n[title]\r\n20231224=Eve\r\n' >"$home/diary.ini"

focus_is() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# other_window: the visible window of the program besides the main one, in $FOUND.
other_window() {
    FOUND=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vx "$WIN" | head -n 1)
    [ -n "$FOUND" ]
}

# open_with KEY: Ctrl+KEY opens a window, which gets the keyboard; its id goes to $opened.
open_with() {
    app_ctrl "$1"
    wait_for other_window || abort "Ctrl+$1 opens its window"
    opened=$FOUND
    xdotool windowfocus "$opened"
    wait_for focus_is "$opened" || abort "the window of Ctrl+$1 takes the keyboard"
}

# hold KEY...: holds the keys down for two seconds, long enough for many repeats.
hold() {
    local -a reversed=()
    local key
    for key in "$@"; do
        reversed=("$key" "${reversed[@]}")
    done
    xdotool keydown "$@"
    sleep 2
    xdotool keyup "${reversed[@]}"
}

# after_hold WHAT FILE TEXT: the main window gets the keyboard back, "!" is typed at the end of
# the body, and FILE must come to hold TEXT and the marker, nothing else.
after_hold() {
    xdotool windowfocus "$WIN"
    wait_for x_focus_is_window || abort "the main window takes the keyboard back"
    type_body "!"
    local expected
    expected=$(expect_file "$(basename "$2")" "$3!")
    if wait_for file_matches "$2" "$expected"; then
        pass "$1"
    else
        fail "$1" "$2 holds:" "$(od -An -c "$2" | head -4)"
    fi
}

app_start "$home" "2024-01-05 12:00:00"
type_body "five"

open_with k
app_keys Right
hold Return
wait_for app_window_gone "$opened" || abort "Enter held closes the calendar"
after_hold "Enter held in the calendar moves one day and types nothing there" "$data/20240106" ""
check_bytes "the day left keeps its text" "$data/20240105" "$(expect_file five "five")"

open_with f
app_type "findme"
hold Return
wait_for app_window_gone "$opened" || abort "Enter held on a search result closes the search"
after_hold "Enter held on a search result shows the day and types nothing into it" \
    "$data/20231224" "findme"

hold ctrl period
after_hold "Ctrl+. held moves one day forward, not many" "$data/20231225" ""
check_absent "no day beyond the next is reached" "$data/20231226"

app_close
finish
