#!/usr/bin/env bash
# A desktop with a text scale (Xft.dpi 192, as a desktop set to 200 % gives): the window is still
# drawn at its design size, pixel for pixel as on a 96 dpi desktop, and the positions in
# diary.ini are screen pixels.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init
command -v xrdb >/dev/null || abort "tool xrdb is available" "install x11-xserver-utils"

readonly NOW="2024-03-10 09:00:00"

set_dpi() {
    echo "Xft.dpi: $1" | xrdb -nocpp -merge
    [ "$(xrdb -query | awk '/^Xft.dpi:/ { print $2 }')" = "$1" ] || abort "the X server takes Xft.dpi $1"
}

window_geometry() {
    xdotool getwindowgeometry "$WIN" | awk '/Position:/ { p = $2 } /Geometry:/ { g = $2 } END { print p, g }'
}

# shot NAME: a picture of the window.
shot() {
    import -window "$WIN" "$E2E_WORK/$1.png"
}

home=$(new_folder home)
ini=$home/diary.ini
read -r screen_w screen_h < <(xdotool getdisplaygeometry)

set_dpi 192
app_start "$home" "$NOW"
check_eq "the window is 320 x 320 at its centred place in screen pixels" \
    "$(((screen_w - 320) / 2)),$(((screen_h - 320) / 2)) 320x320" "$(window_geometry)"
type_title "Title 題"
type_body "本文 body text"
shot scaled
app_close
check_eq "diary.ini holds the position in screen pixels" \
    "$(((screen_w - 320) / 2)) $(((screen_h - 320) / 2))" \
    "$(ini_value "$ini" data left) $(ini_value "$ini" data top)"

# store_position LEFT TOP: the window's position in diary.ini.
store_position() {
    iconv -f CP932 -t UTF-8 "$ini" | sed -e "s/^left=.*/left=$1\r/" -e "s/^top=.*/top=$2\r/" |
        iconv -f UTF-8 -t CP932 >"$E2E_WORK/ini" && cp "$E2E_WORK/ini" "$ini"
}

# A stored position is taken in screen pixels too.
store_position 100 50
app_start "$home" "$NOW"
check_eq "a stored position places the window at those screen pixels" "100,50 320x320" \
    "$(window_geometry)"
app_close

# A position off every screen (a monitor since unplugged) opens the window at the nearest place
# on the screen, which is stored at close.
store_position 5000 50
app_start "$home" "$NOW"
check_eq "a window stored off every screen opens at the nearest place on it" \
    "$((screen_w - 320)),50 320x320" "$(window_geometry)"
app_close
check_eq "the place it opened at is stored at close" "$((screen_w - 320)) 50" \
    "$(ini_value "$ini" data left) $(ini_value "$ini" data top)"

set_dpi 96
app_start "$home" "$NOW"
app_keys ctrl+End
shot unscaled
app_close

# The caret may blink in one picture and not in the other: a few pixels may differ, a scaled
# font would change thousands.
differing=$(compare -metric AE "$E2E_WORK/scaled.png" "$E2E_WORK/unscaled.png" null: 2>&1)
if [ "${differing%%.*}" -lt 60 ] 2>/dev/null; then
    pass "the window at 192 dpi looks as it does at 96 dpi"
else
    fail "the window at 192 dpi looks as it does at 96 dpi" "differing pixels: $differing"
fi

finish
