# shellcheck shell=bash disable=SC2034
# Shared harness of the end-to-end tests. A test sources this file with the path of the tobiquill
# binary as its first argument. The harness runs a private Xvfb, starts the real program in
# throw-away program folders (optionally with a faked clock), drives it with xdotool, reads what
# its editors show through the clipboard (xclip) and checks the files it leaves.
#
# E2E_KEEP=1 keeps the work folder (program folders, program output) for a look afterwards.
# Nothing here sleeps blindly: every wait polls a condition in 0.1 s steps for at most
# E2E_TIMEOUT seconds.

set -u

E2E_BIN=${1:-}
E2E_TIMEOUT=${E2E_TIMEOUT:-30}
E2E_PASSED=0
E2E_FAILED=0
E2E_WORK=
XVFB_PID=
WM_PID=
APP_PID=
WIN=
POPUP=
FOUND=
# Arguments app_start gives the program.
APP_ARGS=()
# Commands e2e_cleanup runs first, in order, for what a test started beside the program.
E2E_CLEANUP=()

# Every window coordinate the tests click, in one place: the centres of the controls, inside
# their window. The main window:
readonly CLOSE_X=305 CLOSE_Y=11
readonly MINIMISE_X=288 MINIMISE_Y=11
readonly MENU_X=271 MENU_Y=11
# The menu opens with its top-left corner here (the menu button's left, below the button).
readonly MENU_LEFT=263 MENU_TOP=19
# A point of the drag strip, clear of the caption's end and the buttons.
readonly STRIP_X=120 STRIP_Y=10
readonly TITLE_X=120 TITLE_Y=81
readonly BODY_X=160 BODY_Y=200
readonly YL_X=229 YL_Y=43
readonly TODAY_X=259 TODAY_Y=43
readonly YR_X=289 YR_Y=43
# The calendar: the next-month button, OK, and the month grid at (12, 32), whose
# cells (see cal_cell) are 22 x 11 pixels, row 0 the weekday names.
readonly CAL_OK_X=89 CAL_OK_Y=130
readonly CAL_NEXT_X=157 CAL_NEXT_Y=130
readonly CAL_GRID_X=12 CAL_GRID_Y=32 CAL_CELL_W=22 CAL_CELL_H=11
# The settings: the name, the password, the box "Use PassWord", OK.
readonly SET_NAME_X=120 SET_NAME_Y=48
readonly SET_PASSWORD_X=120 SET_PASSWORD_Y=67
readonly SET_USE_X=130 SET_USE_Y=86
readonly SET_OK_X=89 SET_OK_Y=132
# The password prompt: the password, Cancel, OK.
readonly PROMPT_EDIT_X=120 PROMPT_EDIT_Y=74
readonly PROMPT_CANCEL_X=41 PROMPT_CANCEL_Y=122
readonly PROMPT_OK_X=137 PROMPT_OK_Y=122

# ---------------------------------------------------------------------------------------------
# Reporting

pass() {
    E2E_PASSED=$((E2E_PASSED + 1))
    echo "ok   - $1"
}

# fail DESCRIPTION [DETAIL...]
fail() {
    E2E_FAILED=$((E2E_FAILED + 1))
    echo "FAIL - $1"
    shift
    local line
    for line in "$@"; do
        printf '       %s\n' "$line"
    done
}

# check DESCRIPTION COMMAND...: passes when COMMAND succeeds.
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what" "command failed: $*"; fi
}

# check_eq DESCRIPTION EXPECTED ACTUAL
check_eq() {
    if [ "$2" = "$3" ]; then
        pass "$1"
    else
        fail "$1" "expected: $(printf '%q' "$2")" "actual:   $(printf '%q' "$3")"
    fi
}

# check_bytes DESCRIPTION FILE EXPECTED_FILE: FILE holds exactly the bytes of EXPECTED_FILE.
check_bytes() {
    if [ ! -f "$2" ]; then
        fail "$1" "missing file: $2"
    elif cmp -s "$2" "$3"; then
        pass "$1"
    else
        fail "$1" "file $2 differs; expected bytes:" "$(od -An -c "$3" | head -8)" \
            "actual bytes:" "$(od -An -c "$2" | head -8)"
    fi
}

# check_not DESCRIPTION COMMAND...: passes when COMMAND fails.
check_not() {
    local what=$1
    shift
    if "$@"; then fail "$what" "command succeeded: $*"; else pass "$what"; fi
}

check_absent() {
    if [ ! -e "$2" ]; then pass "$1"; else fail "$1" "should not exist: $2"; fi
}

# Ends the test early: something it depends on did not happen.
abort() {
    fail "$@"
    finish
}

# Prints the closing line and exits non-zero when anything failed.
finish() {
    trap - EXIT
    if [ "$E2E_FAILED" -gt 0 ] && [ -s "$E2E_WORK/app.log" ]; then
        echo "--- program output ---"
        tail -n 40 "$E2E_WORK/app.log"
    fi
    e2e_cleanup
    echo "$E2E_PASSED passed, $E2E_FAILED failed"
    [ "$E2E_FAILED" -eq 0 ]
    exit
}

# ---------------------------------------------------------------------------------------------
# Waiting

# wait_for COMMAND...: true as soon as COMMAND succeeds, false after E2E_TIMEOUT seconds.
wait_for() {
    local i
    for ((i = 0; i < E2E_TIMEOUT * 10; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}

# ---------------------------------------------------------------------------------------------
# Set-up and clean-up

e2e_cleanup() {
    local command
    for command in "${E2E_CLEANUP[@]}"; do
        eval "$command"
    done
    E2E_CLEANUP=()
    if [ -n "$APP_PID" ] && [ ! -e "$E2E_WORK/app.rc" ]; then
        kill "$APP_PID" 2>/dev/null
        wait_for test -e "$E2E_WORK/app.rc" || kill -KILL "$APP_PID" 2>/dev/null
    fi
    APP_PID=
    if [ -n "$WM_PID" ]; then
        kill "$WM_PID" 2>/dev/null
        wait "$WM_PID" 2>/dev/null
        WM_PID=
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=
    fi
    if [ -n "$E2E_WORK" ] && [ -d "$E2E_WORK" ]; then
        if [ -n "${E2E_KEEP:-}" ]; then
            echo "kept $E2E_WORK"
        else
            rm -rf "$E2E_WORK"
        fi
    fi
}

e2e_require_tools() {
    local tool
    for tool in Xvfb xdotool xclip iconv cmp od; do
        command -v "$tool" >/dev/null || abort "tool $tool is available" "install it (see PACKAGES in the Makefile)"
    done
    local lib
    E2E_FAKETIME_LIB=
    for lib in /usr/lib/*/faketime/libfaketime.so.1; do
        [ -e "$lib" ] && E2E_FAKETIME_LIB=$lib
    done
    [ -n "$E2E_FAKETIME_LIB" ] || abort "libfaketime is installed" "install the Debian package libfaketime"
}

x_ready() {
    grep -q '^[0-9]' "$E2E_WORK/display" 2>/dev/null
}

# Starts a private X server on a free display and points DISPLAY at it. Keys repeat as on any
# desktop: a key held down comes as repeated press and release pairs, as people make it come.
e2e_start_x() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$E2E_WORK/display" >"$E2E_WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_for x_ready || abort "Xvfb starts" "$(cat "$E2E_WORK/xvfb.log")"
    DISPLAY=":$(head -n 1 "$E2E_WORK/display")"
    export DISPLAY
}

wm_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts openbox on the test's display, for the tests that need a window manager, and waits
# until it manages the screen. Start it before the program: Qt reads what the window manager
# supports when it connects.
e2e_start_openbox() {
    command -v openbox >/dev/null || abort "tool openbox is available" "install it (see PACKAGES in the Makefile)"
    openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    WM_PID=$!
    wait_for wm_ready || abort "openbox starts" "$(cat "$E2E_WORK/openbox.log")"
}

e2e_init() {
    if [ -z "$E2E_BIN" ] || [ ! -x "$E2E_BIN" ]; then
        echo "usage: $0 path/to/tobiquill"
        echo "0 passed, 1 failed"
        exit 1
    fi
    E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/tobiquill-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    e2e_require_tools

    # The program runs as a Japanese user sees it, and never touches the real user's folders.
    export LANG=ja_JP.UTF-8 LC_ALL='' LANGUAGE=ja TZ=Asia/Tokyo QT_QPA_PLATFORM=xcb
    export XDG_RUNTIME_DIR="$E2E_WORK/runtime" XDG_CONFIG_HOME="$E2E_WORK/config"
    export XDG_CACHE_HOME="$E2E_WORK/cache" XDG_DATA_HOME="$E2E_WORK/share"
    export XDG_STATE_HOME="$E2E_WORK/state"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # Recovery files that the per-user folder does not take go to the temporary folder next.
    export TMPDIR="$E2E_WORK/tmp"
    mkdir -m 700 "$TMPDIR"
    unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
    e2e_start_x
}

# new_folder NAME: prints the path of a new, empty program folder.
new_folder() {
    mkdir -p "$E2E_WORK/$1"
    echo "$E2E_WORK/$1"
}

# ---------------------------------------------------------------------------------------------
# The program

app_running() {
    [ -n "$APP_PID" ] && [ ! -e "$E2E_WORK/app.rc" ]
}

app_pid_known() {
    [ -s "$E2E_WORK/app.pid" ]
}

app_window_found() {
    app_running || return 0
    WIN=$(xdotool search --onlyvisible --pid "$APP_PID" --name '^Tobiquill$' 2>/dev/null | head -n 1)
    [ -n "$WIN" ]
}

x_focus_is_window() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$WIN" ]
}

# app_start FOLDER [FAKE_START]: starts tobiquill on FOLDER (TOBIQUILL_HOME; empty: none) with
# APP_ARGS and waits for its window. With
# FAKE_START ("2024-01-05 07:00:00", local time) the program's clock starts at that moment and
# runs on from there; the fake clock is given to the program only, never to X or xdotool.
app_start() {
    local folder=$1 fake=${2:-}
    local -a vars=("TOBIQUILL_HOME=$folder")
    if [ -n "$fake" ]; then
        # Qt's timers run on the monotonic clock, which stays real.
        vars+=("LD_PRELOAD=$E2E_FAKETIME_LIB" "FAKETIME=@$fake" "FAKETIME_DONT_FAKE_MONOTONIC=1"
            "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0")
    fi
    rm -f "$E2E_WORK/app.pid" "$E2E_WORK/app.rc"
    (
        env "${vars[@]}" "$E2E_BIN" "${APP_ARGS[@]}" >>"$E2E_WORK/app.log" 2>&1 &
        echo $! >"$E2E_WORK/app.pid"
        wait $!
        echo $? >"$E2E_WORK/app.rc"
    ) &
    wait_for app_pid_known || abort "tobiquill starts"
    APP_PID=$(cat "$E2E_WORK/app.pid")
    WIN=
    wait_for app_window_found
    if ! app_running; then
        abort "tobiquill starts and shows its window" "it ended with code $(cat "$E2E_WORK/app.rc")"
    fi
    [ -n "$WIN" ] || abort "tobiquill shows its window within ${E2E_TIMEOUT}s"

    # There is no window manager: the window gets the keyboard straight from the server, and the
    # pointer rests over it so that keys still reach it should the focus ever revert to the root.
    xdotool mousemove --window "$WIN" "$BODY_X" "$BODY_Y"
    xdotool windowfocus "$WIN"
    wait_for x_focus_is_window || abort "the window takes the keyboard focus"
}

no_sanitizer_report() {
    ! grep -qE 'runtime error:|ERROR: (Address|Leak|UndefinedBehavior)Sanitizer' "$E2E_WORK/app.log"
}

# app_close: clicks the close button and waits for the program to end with code 0.
app_close() {
    app_click "$CLOSE_X" "$CLOSE_Y"
    if ! wait_for test -e "$E2E_WORK/app.rc"; then
        abort "the close button ends the program within ${E2E_TIMEOUT}s"
    fi
    check_eq "the program exits with code 0" 0 "$(cat "$E2E_WORK/app.rc")"
    check "the program reports no memory or undefined-behaviour error" no_sanitizer_report
    APP_PID=
    WIN=
}

# app_click X Y [BUTTON]: a click at window coordinates (button 1 left, 3 right).
app_click() {
    xdotool mousemove --window "$WIN" "$1" "$2" click "${3:-1}"
}

# app_type TEXT: enters TEXT into the focused control. ASCII is typed key by key. Anything else
# is pasted, as an input method would commit it: xdotool types such characters by binding them
# to a spare key for a moment, and the program may read the keyboard map only after the binding
# is already undone, which loses characters now and then.
app_type() {
    if printf '%s' "$1" | LC_ALL=C grep -q '[^ -~]'; then
        app_paste "$1"
    else
        xdotool type --delay 20 -- "$1"
    fi
}

# app_paste TEXT: puts TEXT on the clipboard and pastes it into the focused control.
app_paste() {
    printf '%s' "$1" | xclip -selection clipboard -i >/dev/null 2>&1
    wait_for clipboard_is "$1" || abort "the clipboard takes the text to paste"
    app_keys ctrl+v
}

# app_keys KEY...: presses and releases each key (xdotool key names, e.g. Return, ctrl+a).
app_keys() {
    xdotool key --delay 20 "$@"
}

# app_ctrl KEY: a shortcut that acts when KEY comes up, so Ctrl stays held until after that.
app_ctrl() {
    xdotool keydown ctrl key "$1" keyup ctrl
}

# type_title TEXT / type_body TEXT: clicks into the editor and types at the end of its text.
type_title() {
    app_click "$TITLE_X" "$TITLE_Y"
    app_keys End
    app_type "$1"
}

type_body() {
    app_click "$BODY_X" "$BODY_Y"
    app_keys ctrl+End
    app_type "$1"
}

# app_window_named NAME: the visible window of the program whose title is NAME, in $FOUND.
app_window_named() {
    FOUND=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$FOUND" ]
}

# app_window_titled CAPTION: the visible window of the program whose caption is CAPTION, compared
# whole, in $FOUND: xdotool's own name match takes no Japanese pattern.
app_window_titled() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then
            FOUND=$id
            return 0
        fi
    done
    return 1
}

# window_focused TITLE: the program's visible window of that title, not the main window (whose
# name may be the program's too), has the keyboard.
window_focused() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        if [ "$w" != "$WIN" ] && [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ]; then
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

focus_is() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# focus_window ID: gives ID the keyboard and waits until the server reports it has it.
focus_window() {
    xdotool windowfocus "$1" 2>/dev/null
    wait_for focus_is "$1"
}

window_size() {
    xdotool getwindowgeometry "$1" 2>/dev/null | awk '/Geometry:/ { print $2 }'
}

# main_window_shown: a visible window of the program has the main window's size; it goes to $FOUND.
main_window_shown() {
    local id
    FOUND=
    for id in $(xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Tobiquill$' 2>/dev/null); do
        if [ "$(window_size "$id")" = 320x320 ]; then
            FOUND=$id
            return 0
        fi
    done
    return 1
}

app_window_gone() {
    ! xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -qx "$1"
}

window_position() {
    xdotool getwindowgeometry "$1" 2>/dev/null | awk '/Position:/ { print $2 }'
}

# popup_found X,Y: a window of the program other than the main one shows at screen point X,Y
# (tooltips show elsewhere).
popup_found() {
    local id
    POPUP=
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        if [ "$id" != "$WIN" ] && [ "$(window_position "$id")" = "$1" ]; then
            POPUP=$id
            return 0
        fi
    done
    return 1
}

popup_gone() {
    ! xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -qx "$POPUP"
}

# menu_choose ROW: opens the main menu with the menu button and chooses its visible item ROW
# (from 1) with the keyboard, as a person can: Down moves from item to item, Enter chooses.
menu_choose() {
    local x y
    IFS=, read -r x y <<<"$(window_position "$WIN")"
    app_click "$MENU_X" "$MENU_Y"
    wait_for popup_found "$((x + MENU_LEFT)),$((y + MENU_TOP))" ||
        abort "the menu button opens the menu just below itself"
    xdotool key --repeat "$1" --delay 50 Down
    xdotool key Return
    wait_for popup_gone || abort "choosing a menu item closes the menu"
}

# cal_cell COLUMN ROW: the calendar window's coordinates of the middle of that grid cell
# (column 0 Sunday; row 1 the month's first week).
cal_cell() {
    echo "$((CAL_GRID_X + CAL_CELL_W * $1 + CAL_CELL_W / 2)) $((CAL_GRID_Y + CAL_CELL_H * $2 + CAL_CELL_H / 2))"
}

# clipboard_is TEXT (final line breaks are not compared).
clipboard_is() {
    [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$(printf '%s' "$1")" ]
}

clipboard_changed_from() {
    xclip -o -selection clipboard >"$E2E_WORK/clip" 2>/dev/null && ! clipboard_is "$1"
}

# copy_editor X Y: prints (UTF-8, lines separated by LF) the whole text of the editor at X,Y,
# through select-all and copy. Since the program handles events in order, the copy also proves
# that every input sent before it has been handled. Fails when nothing is copied in time, as
# for an empty editor.
copy_editor() {
    local sentinel="e2e-sentinel-$RANDOM$RANDOM"
    printf '%s' "$sentinel" | xclip -selection clipboard -i >/dev/null 2>&1
    wait_for clipboard_is "$sentinel" || return 1
    app_click "$1" "$2"
    app_keys ctrl+a ctrl+c
    wait_for clipboard_changed_from "$sentinel" || return 1
    # Leave no selection behind that the next typed key would replace.
    app_keys ctrl+End End
    cat "$E2E_WORK/clip"
}

shown_title() {
    copy_editor "$TITLE_X" "$TITLE_Y"
}

shown_body() {
    copy_editor "$BODY_X" "$BODY_Y"
}

# ---------------------------------------------------------------------------------------------
# Files

# cp932 TEXT: TEXT (UTF-8, with any \r\n already in it) in code page 932, on stdout.
cp932() {
    printf '%s' "$1" | iconv -f UTF-8 -t CP932
}

# expect_file NAME TEXT: writes TEXT in code page 932 to a file of expected bytes, prints its path.
expect_file() {
    cp932 "$2" >"$E2E_WORK/expected-$1"
    echo "$E2E_WORK/expected-$1"
}

# ini_section FILE SECTION: the lines of SECTION (header excluded), decoded to UTF-8, no CR.
ini_section() {
    iconv -f CP932 -t UTF-8 "$1" | tr -d '\r' |
        awk -v header="[$2]" '/^\[/ { inside = ($0 == header); next } inside && NF { print }'
}

# ini_keys FILE SECTION: the keys of SECTION in file order, separated by spaces.
ini_keys() {
    ini_section "$1" "$2" | cut -d= -f1 | paste -sd' '
}

# ini_value FILE SECTION KEY: the value of KEY in SECTION (first "=" separates).
ini_value() {
    ini_section "$1" "$2" | awk -v key="$3" 'index($0, "=") { k = substr($0, 1, index($0, "=") - 1);
        if (k == key) { print substr($0, index($0, "=") + 1); exit } }'
}

# has_ini_key FILE SECTION KEY
has_ini_key() {
    ini_section "$1" "$2" | grep -q "^$3="
}

# only_crlf FILE: every line of FILE ends with CR LF.
only_crlf() {
    ! LC_ALL=C grep -qE $'(^|[^\r])$' "$1"
}

# file_matches FILE EXPECTED_FILE: for polling until a save has landed.
file_matches() {
    [ -f "$1" ] && cmp -s "$1" "$2"
}

# ---------------------------------------------------------------------------------------------
# The accessibility bus, as a screen reader reads the program

# Debian's own python3 has pyatspi; one earlier on PATH may not.
readonly PY=/usr/bin/python3
ATSPI="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/atspi.py"
readonly ATSPI
# What atspi_start started, stopped last first at cleanup; a test adds its own listeners.
ATSPI_PIDS=()

atspi_stop() {
    local i
    for ((i = ${#ATSPI_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${ATSPI_PIDS[i]}" 2>/dev/null && wait "${ATSPI_PIDS[i]}" 2>/dev/null
    done
}

# atspi_start: a private session bus and the accessibility bus on it; the program started after
# it speaks there.
atspi_start() {
    if [ ! -x /usr/libexec/at-spi-bus-launcher ] || ! "$PY" -c 'import pyatspi' 2>/dev/null; then
        abort "the accessibility bus and pyatspi are installed" \
            "install at-spi2-core and python3-pyatspi (see PACKAGES in the Makefile)"
    fi
    E2E_CLEANUP+=(atspi_stop)
    dbus-daemon --session --nofork --print-address=3 3>"$E2E_WORK/bus" >"$E2E_WORK/dbus.log" 2>&1 &
    ATSPI_PIDS+=($!)
    wait_for test -s "$E2E_WORK/bus" || abort "a private session bus starts"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_WORK/bus")
    export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_WORK/launcher.log" 2>&1 &
    ATSPI_PIDS+=($!)
    /usr/libexec/at-spi2-registryd >"$E2E_WORK/registry.log" 2>&1 &
    ATSPI_PIDS+=($!)
}

# a11y COMMAND ARGS...: what atspi.py reads of the running program.
a11y() {
    "$PY" "$ATSPI" "$1" "$APP_PID" "${@:2}" 2>>"$E2E_WORK/atspi.log"
}

reads() {
    [ "$(a11y "${@:2}")" = "$1" ]
}

# check_reads DESCRIPTION EXPECTED COMMAND ARGS...: what the screen reader reads settles on EXPECTED.
check_reads() {
    wait_for reads "${@:2}"
    check_eq "$1" "$2" "$(a11y "${@:3}")"
}
