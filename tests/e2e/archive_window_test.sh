#!/usr/bin/env bash
# Export and backup as a new user finds them: the menu's "書き出し..." and "バックアップ...",
# the file typed into the file dialog, the days left as they are (the whole diary), and the
# closing message answered. The day typed in is saved first and is in both files.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

home=$(new_folder home)
mkdir -p "$home/data"
cp932 "古い日" >"$home/data/20231231"

# window_focused TITLE: the program's visible window of that title has the keyboard.
window_focused() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        if [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ]; then
            xdotool windowfocus "$w" 2>/dev/null
            [ "$(xdotool getwindowfocus 2>/dev/null)" = "$w" ] && return 0
        fi
    done
    return 1
}

# window_answer TITLE KEYS...: waits for the program's window TITLE, gives it the keyboard and
# presses KEYS there.
window_answer() {
    local title=$1
    shift
    wait_for window_focused "$title" || abort "the window $title opens"
    xdotool key --delay 50 "$@"
}

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
