#!/usr/bin/env bash
# shellcheck disable=SC2317 # the helpers below run through wait_for and check_not
# Encryption as a new user meets it. 「暗号化...」 turns it on from the window and shows the
# recovery code; what is typed then, and what was written before, is found in no file of the
# diary, the temporary folder or the runtime folder, neither as typed nor in code page 932. The
# next start asks for the passphrase: a wrong one shows nothing of the diary, the recovery code
# opens it and leads to a new passphrase, which leaves every day's file as it was.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-01-05 12:00:00"
readonly PASS="correct horse battery"
readonly NEWPASS="staple and another"
# The texts that must stay secret: typed before encryption, and after it.
readonly EARLY_TITLE="zebratitle" EARLY_BODY="早い秘密の日記"
readonly LATE_TITLE="canarytitle" LATE_BODY="後の秘密quokka"

home=$(new_folder home)

EWIN=
encryption_found() {
    app_window_titled 暗号化 && EWIN=$FOUND
}

# The selected recovery code, copied as a user would copy it.
CODE=
code_copied() {
    app_keys ctrl+c
    CODE=$(xclip -o -selection clipboard 2>/dev/null)
    [[ $CODE =~ ^[0-9A-Z]{4}(-[0-9A-Z]{4}){5}$ ]]
}

# found_anywhere TEXT: TEXT, as typed or in code page 932, in a file of the diary, the
# temporary folder, the runtime folder or the user's data folder.
found_anywhere() {
    local places=("$home" "$TMPDIR" "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME" "$XDG_CACHE_HOME")
    LC_ALL=C grep -rqF -- "$1" "${places[@]}" 2>/dev/null ||
        LC_ALL=C grep -rqF -- "$(cp932 "$1")" "${places[@]}" 2>/dev/null
}

sealed() {
    [ "$(head -c 4 "$1")" = TQSL ]
}

digests() {
    (cd "$home" && find data -type f | LC_ALL=C sort | xargs sha256sum)
}

key_digest() {
    sha256sum <"$home/diary.key"
}

# --- Turned on from the window ------------------------------------------------------------------

app_start "$home" "$NOW"
type_title "$EARLY_TITLE"
type_body "$EARLY_BODY"
menu_choose 10
wait_for encryption_found || abort "「暗号化...」 opens the encryption window"
focus_window "$EWIN" || abort "the encryption window takes the keyboard"
app_type "short"
app_keys Tab
app_type "short"
app_keys Return
# A window of the program other than the main and the encryption windows, in $FOUND.
box_over() {
    FOUND=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vxe "$WIN" -e "$1" | head -n 1)
    [ -n "$FOUND" ]
}
wait_for box_over "$EWIN" || abort "a short passphrase is refused with a message"
pass "a short passphrase is refused with a message"
focus_window "$FOUND" || fail "the message takes the keyboard focus"
app_keys Return
wait_for app_window_gone "$FOUND" || abort "Return dismisses the message"
check_absent "a short passphrase turns nothing on" "$home/diary.key"
focus_window "$EWIN"
app_keys Escape
wait_for app_window_gone "$EWIN" || abort "Escape closes the encryption window"
xdotool windowfocus "$WIN"
wait_for x_focus_is_window || abort "the main window takes the keyboard again"

menu_choose 10
wait_for encryption_found || abort "「暗号化...」 opens the encryption window again"
focus_window "$EWIN" || abort "the encryption window takes the keyboard"
app_type "$PASS"
app_keys Tab
app_type "$PASS"
app_keys Return
wait_for code_copied || abort "turning on shows the recovery code, selected to copy"
pass "turning on shows the recovery code, selected to copy"
check "the key file is there" test -f "$home/diary.key"
check "the day written before is sealed" sealed "$home/data/20240105"
app_keys Escape
wait_for app_window_gone "$EWIN" || abort "Escape closes the encryption window"
xdotool windowfocus "$WIN"
wait_for x_focus_is_window || abort "the main window takes the keyboard again"

app_ctrl period
type_title "$LATE_TITLE"
type_body "$LATE_BODY"
app_close
check "the day written after is sealed" sealed "$home/data/20240106"
for secret in "$EARLY_TITLE" "$EARLY_BODY" "$LATE_TITLE" "$LATE_BODY" "quokka" "$PASS"; do
    check_not "no file holds \"$secret\"" found_anywhere "$secret"
done
check "the settings keep no password" test -z "$(ini_value "$home/diary.ini" data password)"

# --- The next start: a wrong passphrase, then the recovery code --------------------------------

before=$(digests)
app_start "$home" "$NOW"
prompt=$WIN
check_not "the main window waits behind the prompt" main_window_shown
app_type "not the passphrase"
app_keys Return
if wait_for box_over "$prompt"; then
    pass "a wrong passphrase gets a message"
    check_eq "the message is the information box" "情報" "$(xdotool getwindowname "$FOUND")"
    focus_window "$FOUND" || fail "the message takes the keyboard focus"
    app_keys Return
    wait_for app_window_gone "$FOUND" || abort "Return dismisses the message"
else
    fail "a wrong passphrase gets a message"
fi
check_not "a wrong passphrase shows nothing of the diary" main_window_shown
focus_window "$prompt" || abort "the prompt takes the keyboard back"
app_click "$PROMPT_EDIT_X" "$PROMPT_EDIT_Y"
app_keys ctrl+a BackSpace
app_type "$(printf '%s' "$CODE" | tr '[:upper:]' '[:lower:]' | tr -d -)"
app_keys Return
wait_for encryption_found || abort "the recovery code opens the diary and asks for a new passphrase"
pass "the recovery code opens the diary and asks for a new passphrase"
check_not "the main window waits for the new passphrase" main_window_shown
key_before=$(key_digest)
focus_window "$EWIN" || abort "the encryption window takes the keyboard"
app_type "$NEWPASS"
app_keys Tab
app_type "$NEWPASS"
app_keys Return
key_changed() {
    [ "$(key_digest)" != "$key_before" ]
}
check "the new passphrase is stored" wait_for key_changed
check_eq "and no day's file changed for it" "$before" "$(digests)"
focus_window "$EWIN"
app_keys Escape
wait_for main_window_shown || abort "the main window shows after the new passphrase"
WIN=$FOUND
xdotool windowfocus "$WIN"
wait_for x_focus_is_window || abort "the main window takes the keyboard"
check_eq "the day shows as written" "$EARLY_TITLE" "$(shown_title)"
app_close

# --- The new passphrase opens it; the old one no longer does -----------------------------------

app_start "$home" "$NOW"
prompt=$WIN
app_type "$NEWPASS"
app_keys Return
wait_for main_window_shown || abort "the new passphrase opens the diary"
pass "the new passphrase opens the diary"
WIN=$FOUND
xdotool windowfocus "$WIN"
wait_for x_focus_is_window || abort "the main window takes the keyboard"
app_ctrl period
check_eq "the next day shows as written" "$LATE_TITLE" "$(shown_title)"
app_close
check_eq "opening and closing rewrote no day" "$before" "$(digests)"

finish
