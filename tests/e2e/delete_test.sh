#!/usr/bin/env bash
# Deleting a day as a new user finds it: the menu's "この日を削除...", whose question Enter
# answers with its default, キャンセル, and Alt+D with 削除. The day's file and title go, the
# other day stays, and the day is still gone after the close and the next start. From the command
# line the same is refused while the window has the diary, and done once it is closed; asked on a
# terminal, only an explicit yes deletes.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

home=$(new_folder home)
mkdir -p "$home/data"
cp932 "雪が降った" >"$home/data/20240105"
cp932 "前の日" >"$home/data/20240104"
cp932 "三日" >"$home/data/20240103"
cp932 $'\r\n[title]\r\n20240104=前\r\n20240105=雪の朝\r\n' >"$home/diary.ini"
cp "$home/data/20240104" "$E2E_WORK/expected-other"

# The program's window other than the main one, the question, takes the keyboard; in $POPUP.
question_focused() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        [ "$w" = "$WIN" ] && continue
        xdotool windowfocus "$w" 2>/dev/null
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$w" ] && POPUP=$w && return 0
    done
    return 1
}

# question_answered KEYS...: presses KEYS in the question and waits for it to close.
question_answered() {
    wait_for question_focused || abort "choosing この日を削除... asks first"
    xdotool key --delay 50 "$@"
    wait_for popup_gone || abort "the answer closes the question"
}

app_start "$home" "2024-01-05 12:00:00"
menu_choose 11
question_answered Return
check "Enter keeps the day: キャンセル is the default" test -f "$home/data/20240105"

"$E2E_BIN" --diary "$home" --delete-day 20240104 --yes </dev/null >"$E2E_WORK/cli.log" 2>&1
check_eq "the command line refuses while the window has the diary" 1 "$?"
check "and says why" grep -q "開いています" "$E2E_WORK/cli.log"

menu_choose 11
question_answered alt+d
wait_for test ! -e "$home/data/20240105"
check_absent "削除 removes the day's file" "$home/data/20240105"
check_not "and its title" has_ini_key "$home/diary.ini" title 20240105
app_close
check_absent "the close writes nothing back" "$home/data/20240105"

app_start "$home" "2024-01-05 12:00:00"
app_close
check_absent "the day stays deleted after the next start" "$home/data/20240105"
check_not "and so does its title" has_ini_key "$home/diary.ini" title 20240105
check_bytes "the other day stays as it was" "$home/data/20240104" "$E2E_WORK/expected-other"

# answered_on_a_terminal ANSWER: runs --delete-day 20240103 on a pseudo-terminal, types ANSWER
# and Enter at its question, and exits with the program's exit code.
answered_on_a_terminal() {
    python3 - "$E2E_BIN" "$home" "$1" "$E2E_TIMEOUT" <<'PY'
import os, pty, select, sys
program, home, answer, timeout = sys.argv[1:]
pid, fd = pty.fork()
if pid == 0:
    os.execv(program, [program, "--diary", home, "--delete-day", "20240103"])
seen = b""
def read_until(done):
    global seen
    while not done(seen):
        if not select.select([fd], [], [], float(timeout))[0]:
            sys.exit(99)
        try:
            chunk = os.read(fd, 4096)
        except OSError:
            return
        if not chunk:
            return
        seen += chunk
read_until(lambda s: b"[y/N]" in s)
os.write(fd, answer.encode() + b"\r")
read_until(lambda s: False)
sys.exit(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))
PY
}
for answer in "" n x; do
    answered_on_a_terminal "$answer"
    check_eq "on a terminal the answer '$answer' deletes nothing" 1 "$?"
    check "and the day stays" test -f "$home/data/20240103"
done
answered_on_a_terminal y
check_eq "on a terminal y deletes" 0 "$?"
check_absent "the day" "$home/data/20240103"

"$E2E_BIN" --diary "$home" --delete-day 20240104 --yes </dev/null >"$E2E_WORK/cli.log" 2>&1
check_eq "the command line deletes the day with --yes" 0 "$?"
check_absent "its file" "$home/data/20240104"
check_eq "and its title: the section is empty" "" "$(ini_keys "$home/diary.ini" title)"
finish
