#!/usr/bin/env bash
# shellcheck disable=SC2317 # the helpers below run through wait_for
# Turning encryption on or off killed with SIGKILL at several moments, picked by how far the
# conversion has come (the key file written or the first day opened, a quarter, three quarters
# of the days converted):
# the next start asks for the passphrase and finishes the conversion in the progress window,
# and every day then holds exactly the bytes it held before encryption.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

# After the last day: the day shown at start has no entry, so a close writes nothing to the days.
readonly NOW="2035-01-05 12:00:00"
readonly PASS="a passphrase long enough"
readonly DAYS=4000

home=$(new_folder home)
originals=$E2E_WORK/originals
# Days of a few lines each, in code page 932 with CR LF, and a title for every tenth.
/usr/bin/python3 - "$home" "$DAYS" <<'PY'
import datetime, os, sys
home, days = sys.argv[1], int(sys.argv[2])
os.makedirs(os.path.join(home, "data"))
start = datetime.date(2020, 1, 1)
titles = []
for n in range(days):
    key = (start + datetime.timedelta(days=n)).strftime("%Y%m%d")
    body = f"{n}日目の日記\r\n" + "今日も書いた。\r\n" * (n % 7)
    with open(os.path.join(home, "data", key), "wb") as f:
        f.write(body.encode("cp932"))
    if n % 10 == 0:
        titles.append(f"{key}=題{n}\r\n")
with open(os.path.join(home, "diary.ini"), "wb") as f:
    # The companion stays quiet: its comments would change the days compared.
    f.write(("[title]\r\n" + "".join(titles) + "[data]\r\nMnikki=0\r\n").encode("cp932"))
PY
cp -a "$home" "$originals"

# The conversion goes through the days in date order: how far it has come is told by one day's
# file, which a poll reads fast enough to stop it between two days.
day_file() {
    echo "$home/data/$(date -d "2020-01-01 + $1 days" +%Y%m%d)"
}

sealed() {
    [ "$(head -c 4 "$(day_file "$1")" 2>/dev/null)" = TQSL ]
}

plain() {
    ! sealed "$1"
}

# sealed_days: how many day files begin with the sealed files' magic (a save's temporary file,
# there for a moment, is no day).
sealed_days() {
    /usr/bin/python3 -c '
import os, re, sys
def sealed(path):
    try:
        with open(path, "rb") as f:
            return f.read(4) == b"TQSL"
    except FileNotFoundError:
        return False
d = sys.argv[1]
print(sum(sealed(os.path.join(d, n)) for n in os.listdir(d) if re.fullmatch(r"[0-9]{8}", n)))' "$home/data"
}

key_written() {
    [ -s "$home/diary.key" ]
}

# killed_at TASK CONDITION...: runs the command-line TASK (--encrypt or --decrypt) with the
# passphrase on standard input and kills it once CONDITION holds, looked at every 10 ms.
killed_at() {
    local task=$1 i
    shift
    printf '%s\n' "$PASS" | "$E2E_BIN" --diary "$home" "$task" >"$E2E_WORK/task.log" 2>&1 &
    local pid=$!
    for ((i = 0; i < E2E_TIMEOUT * 100; i++)); do
        "$@" && break
        sleep 0.01
    done
    "$@" || fail "$task comes as far as: $*"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# A window of the program other than the passphrase prompt $1 (the question), in $FOUND.
question_shown() {
    local question
    question=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vxe "$1" | head -n 1)
    [ -n "$question" ] && ! main_window_shown && FOUND=$question
}

# question_agreed ID: a click on the question's はい(Y), the box gone then.
question_agreed() {
    xdotool mousemove --window "$1" 362 61 click 1 2>/dev/null
    app_window_gone "$1"
}

# finish_in_window WHAT [asked]: the program asks for the passphrase, finishes the conversion and
# shows the diary; then it closes. With "asked", a pending turn-off is first asked about, and the
# owner says yes.
finish_in_window() {
    app_start "$home" "$NOW"
    local prompt=$WIN
    app_type "$PASS"
    app_keys Return
    if [ -n "${2:-}" ]; then
        wait_for question_shown "$prompt" || abort "$1: the pending turn-off is asked about first"
        wait_for question_agreed "$FOUND" || abort "$1: はい answers the question"
    fi
    wait_for main_window_shown || abort "$1: the passphrase opens the diary and the conversion finishes"
    WIN=$FOUND
    app_close
}

days_as_before() {
    local name
    for name in "$originals"/data/*; do
        cmp -s "$name" "$home/data/${name##*/}" || return 1
    done
    # A killed save's leftover beside a day is no day.
    [ "$(find "$home/data" -type f -regextype posix-extended -regex '.*/[0-9]{8}' | wc -l)" = "$DAYS" ]
}

titles_as_before() {
    [ "$(ini_section "$home/diary.ini" title)" = "$(ini_section "$originals/diary.ini" title)" ]
}

moment=0
for at in key_written "sealed $((DAYS / 4))" "sealed $((DAYS * 3 / 4))"; do
    moment=$((moment + 1))
    # shellcheck disable=SC2086 # the condition and its argument
    killed_at --encrypt $at
    check "the kill came before every day was sealed ($at)" plain $((DAYS - 1))
    finish_in_window "killed turning on ($at)"
    check_eq "killed turning on ($at): every day is sealed after the next start" "$DAYS" "$(sealed_days)"

    case $moment in
    1) off_at="plain 0" ;;
    2) off_at="plain $((DAYS / 4))" ;;
    *) off_at="plain $((DAYS * 3 / 4))" ;;
    esac
    # shellcheck disable=SC2086
    killed_at --decrypt $off_at
    check "the kill came before every day was opened ($off_at)" sealed $((DAYS - 1))
    if [ -e "$home/diary.key" ]; then
        finish_in_window "killed turning off ($off_at)" asked
    fi
    check "killed turning off ($off_at): every day holds its old bytes after the next start" days_as_before
    check "and every title" titles_as_before
    check_absent "and the key file is gone" "$home/diary.key"
done

finish
