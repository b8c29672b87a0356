#!/usr/bin/env bash
# The program entry and the ways a run ends: a first start makes a private diary folder, a
# second start on an open diary brings its window (or its password prompt) forward and ends,
# SIGTERM and SIGHUP close the normal way and save the day (or, when the save fails, keep the
# text in a recovery file without asking), and a start-up that fails shows the real error box
# and ends with code 1.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-01-05 07:00:00"
readonly KEY=20240105

# other_start FOLDER: a further copy of the program, outside the harness's own bookkeeping.
other_start() {
    rm -f "$E2E_WORK/other.rc" "$E2E_WORK/other.pid"
    (
        env TOBIQUILL_HOME="$1" "$E2E_BIN" >>"$E2E_WORK/app.log" 2>&1 &
        echo $! >"$E2E_WORK/other.pid"
        wait $!
        echo $? >"$E2E_WORK/other.rc"
    ) &
    wait_for test -s "$E2E_WORK/other.pid" || abort "a further copy starts"
    OTHER_PID=$(cat "$E2E_WORK/other.pid")
}

other_box_found() {
    BOX=$(xdotool search --onlyvisible --pid "$OTHER_PID" 2>/dev/null | head -n 1)
    [ -n "$BOX" ]
}

box_has_focus() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$BOX" ]
}

other_box_is_ours() {
    [ "$(xdotool getwindowname "$BOX" 2>/dev/null)" = Tobiquill ]
}

other_answer_and_wait() {
    xdotool windowfocus "$BOX"
    wait_for box_has_focus || abort "the box takes the keyboard focus"
    xdotool key Return
    if ! wait_for test -e "$E2E_WORK/other.rc"; then
        kill -KILL "$OTHER_PID" 2>/dev/null
        abort "the further copy ends after its box is answered"
    fi
    cat "$E2E_WORK/other.rc"
}

# other_ends_quietly WHAT: the further copy ends by itself with code 0, no box asked of anyone.
other_ends_quietly() {
    if wait_for test -e "$E2E_WORK/other.rc"; then
        check_eq "$1" 0 "$(cat "$E2E_WORK/other.rc")"
    else
        kill -KILL "$OTHER_PID" 2>/dev/null
        fail "$1" "it still runs: a box waits for an answer"
    fi
}

mode_of() {
    stat -c %a "$1"
}

# A first start makes the diary folder and everything in it private.
home=$E2E_WORK/new/diary
umask 022
app_start "$home" "$NOW"
check "the first start creates the diary folder" test -d "$home"
check_eq "the diary folder is private" 700 "$(mode_of "$home")"
check_eq "the entries folder is private" 700 "$(mode_of "$home/data")"
type_body "secret"

# A second start on the open diary asks the open window forward (SingleWindowTest sees it come)
# and ends; the first copy goes on.
other_start "$home"
other_ends_quietly "a second start ends with code 0 and no box"
check "the first copy still runs" app_running
app_close
check_eq "diary.ini is private" 600 "$(mode_of "$home/diary.ini")"
check_eq "the entry is private" 600 "$(mode_of "$home/data/$KEY")"
check_absent "the lock goes with the copy that held it" "$home/diary.lock"

# The same while the first copy still asks for its password: the prompt comes forward, and the
# second copy ends without a word.
home=$(new_folder prompt)
printf '[data]\r\nusepassword=1\r\n' >"$home/diary.ini"
app_start "$home" "$NOW"
other_start "$home"
other_ends_quietly "a second start during the password prompt ends with code 0 and no box"
app_click "$PROMPT_CANCEL_X" "$PROMPT_CANCEL_Y"
wait_for test -e "$E2E_WORK/app.rc" || abort "Cancel at the prompt ends the first copy"
APP_PID=

# A kill that asks (SIGTERM) and a closed terminal (SIGHUP) save the day like the close button.
for sig in TERM HUP; do
    home=$(new_folder "signal-$sig")
    app_start "$home" "$NOW"
    type_body "typed before SIG$sig"
    check_eq "the body holds the text before SIG$sig" "typed before SIG$sig" "$(shown_body)"
    kill -s "$sig" "$APP_PID"
    wait_for test -e "$E2E_WORK/app.rc" || abort "SIG$sig ends the program"
    check_eq "SIG$sig ends the program with code 0" 0 "$(cat "$E2E_WORK/app.rc")"
    check_bytes "SIG$sig saved the day" "$home/data/$KEY" "$(expect_file "sig$sig" "typed before SIG$sig")"
    check "SIG$sig wrote the settings" has_ini_key "$home/diary.ini" data scrollbar
    APP_PID=
done

# A close whose save fails: the real error box, then the real question; leaving anyway keeps the
# text in a recovery file.
app_box_found() {
    BOX=$(xdotool search --onlyvisible --pid "$APP_PID" --name '^Tobiquill$' 2>/dev/null |
        grep -vx "$WIN" | head -n 1)
    [ -n "$BOX" ]
}
app_box_gone() {
    ! xdotool search --onlyvisible --pid "$APP_PID" --name '^Tobiquill$' 2>/dev/null | grep -qx "$BOX"
}

home=$(new_folder leave)
app_start "$home" "$NOW"
type_body "kept elsewhere"
check_eq "the body holds the text to keep" "kept elsewhere" "$(shown_body)"
mv "$home/data" "$home/data.moved"
echo "a file where the entries folder was" >"$home/data"
app_click "$CLOSE_X" "$CLOSE_Y"
wait_for app_box_found || abort "the failed save shows the error box"
xdotool windowfocus "$BOX"
wait_for box_has_focus || abort "the error box takes the keyboard focus"
xdotool key Return
wait_for app_box_gone || abort "the error box goes when answered"
wait_for app_box_found || abort "the question to leave anyway follows"
xdotool windowfocus "$BOX"
wait_for box_has_focus || abort "the question takes the keyboard focus"
xdotool key alt+y
wait_for test -e "$E2E_WORK/app.rc" || abort "answering yes ends the program"
check_eq "leaving anyway ends with code 0" 0 "$(cat "$E2E_WORK/app.rc")"
APP_PID=
recovery=$(find "$XDG_DATA_HOME/tobiquill/recovery" -name "$KEY-*.txt" 2>/dev/null | head -n 1)
check "the recovery file holds the unsaved text" grep -qx "kept elsewhere" "$recovery"
check_eq "the recovery file is private" 600 "$(mode_of "$recovery")"

# SIGTERM while the save fails: no box waits for anyone (a SIGKILL follows soon); the text goes
# to a recovery file and the program ends.
home=$(new_folder term-failing)
app_start "$home" "$NOW"
type_body "kept on SIGTERM"
check_eq "the body holds the text to keep on SIGTERM" "kept on SIGTERM" "$(shown_body)"
mv "$home/data" "$home/data.moved"
echo "a file where the entries folder was" >"$home/data"
kill -TERM "$APP_PID"
wait_for test -e "$E2E_WORK/app.rc" || abort "SIGTERM ends the program though the save fails"
APP_PID=
check "SIGTERM kept the unsaved text in a recovery file" \
    grep -rqx "kept on SIGTERM" "$XDG_DATA_HOME/tobiquill/recovery"

# A start-up that fails shows the real error box and ends with code 1, writing nothing.
home=$(new_folder broken)
mkdir "$home/diary.ini"
other_start "$home"
wait_for other_box_found || abort "a start on an unreadable diary.ini shows a box"
check "the failed start shows the program's error box" other_box_is_ours
check_eq "the failed start ends with code 1" 1 "$(other_answer_and_wait)"
check_absent "nothing of the failed start is written" "$home/data/$KEY"

finish
