#!/usr/bin/env bash
# Japanese typed through a real input method: ibus with the Anthy engine on a private session
# bus. Romaji typed into the body and into the title is converted and committed, and the
# committed kanji are what the Shift-JIS files hold.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init
for tool in dbus-daemon dbus-monitor ibus ibus-daemon; do
    command -v "$tool" >/dev/null || abort "tool $tool is available" "see PACKAGES in the Makefile"
done

readonly NOW="2024-07-07 21:00:00"
readonly KEY=20240707

# The Anthy engine is a Python program for Debian's own python3 (it needs python3-gi); Anthy
# keeps what it learns in $HOME, so a private one makes every run convert alike.
export PATH="/usr/bin:/bin:$PATH" HOME="$E2E_WORK/home" NO_AT_BRIDGE=1 QT_IM_MODULE=ibus
mkdir -p "$HOME"

# A private session bus.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$E2E_WORK/bus.address" \
    4>"$E2E_WORK/bus.pid" || abort "a session bus starts"
E2E_CLEANUP+=("kill $(cat "$E2E_WORK/bus.pid") 2>/dev/null")
DBUS_SESSION_BUS_ADDRESS=$(cat "$E2E_WORK/bus.address")
export DBUS_SESSION_BUS_ADDRESS

ibus_has_anthy() {
    ibus list-engine 2>/dev/null | grep -q '^ *anthy '
}

ibus_uses_anthy() {
    ibus engine anthy >/dev/null 2>&1
    [ "$(ibus engine 2>/dev/null)" = anthy ]
}

# Qt's ibus support finds the daemon through the file the daemon writes under XDG_CONFIG_HOME,
# which the harness made private.
ibus-daemon --xim --panel disable --cache refresh >"$E2E_WORK/ibus.log" 2>&1 &
E2E_CLEANUP+=("ibus exit >/dev/null 2>&1 || kill $! 2>/dev/null")
wait_for ibus_has_anthy || abort "ibus-daemon starts with the Anthy engine" "$(cat "$E2E_WORK/ibus.log")"
wait_for ibus_uses_anthy || abort "ibus takes the Anthy engine"

dbus-monitor --address "$(ibus address)" >"$E2E_WORK/ibus-calls.log" 2>&1 &
E2E_CLEANUP+=("kill $! 2>/dev/null")

program_connected() {
    grep -q 'member=CreateInputContext' "$E2E_WORK/ibus-calls.log"
}

# romaji TEXT: types TEXT through the input method (it shows as pre-edit), converts it (Space)
# and commits it (Return).
romaji() {
    app_type "$1"
    app_keys space Return
}

home=$(new_folder home)
app_start "$home" "$NOW"
wait_for program_connected || abort "the program connects to ibus"

app_click "$BODY_X" "$BODY_Y"
# Anthy starts in direct input; Ctrl+J turns hiragana on.
app_keys ctrl+j
romaji nikki
check_eq "the body holds the committed kanji, and Return only committed" "日記" "$(shown_body)"

app_click "$TITLE_X" "$TITLE_Y"
romaji kyou
check_eq "the title holds the committed kanji" "今日" "$(shown_title)"
app_close

check_bytes "the body is saved in code page 932" "$home/data/$KEY" "$(expect_file body "日記")"
check_eq "the title is saved" "今日" "$(ini_value "$home/diary.ini" title "$KEY")"

finish
