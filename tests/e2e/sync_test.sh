#!/usr/bin/env bash
# shellcheck disable=SC2317 # the helpers below run through wait_for and wait_long
# One diary on two computers kept in step by Syncthing. Two Syncthing instances on loopback keep
# two diary folders in step; two copies of the program, each under its own host name, machine id,
# home and runtime folder, stand for two computers. Cases: a day written on one reaches the
# other's open, untouched window; different days written at once keep both days and titles; the
# same day written on both while sync is paused keeps both texts on both sides, with no conflict
# copies left; one computer's open or killed copy never blocks the other. A second copy on one
# computer is the safety test's case.
#
# With SYNC_PASSPHRASE set (sync_encrypted_test.sh), the same runs on an encrypted diary: A's
# diary is encrypted before the computers start and reaches B sealed, each start asks for the
# passphrase, and days and titles are read back through an export with it.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init
command -v syncthing >/dev/null || abort "tool syncthing is available" "install it (see PACKAGES in the Makefile)"
command -v curl >/dev/null || abort "tool curl is available" "install it (see PACKAGES in the Makefile)"
e2e_start_openbox
# Syncthing's own delays (a scan, a reconnect) add seconds to what a window takes.
E2E_TIMEOUT=30

readonly NOW="2024-01-05 12:00:00"
readonly FOLDER_ID=diary
declare -A ST_PID ST_GUI ST_ID APP WINDOW
readonly APIKEY=e2e-sync-test-key

# wait_long COMMAND...: wait_for for conditions that take a second or more to check, bounded by
# the clock rather than by a count of tries.
wait_long() {
    local deadline=$((SECONDS + 120))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.5
    done
}

free_port() {
    /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# ---------------------------------------------------------------------------------------------
# Syncthing

# st_api NAME METHOD PATH: a call of NAME's REST API, the answer on stdout (nothing while the
# instance does not answer yet).
st_api() {
    curl -fsS -X "$2" -H "X-API-Key: $APIKEY" "http://${ST_GUI[$1]}$3" 2>/dev/null
}

other_of() {
    if [ "$1" = a ]; then echo b; else echo a; fi
}

# json_field FIELD: the field of the JSON object on stdin.
json_field() {
    /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin).get(sys.argv[1]))' "$1" 2>/dev/null
}

st_connected() {
    st_api "$1" GET /rest/system/connections |
        /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin)["connections"][sys.argv[1]]["connected"])' \
            "${ST_ID[$(other_of "$1")]}" 2>/dev/null | grep -qx True
}

# Both sides idle, nothing needed, and each has all the other has.
st_settled() {
    local name
    for name in a b; do
        [ "$(st_api "$name" GET "/rest/db/status?folder=$FOLDER_ID" | json_field state)" = idle ] || return 1
        [ "$(st_api "$name" GET "/rest/db/status?folder=$FOLDER_ID" | json_field needTotalItems)" = 0 ] || return 1
        [ "$(st_api "$name" GET "/rest/db/completion?folder=$FOLDER_ID&device=${ST_ID[$(other_of "$name")]}" |
            json_field completion)" = 100 ] || return 1
    done
}

# st_scan: both sides look at their folders now instead of at their next rescan.
st_scan() {
    st_api a POST "/rest/db/scan?folder=$FOLDER_ID" >/dev/null
    st_api b POST "/rest/db/scan?folder=$FOLDER_ID" >/dev/null
}

st_pause() {
    st_api a POST "/rest/system/pause?device=${ST_ID[b]}" >/dev/null
    wait_long not_connected || abort "Syncthing pauses"
}

not_connected() {
    ! st_connected a && ! st_connected b
}

st_resume() {
    st_api a POST "/rest/system/resume?device=${ST_ID[b]}" >/dev/null
    wait_long both_connected || abort "Syncthing connects again"
}

both_connected() {
    st_connected a && st_connected b
}

# st_configure NAME: the generated config, on loopback only, with the other device and the
# shared folder built from the config's own folder template.
st_configure() {
    local name=$1 other
    other=$(other_of "$name")
    /usr/bin/python3 - "$E2E_WORK/st-$name/config.xml" "${ST_GUI[$name]}" "${ST_LISTEN[$name]}" \
        "${ST_ID[$other]}" "${ST_LISTEN[$other]}" "$E2E_WORK/$name/diary" "$APIKEY" "$FOLDER_ID" <<'EOF'
import copy, sys
import xml.etree.ElementTree as ET
path, gui, listen, other_id, other_listen, folder_path, apikey, folder_id = sys.argv[1:]
tree = ET.parse(path)
root = tree.getroot()
root.find("gui/address").text = gui
root.find("gui/apikey").text = apikey
options = root.find("options")
for key, value in {"listenAddress": "tcp://" + listen, "globalAnnounceEnabled": "false",
                   "localAnnounceEnabled": "false", "relaysEnabled": "false",
                   "natEnabled": "false", "startBrowser": "false", "urAccepted": "-1",
                   "reconnectionIntervalS": "1", "crashReportingEnabled": "false",
                   "autoUpgradeIntervalH": "0"}.items():
    options.find(key).text = value
device = copy.deepcopy(root.find("defaults/device"))
device.set("id", other_id)
device.set("name", "other")
device.find("address").text = "tcp://" + other_listen
root.insert(1, device)
folder = copy.deepcopy(root.find("defaults/folder"))
folder.attrib.update(id=folder_id, label=folder_id, path=folder_path, rescanIntervalS="2",
                     fsWatcherEnabled="true", fsWatcherDelayS="1")
member = ET.SubElement(folder, "device", id=other_id, introducedBy="")
ET.SubElement(member, "encryptionPassword")
root.insert(0, folder)
tree.write(path)
EOF
}

declare -A ST_LISTEN
st_start_all() {
    local name
    for name in a b; do
        mkdir -p "$E2E_WORK/$name/diary"
        syncthing generate --home="$E2E_WORK/st-$name" --no-default-folder >/dev/null 2>&1 ||
            abort "syncthing generates a home for $name"
        ST_ID[$name]=$(syncthing --home="$E2E_WORK/st-$name" --device-id)
        ST_GUI[$name]="127.0.0.1:$(free_port)"
        ST_LISTEN[$name]="127.0.0.1:$(free_port)"
    done
    for name in a b; do
        st_configure "$name"
        syncthing serve --home="$E2E_WORK/st-$name" --no-browser --no-restart --no-upgrade \
            >"$E2E_WORK/st-$name.log" 2>&1 &
        ST_PID[$name]=$!
        E2E_CLEANUP+=("kill ${ST_PID[$name]} 2>/dev/null; wait ${ST_PID[$name]} 2>/dev/null")
    done
    wait_long both_connected || abort "the two Syncthing instances connect" "$(tail -n 5 "$E2E_WORK/st-a.log")"
    wait_long st_settled || abort "the shared folder settles"
}

# ---------------------------------------------------------------------------------------------
# The two computers

# computer_start NAME: the program on NAME's diary, as NAME's computer runs it: its own host name,
# home, runtime and temporary folders. Sets APP[NAME] and WINDOW[NAME].
computer_start() {
    local name=$1 root=$E2E_WORK/$1
    mkdir -p "$root/home" "$root/tmp" "$root/config" "$root/runtime"
    chmod 700 "$root/runtime"
    rm -f "$root/app.pid" "$root/app.rc"
    # shellcheck disable=SC2016 # the inner shell expands its own arguments
    (
        env HOME="$root/home" XDG_RUNTIME_DIR="$root/runtime" XDG_CONFIG_HOME="$root/config" \
            XDG_DATA_HOME="$root/home/.local/share" TMPDIR="$root/tmp" \
            TOBIQUILL_HOME="$root/diary" LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="@$NOW" \
            FAKETIME_DONT_FAKE_MONOTONIC=1 \
            ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
            unshare --uts sh -c 'hostname "$1" && shift && exec "$@"' sh "computer-$name" "$E2E_BIN" \
            >>"$E2E_WORK/app.log" 2>&1 &
        echo $! >"$root/app.pid"
        wait $!
        echo $? >"$root/app.rc"
    ) &
    wait_for test -s "$root/app.pid" || abort "the program starts on computer $name"
    APP[$name]=$(cat "$root/app.pid")
    E2E_CLEANUP+=("kill ${APP[$name]} 2>/dev/null")
    wait_for computer_window_found "$name" || abort "the program shows its window on computer $name"
    if encrypted; then
        # The first window is the passphrase prompt; the main window follows it.
        APP_PID=${APP[$name]}
        xdotool windowactivate --sync "${WINDOW[$name]}" 2>/dev/null
        xdotool mousemove --window "${WINDOW[$name]}" 20 20
        app_type "$SYNC_PASSPHRASE"
        app_keys Return
        wait_for main_window_shown || abort "the passphrase opens the diary on computer $name"
        WINDOW[$name]=$FOUND
    fi
    # Side by side, as on two screens: both start where diary.ini places them.
    local x=40
    [ "$name" = a ] || x=640
    xdotool windowmove "${WINDOW[$name]}" "$x" 40
    wait_for test "$(window_position "${WINDOW[$name]}")" = "$x,40" || abort "computer $name's window moves aside"
}

computer_window_found() {
    WINDOW[$1]=$(xdotool search --all --onlyvisible --pid "${APP[$1]}" --name '^Tobiquill$' 2>/dev/null | head -n 1)
    [ -n "${WINDOW[$1]}" ]
}

computer_running() {
    [ ! -e "$E2E_WORK/$1/app.rc" ]
}

# on NAME: the harness's keys and clicks go to NAME's window.
on() {
    APP_PID=${APP[$1]}
    WIN=${WINDOW[$1]}
    xdotool windowactivate --sync "$WIN" 2>/dev/null
    xdotool mousemove --window "$WIN" 160 160
}

computer_close() {
    on "$1"
    app_click "$CLOSE_X" "$CLOSE_Y"
    wait_for test -e "$E2E_WORK/$1/app.rc" || abort "the close button ends the program on computer $1"
    check_eq "the program on computer $1 exits with code 0" 0 "$(cat "$E2E_WORK/$1/app.rc")"
}

# leave_day NAME: saves the shown day the way a user does, by moving to the next day and back.
leave_day() {
    on "$1"
    app_ctrl period
    app_ctrl comma
}

day_file() {
    echo "$E2E_WORK/$1/diary/data/$2"
}

encrypted() {
    [ -n "${SYNC_PASSPHRASE:-}" ]
}

# exported NAME KEY: the day on NAME's side as the export gives it: its date and title on the
# first line, then its text.
exported() {
    printf '%s\n' "$SYNC_PASSPHRASE" |
        env XDG_RUNTIME_DIR="$E2E_WORK/$1/runtime" "$E2E_BIN" --diary "$E2E_WORK/$1/diary" \
            --export - --format text --from "$2" --to "$2" 2>/dev/null
}

# body_on NAME KEY: the day's file on NAME's side, decoded, LF line ends (an encrypted day's
# empty lines left out).
body_on() {
    [ -f "$(day_file "$1" "$2")" ] || return 1
    if encrypted; then
        exported "$1" "$2" | tail -n +2 | sed '/^$/d'
    else
        iconv -f CP932 -t UTF-8 "$(day_file "$1" "$2")" | tr -d '\r'
    fi
}

# title_on NAME KEY: the day's title in NAME's diary.ini.
title_on() {
    if encrypted; then
        exported "$1" "$2" | head -n 1 | sed 's/^.*】//'
    else
        ini_value "$E2E_WORK/$1/diary/diary.ini" title "$2"
    fi
}

holds_both() {
    local name
    for name in a b; do
        body_on "$name" "$1" | grep -qF "$2" || return 1
        body_on "$name" "$1" | grep -qF "$3" || return 1
    done
}

# Syncthing's own temporary files (".syncthing.NAME.tmp") do not count.
no_conflict_copies() {
    [ -z "$(find "$E2E_WORK/a/diary" "$E2E_WORK/b/diary" -name '*.sync-conflict-*' \
        ! -name '.syncthing.*' -print -quit)" ]
}

same_on_both() {
    cmp -s "$E2E_WORK/a/diary/$1" "$E2E_WORK/b/diary/$1"
}

shown_body_is() {
    [ "$(shown_body)" = "$1" ]
}

st_start_all
if encrypted; then
    # A new diary, as the program's first start leaves it: an entries folder.
    mkdir -p "$E2E_WORK/a/runtime" "$E2E_WORK/a/diary/data" && chmod 700 "$E2E_WORK/a/runtime"
    printf '%s\n' "$SYNC_PASSPHRASE" |
        env XDG_RUNTIME_DIR="$E2E_WORK/a/runtime" "$E2E_BIN" --diary "$E2E_WORK/a/diary" --encrypt \
            >"$E2E_WORK/encrypt.log" 2>&1 || abort "A's diary is encrypted" "$(cat "$E2E_WORK/encrypt.log")"
    st_scan
    wait_long test -s "$E2E_WORK/b/diary/diary.key" || abort "the key file reaches B"
    check "the key file is the same on both" same_on_both diary.key
fi
computer_start a
computer_start b
check "the two computers have the diary open at once" computer_running a
check_absent "no lock file travels with the diary" "$E2E_WORK/a/diary/diary.lock"

# A day written on A reaches B and shows in B's open, untouched window.
on a
type_body "from the desk"
leave_day a
st_scan
wait_for test -f "$(day_file b 20240105)" || abort "the day written on A reaches B"
on b
check "B's untouched window shows the day that arrived" wait_for shown_body_is "from the desk"

# Different days written at once on both keep both days and both titles.
st_pause
on a
app_ctrl period
type_title "desk title"
type_body "desk day"
on b
app_ctrl period
app_ctrl period
type_title "laptop title"
type_body "laptop day"
leave_day a
leave_day b
st_resume
st_scan
settled_both_titles() {
    st_settled && no_conflict_copies && same_on_both diary.ini &&
        [ "$(title_on a 20240106)" = "desk title" ] && [ "$(title_on a 20240107)" = "laptop title" ]
}
check "both titles reach both computers, no conflict copy left" wait_long settled_both_titles
check_eq "the desk's day is on the laptop" "desk day" "$(body_on b 20240106)"
check_eq "the laptop's day is on the desk" "laptop day" "$(body_on a 20240107)"

# The same day written on both while sync is paused keeps both texts on both sides.
st_pause
on a
app_ctrl period
app_ctrl period
type_body "written at the desk"
on b
app_ctrl period
type_body "written on the laptop"
leave_day a
leave_day b
st_resume
st_scan
settled_same_day() {
    st_settled && no_conflict_copies && same_on_both data/20240108 &&
        holds_both 20240108 "written at the desk" "written on the laptop"
}
check "both texts of the day are on both computers" wait_long settled_same_day
check "a line says where the other text came from" \
    grep -q '別のコンピューターで保存された内容' <(body_on a 20240108)
check_eq "the desk's text is there once" 1 "$(body_on a 20240108 | grep -c 'written at the desk')"
if encrypted; then
    check_eq "the merged day stays sealed" TQSL "$(head -c 4 "$(day_file b 20240108)")"
fi

# A's killed copy blocks neither A's next start nor B; the diaries settle after the restarts.
computer_close b
kill -KILL "${APP[a]}"
wait_for test -e "$E2E_WORK/a/app.rc"
computer_start b
check "B opens after A was killed" computer_running b
computer_start a
check "A opens again after its kill" computer_running a
check "both texts are still there after the restart" \
    holds_both 20240108 "written at the desk" "written on the laptop"
check "no conflict copy after the restart" no_conflict_copies

computer_close a
computer_close b
check_absent "no lock file in A's diary" "$E2E_WORK/a/diary/diary.lock"
check_absent "no lock file in B's diary" "$E2E_WORK/b/diary/diary.lock"
# The harness's own clean-up waits for a program it started itself; these ones are gone.
APP_PID=
finish
