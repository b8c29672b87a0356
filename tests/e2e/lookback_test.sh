#!/usr/bin/env bash
# The look back as a new user meets it: 「振り返り...」 from the menu opens it on the shown day;
# この日 lists the same date in other years, newest first; the year grid reads to a screen
# reader as the calendar does, with each day's characters; Page Up goes a year back, Home to its
# first day, Enter shows that day in the main window. --stats prints the same record.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

home=$(new_folder home)
mkdir -p "$home/data"
# Line breaks are no characters; half-width kana count one each, as 日 does.
cp932 $'初日の出\r\nｶﾒﾗ' >"$home/data/20230101"
cp932 "一年前の今日" >"$home/data/20230315"
cp932 "二年前" >"$home/data/20220315"
cp932 "今日" >"$home/data/20240315"
cp932 $'\r\n[title]\r\n20230101=元日\r\n20230315=去年\r\n' >"$home/diary.ini"
atspi_start

LWIN=
lookback_found() {
    app_window_titled 振り返り && LWIN=$FOUND
}
lookback_has_focus() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$LWIN" ]
}

app_start "$home" "2024-03-15 12:00:00"
menu_choose 6
wait_for lookback_found || abort "「振り返り...」 opens the look back"
pass "「振り返り...」 opens the look back"
xdotool windowfocus "$LWIN"
wait_for lookback_has_focus || abort "the look back takes the keyboard"
check_reads "この日 lists the other years, newest first" \
    "2023年3月15日 水曜日、去年、一年前の今日" name 振り返り "list item"
check_reads "the grid stands on the shown day" "2024年3月15日 金曜日, 2字" selected 振り返り table

app_keys Tab Tab Tab Prior Home
check_reads "Page Up and Home go to the first day of last year, its characters counted" \
    "2023年1月1日 日曜日, 7字" selected 振り返り table
app_keys Return
xdotool windowfocus "$WIN"
wait_for x_focus_is_window || abort "the main window takes the keyboard again"
check_eq "Enter shows the day in the main window" "元日" "$(shown_title)"
check_reads "この日 follows the main window's day and says when no other year has it" \
    "ほかの年のこの日の日記はありません。" name 振り返り "list item"

stats=$("$E2E_BIN" --stats --diary "$home")
check_eq "--stats counts the days and characters" $'days\t4\ncharacters\t18' \
    "$(printf '%s\n' "$stats" | head -n 2)"

app_close
finish
