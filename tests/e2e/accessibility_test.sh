#!/usr/bin/env bash
# shellcheck disable=SC2317 # the helpers below run through wait_for
# The diary as a screen reader user meets it: every window read over the accessibility bus
# (AT-SPI), as Orca reads it. No operable control goes without a name or has the wrong role; the
# date line, the calendar's selected day and the search results read right and follow the keys;
# the day buttons, the calendar, the settings and the password prompt answer the keyboard alone.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-01-05 12:00:00"
# The main window's accessible name is the day it shows.
readonly MAIN='[0-9]+年[0-9]+月[0-9]+日 .*'

home=$(new_folder home)
mkdir -p "$home/data"
cp932 "needle one" >"$home/data/20240103"
cp932 "needle two" >"$home/data/20240104"
printf '\r\n[title]\r\n20240103=T3\r\n20240104=T4\r\n' >"$home/diary.ini"

# --- A private session bus, the accessibility bus on it, and a listener for focus changes -------

atspi_start
# Started before the program, which asks at start-up which events anyone listens to.
"$PY" "$ATSPI" listen "$E2E_WORK/heard" >"$E2E_WORK/listener.log" 2>&1 &
ATSPI_PIDS+=($!)
wait_for grep -q listening "$E2E_WORK/listener.log" ||
    abort "a client listens on the accessibility bus" "$(cat "$E2E_WORK/listener.log")"

# reads_like PATTERN COMMAND ARGS...: what is read matches PATTERN (grep -E).
reads_like() {
    a11y "${@:2}" | grep -qE "$1"
}

# check_names WINDOW ROLE=NAME...: no nameless operable control in WINDOW, and each ROLE=NAME in it.
check_names() {
    if wait_for a11y check "$@" >/dev/null; then
        pass "every control of $1 has a name, and the expected roles are there"
    else
        fail "every control of $1 has a name, and the expected roles are there" \
            "$(a11y check "$@")"
    fi
}

HEARD_FROM=0
mark_heard() {
    HEARD_FROM=$(wc -l <"$E2E_WORK/heard")
}

# heard PATTERN: since mark_heard, the focus went to an object that reads as PATTERN (grep -E).
heard() {
    tail -n +"$((HEARD_FROM + 1))" "$E2E_WORK/heard" | grep -qxE "$1"
}

# tab_through KEY COUNT: presses KEY COUNT times and prints where the focus lands each time.
tab_through() {
    local i last
    last=$(a11y focused)
    for ((i = 0; i < $2; i++)); do
        app_keys "$1"
        wait_for focus_moved_from "$last" >/dev/null
        last=$(a11y focused)
        echo "$last"
    done
}

focus_moved_from() {
    [ "$(a11y focused)" != "$1" ]
}

focus_window() {
    xdotool windowfocus "$1" 2>/dev/null
    wait_for x_focus_on "$1"
}

x_focus_on() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

other_window() {
    FOUND=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vx "$WIN" | head -n 1)
    [ -n "$FOUND" ]
}

# --- The main window --------------------------------------------------------------------------

app_start "$home" "$NOW"
check_names "$MAIN" "push button=前の日" "push button=今日" "push button=次の日" \
    "push button=カレンダー" "push button=メニュー" "push button=最小化" "push button=閉じる" \
    "text=題名" "text=本文"
check_reads "the date line reads the day shown" "2024年1月5日 金" name "$MAIN" label "表示中の日付"
mark_heard
app_ctrl period
check_reads "after Ctrl+. the date line reads the next day" "2024年1月6日 土" \
    name "$MAIN" label "表示中の日付"
check "the new date is announced as the date line's new name" \
    wait_for heard "name:label=2024年1月6日 土"

app_click "$TITLE_X" "$TITLE_Y"
wait_for reads "text=題名" focused || fail "a click in the title gives it the focus"
check_eq "Shift+Tab from the title walks the buttons, each named, back to the body" \
    "push button=閉じる push button=最小化 push button=メニュー push button=カレンダー \
push button=次の日 push button=今日 push button=前の日" "$(tab_through shift+Tab 7 | paste -sd' ')"
app_keys space
check_reads "Space on 前の日 shows the day before" "2024年1月5日 金" name "$MAIN" label "表示中の日付"
check_eq "the body follows the day buttons in the Tab order" "text=本文" "$(tab_through shift+Tab 1)"

# --- The calendar -----------------------------------------------------------------------------

app_ctrl k
wait_for app_window_named calendar || abort "Ctrl+K opens the calendar"
calendar=$FOUND
focus_window "$calendar" || abort "the calendar takes the keyboard focus"
check_names カレンダー "table=日付" "push button=前の月" "push button=OK" "push button=次の月"
check_reads "the calendar reads the shown day as selected" "2024年1月5日 金曜日" \
    selected カレンダー table
mark_heard
app_keys Right
check_reads "Right selects the next day, and the calendar reads it" "2024年1月6日 土曜日" \
    selected カレンダー table
if wait_for heard "table cell=2024年1月6日 土曜日"; then
    pass "the day Right moved to is announced as the focus"
else
    fail "the day Right moved to is announced as the focus" "heard: $(tail -n 5 "$E2E_WORK/heard")"
fi
check_eq "Tab walks the calendar's buttons" "push button=前の月 push button=OK push button=次の月" \
    "$(tab_through Tab 3 | paste -sd' ')"
app_keys space
check_reads "Space on 次の月 turns the month" "2024年2月6日 火曜日" selected カレンダー table
app_keys Escape
wait_for app_window_gone "$calendar" || abort "Escape closes the calendar"
focus_window "$WIN" || abort "the main window takes the keyboard back"

# --- The search -------------------------------------------------------------------------------

app_ctrl f
wait_for other_window || abort "Ctrl+F opens the search"
search=$FOUND
focus_window "$search" || abort "the search takes the keyboard focus"
check_names 検索 "text=探す言葉" "list=検索結果" "push button=閉じる"
app_type "needle"
wait_for reads_like "^2024年1月4日.*needle two$" selected 検索 list
check "the first result reads its date and the line found" \
    reads_like "^2024年1月4日.*needle two$" selected 検索 list
mark_heard
app_keys Down
if wait_for heard "list item=2024年1月3日.*needle one"; then
    pass "Down from the query line announces the next result"
else
    fail "Down from the query line announces the next result" \
        "heard: $(tail -n 5 "$E2E_WORK/heard")"
fi
check_eq "the query line keeps the focus" "text=探す言葉" "$(a11y focused)"
app_keys Escape
wait_for app_window_gone "$search" || abort "Escape closes the search"
focus_window "$WIN" || abort "the main window takes the keyboard back"

# --- The settings, by keyboard: a password switched on ------------------------------------------

menu_choose 2
wait_for other_window || abort "Setting opens the settings"
settings=$FOUND
focus_window "$settings" || abort "the settings take the keyboard focus"
check_names 設定 "text=名前" "password text=パスワード" "check box=パスワードを使う" \
    "push button=スキーム画像を選ぶ" "push button=ボタン画像を選ぶ" "push button=OK"
check_reads "the settings open in the name" "text=名前" focused
app_keys Tab
app_type "pw12"
app_keys Tab space
check_reads "Space checks パスワードを使う" "check box=パスワードを使う" focused
check_eq "Tab walks the picture buttons to OK" \
    "push button=スキーム画像を選ぶ push button=ボタン画像を選ぶ push button=OK" \
    "$(tab_through Tab 3 | paste -sd' ')"
app_keys space
wait_for app_window_gone "$settings" || abort "Space on OK closes the settings"
focus_window "$WIN" || abort "the main window takes the keyboard back"
app_close
check_eq "the password is switched on" 1 "$(ini_value "$home/diary.ini" data usepassword)"

# --- The password prompt, answered by keyboard ------------------------------------------------

app_start "$home" "$NOW"
prompt=$WIN
check_names パスワード "password text=パスワード" "push button=キャンセル" "push button=OK"
check_reads "the prompt opens in the password field" "password text=パスワード" focused
app_type "pw21"
check_eq "Tab reaches Cancel and OK" "push button=キャンセル push button=OK" \
    "$(tab_through Tab 2 | paste -sd' ')"
app_keys space
wait_for other_window || abort "Space on OK with a wrong password shows a message"
box=$FOUND
focus_window "$box" || abort "the message takes the keyboard focus"
check_names 情報 "push button=はい(Y)"
app_keys Return
wait_for app_window_gone "$box" || abort "Return dismisses the message"
focus_window "$prompt" || abort "the prompt takes the keyboard back"
tab_through shift+Tab 2 >/dev/null
check_reads "Shift+Tab goes back to the password" "password text=パスワード" focused
app_keys ctrl+a BackSpace
app_type "pw12"
app_keys Tab Tab space
wait_for app_window_gone "$prompt" || abort "Space on OK with the right password ends the prompt"
wait_for app_window_named Tobiquill || abort "the main window shows"
WIN=$FOUND
focus_window "$WIN" || abort "the main window takes the keyboard"
pass "the password prompt is answered from the keyboard alone"
app_close

finish
