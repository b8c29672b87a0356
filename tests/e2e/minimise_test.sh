#!/usr/bin/env bash
# Under a real window manager (openbox): the borderless window is dragged by its title strip,
# goes into the task bar through its own minimise button, comes back at its place when a task
# bar activates it, and the place it shows at close is the one stored.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init
e2e_start_openbox

readonly DRAG_X=60 DRAG_Y=40

home=$(new_folder home)
ini=$home/diary.ini

# wm_state WIN: Normal, Iconic or Withdrawn, as the window manager set WM_STATE.
wm_state() {
    xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state:/ { print $3 }'
}

state_is() {
    [ "$(wm_state "$WIN")" = "$1" ]
}

net_wm_hidden() {
    xprop -id "$WIN" _NET_WM_STATE 2>/dev/null | grep -q '_NET_WM_STATE_HIDDEN'
}

map_state() {
    xwininfo -id "$WIN" 2>/dev/null | awk '/Map State:/ { print $3 }'
}

position_is() {
    [ "$(window_position "$WIN")" = "$1" ]
}

app_start "$home"
check_eq "openbox manages the window" Normal "$(wm_state "$WIN")"
start=$(window_position "$WIN")
IFS=, read -r x0 y0 <<<"$start"

# Drag by the title strip. The window manager takes the pointer over after the press; the
# pointer is nudged until the window follows, then taken to where the drag ends.
xdotool mousemove --window "$WIN" "$STRIP_X" "$STRIP_Y" mousedown 1
for ((step = 1; step <= 50; step++)); do
    xdotool mousemove "$((x0 + STRIP_X + step))" "$((y0 + STRIP_Y + step))"
    position_is "$start" || break
    sleep 0.1
done
xdotool mousemove "$((x0 + STRIP_X + DRAG_X))" "$((y0 + STRIP_Y + DRAG_Y))"
dragged="$((x0 + DRAG_X)),$((y0 + DRAG_Y))"
wait_for position_is "$dragged"
xdotool mouseup 1
check_eq "a drag by the title strip moves the window with the pointer" "$dragged" \
    "$(window_position "$WIN")"

app_click "$MINIMISE_X" "$MINIMISE_Y"
wait_for state_is Iconic
check_eq "the minimise button iconifies the window (WM_STATE)" Iconic "$(wm_state "$WIN")"
check "the window manager marks it hidden (_NET_WM_STATE_HIDDEN)" net_wm_hidden
check_eq "the iconified window is not on the screen" IsUnMapped "$(map_state)"

# What a task bar does when its button is clicked.
xdotool windowactivate "$WIN" 2>/dev/null
wait_for state_is Normal
check_eq "activation from the task bar brings the window back" Normal "$(wm_state "$WIN")"
check_eq "the window is on the screen again" IsViewable "$(map_state)"
check_eq "the window is back where it stood" "$dragged" "$(window_position "$WIN")"
check "the window has the keyboard focus again" wait_for x_focus_is_window

shown=$(window_position "$WIN")
app_close
check_eq "the place stored at close is the place shown" "${shown/,/ }" \
    "$(ini_value "$ini" data left) $(ini_value "$ini" data top)"

finish
