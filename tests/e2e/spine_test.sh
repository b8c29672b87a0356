#!/usr/bin/env bash
# First start in an empty folder, one entry typed and closed, and the entry shown again at the
# next start.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-02-29 21:30:00"
readonly KEY=20240229
readonly TITLE="散歩 walk"
readonly BODY_TYPED="first line
二行目"

home=$(new_folder home)
ini=$home/diary.ini
entry=$home/data/$KEY

app_start "$home" "$NOW"
geometry=$(xdotool getwindowgeometry "$WIN")
check_eq "the window is 320 x 320" "320x320" "$(awk '/Geometry:/ { print $2 }' <<<"$geometry")"
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
check_eq "a first start centres the window" \
    "$(((screen_w - 320) / 2)),$(((screen_h - 320) / 2))" \
    "$(awk '/Position:/ { print $2 }' <<<"$geometry")"
check "a first start creates the entries folder" test -d "$home/data"
check_absent "nothing is written before the first close" "$ini"

type_title "$TITLE"
type_body "first line"
app_keys Return
app_type "二行目"
check_eq "the title edit holds what was typed" "$TITLE" "$(shown_title)"
check_eq "the body holds what was typed" "$BODY_TYPED" "$(shown_body)"
app_close

check_bytes "the body is stored in code page 932 with CR LF and no final line break" \
    "$entry" "$(expect_file body $'first line\r\n二行目')"
check_eq "the title is stored in section [title]" "$TITLE" "$(ini_value "$ini" title "$KEY")"
check_eq "section [title] holds only the day written" "$KEY" "$(ini_keys "$ini" title)"
check_eq "the eleven settings are written in their order" \
    "fontname fontsize left top Mnikki username password usepassword schemepath buttonpath scrollbar" \
    "$(ini_keys "$ini" data)"
check_eq "the default font is stored" "ＭＳ Ｐゴシック" "$(ini_value "$ini" data fontname)"
check_eq "the default font size is stored" 9 "$(ini_value "$ini" data fontsize)"
check_eq "the window position is stored" \
    "$(((screen_w - 320) / 2)) $(((screen_h - 320) / 2))" \
    "$(ini_value "$ini" data left) $(ini_value "$ini" data top)"
check_eq "the companion stays on" 1 "$(ini_value "$ini" data Mnikki)"
check_eq "the default user name is stored" "あなた" "$(ini_value "$ini" data username)"
check_eq "no password, not used, no pictures, no scroll bar" "|0|||0" \
    "$(for k in password usepassword schemepath buttonpath scrollbar; do ini_value "$ini" data "$k"; done | paste -sd'|')"
check "every line of diary.ini ends with CR LF" only_crlf "$ini"

cp "$entry" "$E2E_WORK/entry.first"
cp "$ini" "$E2E_WORK/ini.first"

app_start "$home" "$NOW"
check_eq "the next start shows the title again" "$TITLE" "$(shown_title)"
check_eq "the next start shows the body again" "$BODY_TYPED" "$(shown_body)"
app_close

check_bytes "closing again leaves the entry byte for byte" "$entry" "$E2E_WORK/entry.first"
check_bytes "closing again leaves diary.ini byte for byte" "$ini" "$E2E_WORK/ini.first"

finish
