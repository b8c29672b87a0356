#!/usr/bin/env bash
# Export and backup as a new user finds them: the menu's "書き出し..." and "バックアップ...",
# the file typed into the file dialog, the days left as they are (the whole diary), and the
# closing message answered. The day typed in is saved first and is in both files.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

home=$(new_folder home)
mkdir -p "$home/data"
cp932 "古い日" >"$home/data/20231231"

app_start "$home" "2024-01-05 12:00:00"
type_body "shown"

menu_choose 7
window_answer "書き出し" ctrl+a
xdotool type --delay 20 "$E2E_WORK/diary.html"
xdotool key Return
window_answer "書き出す日" Return
window_answer "書き出し" Return
check "the export holds the day typed in, saved first" grep -q "shown" "$E2E_WORK/diary.html"
check "and the days before it" grep -q "古い日" "$E2E_WORK/diary.html"
check "the diary holds the day typed in" test -s "$home/data/20240105"

menu_choose 8
window_answer "バックアップ" ctrl+a
xdotool type --delay 20 "$E2E_WORK/diary.zip"
xdotool key Return
window_answer "バックアップ" Return
check_eq "the backup holds the day typed in" "data/20240105" \
    "$(unzip -Z1 "$E2E_WORK/diary.zip" data/20240105)"
check_not "nothing is left beside the files" compgen -G "$E2E_WORK/*tobiquill-save*"

app_close
finish
