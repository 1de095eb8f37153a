#!/usr/bin/env bash
# The real bar on X, first without a window manager, then under IceWM, by xdotool and xwininfo.
set -euo pipefail
program="$1"
source "$(dirname "$0")/../support/desktop.sh"
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy HOME="$work/home"

start_program() {
    "$program" 2>"$work/stderr.txt" &
    pids+=($!) && player=$!
    within 30 bar_viewable || fail "the bar never appeared"
    read -r x y _ < <(geometry "$bar")
}
# A button's centre: the 3-pixel frame, then its place in the bar.
click_button() { xdotool mousemove $((x + 3 + $1 + 8)) $((y + 3 + $2 + 8)) click 1; }
tray_icon() { icon=$(program_window small); }
click_icon() {
    read -r ix iy iw _ < <(geometry "$icon")
    xdotool mousemove $((ix + iw / 2)) $((iy + iw / 2)) click "$@" mousemove 100 400
}
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
icewm=${pids[-1]}
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
# to the tray; the icon survives IceWM restarting, and a double click on it brings the bar back.
xdotool windowminimize "$bar"
within 10 tray_icon || fail "minimised by the window manager, the bar left no icon in the tray"
within 10 eval "! bar_viewable" || fail "the bar is still on screen beside its tray icon"
kill "$icewm" && wait "$icewm" 2>/dev/null || true
within 10 eval '! tray_owned' || fail "IceWM's tray did not go away"
start_icewm
within 30 tray_icon || fail "the icon did not come back to the restarted tray"
click_icon --repeat 2 --delay 80 1
within 10 bar_viewable || fail "a double click on the icon did not bring the bar back"
within 10 eval 'xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE' ||
    fail "the bar came back below others"
echo "ok: minimised by IceWM into its tray, back after IceWM restarted, above others"

# On IceWM's tray the right button opens the bar's own menu, whose first item brings it back.
xdotool windowminimize "$bar"
within 10 tray_icon || fail "minimised again, the bar left no icon in the tray"
# The menu: the program's one viewable override-redirect window beside the bar.
menu_shown() {
    local id
    for id in $(xwininfo -root -children | awk '/"ixomp3" "IxoMp3"/ {print $1}'); do
        xwininfo -id "$id" | grep -q "Override Redirect State: yes" &&
            xwininfo -id "$id" | grep -q IsViewable && return 0
    done
    return 1
}
# A loaded machine may map the icon before the tray has settled it in its place: click again.
for _ in 1 2 3; do click_icon 3 && within 4 menu_shown && break; done
menu_shown || fail "the right button on the icon opened no menu"
import -window root "${IXO_ARTEFACTS:-$PWD/artefacts}/icewm-menu.png" 2>/dev/null || true
xdotool key Down Return
within 10 bar_viewable || fail "\"Haundiagotu\" did not bring the bar back"
echo "ok: the right button on IceWM's tray icon opens the menu, whose \"Haundiagotu\" brings the bar back"
exit_button_ends
