#!/usr/bin/env bash
# The real program on a real desktop: Xvfb with IceWM, which has a tray, driven with xdotool and
# read with xprop and xwininfo. Screenshots of each step go to $IXO_SCREENSHOTS (or a
# temporary folder, named at the end).
set -euo pipefail
program="$1"
shots="${IXO_SCREENSHOTS:-$(mktemp -d)}"
mkdir -p "$shots"
work=$(mktemp -d)
home="$work/home"
source "$(dirname "$0")/../support/desktop.sh"

fail() {
    echo "FAIL: $*" >&2
    import -window root "$shots/failure.png" 2>/dev/null || true
    echo "screenshots in $shots" >&2
    exit 1
}

start_desktop
# IceWM's tray comes up after its task bar; on a loaded machine that takes a while.
within 30 sh -c 'xwininfo -root -tree | grep -q SystemTray' || fail "IceWM shows no tray"

# The suite runs headless elsewhere; this check is about the real X11 window.
export QT_QPA_PLATFORM=xcb
export SDL_AUDIODRIVER=dummy
HOME="$home" "$program" 2>"$home/stderr.txt" &
player=$!
pids+=("$player")

# The bar is the program's 212 x 37 window.
bar_window() {
    xwininfo -root -tree | awk '/"ixomp3" "IxoMp3"/ && /212x37/ {print $1; exit}'
}
bar_viewable() {
    local id
    id=$(bar_window)
    [ -n "$id" ] && xwininfo -id "$id" | grep -q IsViewable
}
tray_icon_centre() {
    xwininfo -root -tree | awk '/"ixomp3" "IxoMp3"/ && !/212x37/ && $NF ~ /^\+[0-9]+\+[0-9]+$/ {
        split($(NF-1), size, /[x+]/); split($NF, at, /\+/);
        if (size[1] < 100) { print at[2] + int(size[1] / 2), at[3] + int(size[2] / 2); exit } }'
}
in_tray() { [ -n "$(tray_icon_centre)" ]; }
not_in_tray() { [ -z "$(tray_icon_centre)" ]; }
bar_hidden() { ! bar_viewable; }
# The pop-up menu is the program's one other window of some size.
menu_open() {
    local id
    for id in $(xwininfo -root -tree | awk '/"ixomp3" "IxoMp3"/ && !/212x37/ {
            split($(NF-1), size, /[x+]/); if (size[1] >= 60 && size[2] >= 60) print $1 }'); do
        xwininfo -id "$id" | grep -q IsViewable && return 0
    done
    return 1
}

within 15 bar_viewable || fail "the bar never appeared"
sleep 0.3
import -window root "$shots/1-bar.png"
bar=$(bar_window)
read -r x y < <(xwininfo -id "$bar" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
read -r wx wy ww wh < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' | awk '{print $1, $2, $3, $4}')
[ $((x + 212)) -eq $((wx + ww)) ] && [ $((y + 37)) -eq $((wy + wh)) ] ||
    fail "the bar is at $x,$y, not in the bottom-right corner of the work area $wx,$wy ${ww}x$wh"
xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the bar is not on top"
xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the bar is in the task bar"
echo "ok: bar at $x,$y, 212x37, above, out of the task bar"

# A button's centre: the 3-pixel frame, then its place in the client area.
click_button() { xdotool mousemove $((x + 3 + $1 + 8)) $((y + 3 + $2 + 8)) click "${3:-1}"; }

click_button 132 15
within 5 bar_hidden || fail "minimise left the bar on screen"
within 5 in_tray || fail "minimise put no icon in the tray"
import -window root "$shots/2-tray.png"
echo "ok: minimised to the tray"

read -r ix iy < <(tray_icon_centre)
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 60 1
within 5 bar_viewable || fail "a double click on the icon did not bring the bar back"
within 5 not_in_tray || fail "the icon stayed in the tray after the restore"
xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the restored bar is not on top"
import -window root "$shots/3-restored.png"
echo "ok: restored on top"

click_button 132 15
within 5 in_tray || fail "the second minimise put no icon in the tray"
read -r ix iy < <(tray_icon_centre)
xdotool mousemove "$ix" "$iy" click 3
within 5 menu_open || fail "a right click on the icon opened no menu"
import -window root "$shots/4-menu.png"
xdotool key Escape
echo "ok: the tray menu opens"

xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 60 1
within 5 bar_viewable || fail "the bar did not come back for the exit"
click_button 168 15
status=0
for _ in $(seq 1 50); do
    kill -0 "$player" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$player" 2>/dev/null && fail "the exit button did not end the program"
wait "$player" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "ok: exit ends the program with status 0"
echo "screenshots in $shots"
