#!/usr/bin/env bash
# The search as a new user meets it: Ctrl+F over a diary where 日記 is written as ニッキ and
# にっき, にっき typed into the search window and confirmed with Enter at once: the main window
# shows the newest day found, written in katakana. The day typed in before the search is saved
# first.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

home=$(new_folder home)
mkdir -p "$home/data"
cp932 "ニッキを書いた" >"$home/data/20240101"
cp932 "にっきを読んだ" >"$home/data/20231231"
cp932 "日記帳を買った" >"$home/data/20231120"
printf '\r\n[title]\r\n20240101=T1\r\n20231231=T2\r\n20231120=T3\r\n' >"$home/diary.ini"
today=$(expect_file today "today")

# The search window is the program's visible window besides the main one.
SWIN=
other_window() {
    xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vx "$WIN" | head -n 1
}
search_window_found() {
    SWIN=$(other_window)
    [ -n "$SWIN" ]
}
search_window_gone() {
    [ -z "$(other_window)" ]
}
search_has_focus() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$SWIN" ]
}

app_start "$home" "2024-01-05 12:00:00"
type_body "today"
app_ctrl f
wait_for search_window_found || abort "Ctrl+F opens the search window"
pass "Ctrl+F opens the search window"
if wait_for file_matches "$home/data/20240105" "$today"; then
    pass "the day typed in is saved before the search"
else
    fail "the day typed in is saved before the search" "$home/data/20240105 does not hold \"today\""
fi
xdotool windowfocus "$SWIN"
wait_for search_has_focus || abort "the search window takes the keyboard"
app_type "にっき"
# Enter takes the first result, newest first, even when it comes after the key.
app_keys Return
wait_for search_window_gone || abort "Enter closes the search window"
pass "Enter closes the search window"
xdotool windowfocus "$WIN"
wait_for x_focus_is_window || abort "the main window takes the keyboard again"
check_eq "the main window shows the day chosen" "T1" "$(shown_title)"
check_eq "with its body" "ニッキを書いた" "$(shown_body)"

app_close
finish
