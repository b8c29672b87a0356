#!/usr/bin/env bash
# shellcheck disable=SC2317 # the helpers below run through wait_for and check
# What a writer of the diary's folder (a sync peer, the cloud that keeps the folder) can no longer
# do. diary.ini made a link to a file of the user's elsewhere: the program refuses to start on it
# and the file keeps its bytes. diary.key deleted from an encrypted diary: the window opens
# read-only, says why, and nothing typed reaches any file in plain; the command line refuses the
# diary instead of taking it for a plain one (or encrypting it afresh).

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-01-05 12:00:00"
readonly PASS="correct horse battery"
readonly TYPED_TITLE="zebratitle" TYPED_BODY="鍵のない日の秘密quokka"

# --- diary.ini a link to a file outside the diary -----------------------------------------------

home=$(new_folder linked)
mkdir "$home/data"
outside=$E2E_WORK/bash_aliases
printf 'alias ll="ls -l"\n' >"$outside"
cp "$outside" "$E2E_WORK/bash_aliases.before"
ln -s "$outside" "$home/diary.ini"
# A sync tool's copy of diary.ini with a title the other file must never receive.
# shellcheck disable=SC2016 # the peer's title, meant to stay unexpanded
printf '[title]\r\n20240105=$(id>%s)\r\n' "$E2E_WORK/ran" >"$home/diary.sync-conflict-20240105-120000-ABCDEFG.ini"

BOX=
box_found() {
    BOX=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | head -n 1)
    [ -n "$BOX" ]
}
rm -f "$E2E_WORK/app.rc"
(
    env TOBIQUILL_HOME="$home" "$E2E_BIN" >>"$E2E_WORK/app.log" 2>&1 &
    echo $! >"$E2E_WORK/app.pid"
    wait $!
    echo $? >"$E2E_WORK/app.rc"
) &
wait_for test -s "$E2E_WORK/app.pid" || abort "the program starts"
APP_PID=$(cat "$E2E_WORK/app.pid")
wait_for box_found || abort "a start on a linked diary.ini shows a box"
xdotool windowfocus "$BOX"
xdotool key Return
wait_for test -e "$E2E_WORK/app.rc" || abort "the program ends once the box is answered"
check_eq "the start on a linked diary.ini ends with code 1" 1 "$(cat "$E2E_WORK/app.rc")"
APP_PID=
check_bytes "the file diary.ini links to keeps its bytes" "$outside" "$E2E_WORK/bash_aliases.before"
check "diary.ini is still the link" test -L "$home/diary.ini"

# --- diary.key deleted from an encrypted diary ----------------------------------------------------

home=$(new_folder keyless)
mkdir "$home/data"
cp932 $'元日の秘密\r\n' >"$home/data/20240101"
printf '%s\n' "$PASS" | "$E2E_BIN" --diary "$home" --encrypt >"$E2E_WORK/encrypt.log" 2>&1 ||
    abort "the diary is encrypted" "$(cat "$E2E_WORK/encrypt.log")"
rm "$home/diary.key"
digests() {
    (cd "$home" && find . -type f | LC_ALL=C sort | xargs sha256sum)
}
before=$(digests)

# found_anywhere TEXT: TEXT, as typed or in code page 932, in a file of the diary or wherever a
# recovery file would go.
found_anywhere() {
    local places=("$home" "$TMPDIR" "$XDG_DATA_HOME" "$XDG_CACHE_HOME")
    LC_ALL=C grep -rqF -- "$1" "${places[@]}" 2>/dev/null ||
        LC_ALL=C grep -rqF -- "$(cp932 "$1")" "${places[@]}" 2>/dev/null
}

# The first day shown cannot be read: its box comes before the window.
app_start "$home" "$NOW"
check_eq "the diary says why it cannot be read" 1 "$(grep -c . <<<"$(xdotool search --onlyvisible --pid "$APP_PID")")"
app_keys Return
wait_for main_window_shown || abort "the window opens once the box is answered"
WIN=$FOUND
focus_window "$WIN" || abort "the window takes the keyboard"
type_title "$TYPED_TITLE"
type_body "$TYPED_BODY"
app_close
check_not "the typed title is in no file" found_anywhere "$TYPED_TITLE"
check_not "the typed text is in no file" found_anywhere "$TYPED_BODY"
check_eq "no file of the diary changed" "$before" "$(digests)"

stats=$("$E2E_BIN" --diary "$home" --stats 2>&1 </dev/null)
check_eq "--stats ends with code 1" 1 "$?"
check "--stats says the key file is missing" grep -qF "$home/diary.key がありません" <<<"$stats"
printf 'another passphrase\n' | "$E2E_BIN" --diary "$home" --encrypt >/dev/null 2>&1
check_eq "--encrypt refuses the diary" 1 "$?"
check_absent "--encrypt makes no new key file" "$home/diary.key"
check_eq "no file of the diary changed" "$before" "$(digests)"

finish
