#!/usr/bin/env bash
# The real bar on X, first without a window manager, then under IceWM, by xdotool and xwininfo.
set -euo pipefail
program="$1"
source "$(dirname "$0")/../support/desktop.sh"
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy HOME="$work/home"

# A button's centre: the 3-pixel frame, then its place in the bar.
click_button() { xdotool mousemove $((x + 3 + $1 + 8)) $((y + 3 + $2 + 8)) click 1; }
tray_icon() { icon=$(program_window small); }
exit_button_ends() {
    click_button 168 15
    within 10 eval '! kill -0 $player' || fail "the exit button did not end the program"
    wait "$player" || fail "the program ended with status $?"
}

start_x
# With no tray to come back from, minimising must leave the bar on screen, so that its exit
# button still ends the program.
start_program
click_button 132 15
within 10 grep -q "no tray" "$work/stderr.txt" || fail "minimise without a tray said nothing"
exit_button_ends
echo "ok: without a tray the bar stays and its exit works"

start_icewm
# The bar's corner is the work area's, which starts below IceWM's task bar at the top.
start_program
read -r wx wy ww wh _ < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g')
[ $((x + 212)) -eq $((wx + ww)) ] && [ $((y + 37)) -eq $((wy + wh)) ] ||
    fail "the bar is at $x,$y, not in the bottom-right corner of the work area $wx,$wy ${ww}x$wh"
# The window manager, not Qt, keeps the bar above others and out of the task bar.
state=$(xprop -id "$bar" _NET_WM_STATE)
[[ $state == *_NET_WM_STATE_ABOVE* && $state == *_NET_WM_STATE_SKIP_TASKBAR* ]] || fail "$state"
! grep -q "place itself" "$work/stderr.txt" || fail "IceWM left the bar in place, yet it said otherwise"
echo "ok: bar at $x,$y in the work area's corner, above, out of the task bar"

# Minimised by the window manager, the bar has no task-bar button to come back from, so it goes
# to the tray, and a double click on its icon brings the bar back.
xdotool windowminimize "$bar"
within 10 tray_icon || fail "minimised by the window manager, the bar left no icon in the tray"
within 10 eval "! bar_viewable" || fail "the bar is still on screen beside its tray icon"
read -r ix iy iw _ < <(geometry "$icon")
xdotool mousemove $((ix + iw / 2)) $((iy + iw / 2)) click --repeat 2 --delay 80 1 mousemove 100 400
back_above "a double click on the icon"
echo "ok: minimised by IceWM into its tray, back on a double click, above others"

exit_button_ends
