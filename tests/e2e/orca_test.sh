#!/usr/bin/env bash
# The diary with the real screen reader: Orca runs on a private desktop and speaks through
# speech-dispatcher into a file instead of a loudspeaker. The program is driven by keyboard
# alone, as a blind user drives it, and what Orca says is checked: the password never, the date
# at start-up and at every change of day, the way out of the body.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-01-05 12:00:00"
for tool in orca speech-dispatcher openbox; do
    command -v "$tool" >/dev/null || abort "tool $tool is available" "install it (see PACKAGES in the Makefile)"
done

home=$(new_folder diary)
mkdir -p "$home/data"
cp932 "雪が降った" >"$home/data/20240206"
# The password is switched on and empty: the prompt opens the diary on an empty field.
cp932 $'[data]\r\nusepassword=1\r\n[title]\r\n20240206=雪の朝\r\n' >"$home/diary.ini"

# --- A private desktop: session bus, accessibility bus, speech into a file, Orca --------------

export HOME="$E2E_WORK/user"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
# No sound card: whatever still reaches ALSA goes nowhere.
printf 'pcm.!default { type null }\nctl.!default { type null }\n' >"$HOME/.asoundrc"

SPOKEN="$E2E_WORK/spoken"
ORCA_LOG="$E2E_WORK/orca-debug.log"
: >"$SPOKEN"
speechd="$E2E_WORK/speechd"
mkdir -p "$speechd/modules" "$speechd/logs"
cat >"$speechd/speechd.conf" <<EOF
AddModule "log" "sd_generic" "log.conf"
DefaultModule log
AudioOutputMethod "alsa"
LanguageDefaultModule "ja" "log"
LanguageDefaultModule "en" "log"
EOF
cat >"$speechd/modules/log.conf" <<EOF
GenericExecuteSynth "printf '%s\\\\n' '\$DATA' >> $SPOKEN"
GenericLanguage "ja" "ja" "utf-8"
GenericLanguage "en" "en" "utf-8"
AddVoice "ja" "MALE1" "ja"
AddVoice "en" "MALE1" "en"
DefaultVoice "ja"
EOF
prefs="$E2E_WORK/orca"
mkdir -p "$prefs"
cat >"$prefs/user-settings.conf" <<'EOF'
{"general": {"enableSpeech": true, "speechServerFactory": "speechdispatcherfactory",
             "enableKeyEcho": true, "enableEchoByCharacter": true},
 "pronunciations": {}, "keybindings": {},
 "profiles": {"default": {"profile": ["Default", "default"], "pronunciations": {},
                          "keybindings": {}}}}
EOF

SPEECHD_PID='' ORCA_PID=''
reader_stop() {
    local pid
    for pid in "$ORCA_PID" "$SPEECHD_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    ORCA_PID='' SPEECHD_PID=''
}
E2E_CLEANUP+=(reader_stop)
atspi_start
e2e_start_openbox
# It refuses to start in a locale the C library lacks; the text it is given is UTF-8 anyway.
LC_ALL=C.UTF-8 speech-dispatcher -s -t 0 -C "$speechd" -L "$speechd/logs" >"$E2E_WORK/speechd.log" 2>&1 &
SPEECHD_PID=$!
wait_for test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ||
    abort "speech-dispatcher starts" "$(tail -n 5 "$E2E_WORK/speechd.log")"
orca -u "$prefs" --debug-file="$ORCA_LOG" >"$E2E_WORK/orca.log" 2>&1 &
ORCA_PID=$!
wait_for test -s "$SPOKEN" ||
    abort "Orca speaks within ${E2E_TIMEOUT}s" "$(tail -n 5 "$E2E_WORK/orca.log")"

# --- What Orca said ---------------------------------------------------------------------------

HEARD_FROM=0
mark_spoken() {
    HEARD_FROM=$(wc -l <"$SPOKEN")
}

spoken_since_mark() {
    tail -n +"$((HEARD_FROM + 1))" "$SPOKEN"
}

# said TEXT: since mark_spoken, Orca said something that contains TEXT.
said() {
    spoken_since_mark | grep -qF -- "$1"
}

# check_said DESCRIPTION TEXT: Orca says TEXT within the time limit.
check_said() {
    if wait_for said "$2"; then
        pass "$1"
    else
        fail "$1" "expected Orca to say: $2" "it said: $(spoken_since_mark | paste -sd'|')"
    fi
}

window_gone() {
    ! xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -qx "$1"
}

# --- The password prompt ----------------------------------------------------------------------

app_start "$home" "$NOW"
prompt=$WIN
check_said "the prompt opens in the password field" "パスワード"
mark_spoken
app_type "pw21"
app_keys ctrl+a BackSpace
# The next thing said marks the end of what typing the password made Orca say.
app_keys Tab
check_said "Tab leaves the password field for キャンセル" "キャンセル"
app_keys shift+Tab
check_said "Shift+Tab comes back to the password field" "パスワード"
check_not "Orca never says the password, typed, selected or deleted" said "pw21"
check_not "Orca says none of its letters" eval 'spoken_since_mark | grep -qiE "(^|[^a-z])(p|w)([^a-z]|$)"'

mark_spoken
app_keys Return
wait_for window_gone "$prompt" || abort "Enter in the password field opens the diary"
wait_for app_window_named Tobiquill || abort "the main window shows"
WIN=$FOUND
check_said "the main window says the date shown at start-up" "2024年1月5日 金"

# --- The day shown ----------------------------------------------------------------------------

check_said "the focus starts in the title" "題名"
mark_spoken
app_click "$BODY_X" "$BODY_Y"
check_said "a click gives the body the focus" "本文"
mark_spoken
app_ctrl period
check_said "Ctrl+. says the next day" "2024年1月6日 土"

mark_spoken
app_keys ctrl+Tab
check_said "Ctrl+Tab leaves the body for the first day button" "前の日"
mark_spoken
app_keys shift+Tab
check_said "Shift+Tab goes back to the body" "本文"
mark_spoken
app_keys ctrl+shift+Tab
check_said "Ctrl+Shift+Tab leaves the body for the title" "題名"

mark_spoken
app_ctrl k
wait_for app_window_named calendar || abort "Ctrl+K opens the calendar"
calendar=$FOUND
check_said "the calendar opens on the shown day" "2024年1月6日 土曜日"
mark_spoken
app_keys Page_Down
check_said "Page Down says the same day of the next month" "2024年2月6日 火曜日"
mark_spoken
app_keys Tab
check_said "Tab goes to 前の月" "前の月"
mark_spoken
app_keys space
check_said "Space on 前の月 says the same day of the month before" "2024年1月6日 土曜日"
mark_spoken
app_keys shift+Tab
check_said "Shift+Tab goes back to the day in the grid" "2024年1月6日 土曜日"
mark_spoken
app_keys Page_Down
check_said "Page Down says the same day of the next month again" "2024年2月6日 火曜日"
mark_spoken
app_keys Return
wait_for window_gone "$calendar" || abort "Enter closes the calendar"
check_said "Enter in the calendar says the day chosen and its title" "2024年2月6日 火 — 雪の朝"

app_close
reader_stop
echo "--- What Orca said (its debug file) ---"
grep -o "SPEECH OUTPUT: .*" "$ORCA_LOG" | sed 's/^/    /'
check_not "no event Orca received carried the password" grep -q "pw21" "$ORCA_LOG"

finish
