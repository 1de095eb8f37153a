#!/usr/bin/env bash
# The bar over XWayland on headless Mutter and KWin: in the work area's corner, above others, the
# playlist and browser on its top edge, no word of being placed elsewhere; on weston, truthful.
set -euo pipefail
program="$1"
source "$(dirname "$0")/../support/desktop.sh"
unset DISPLAY QT_QPA_PLATFORM
export SDL_AUDIODRIVER=dummy HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
shots="${IXO_ARTEFACTS:-$PWD/artefacts}" && mkdir -p "$shots"

# Presses a button of a window of the program over AT-SPI: XWayland takes no pointer from XTEST.
press() { /usr/bin/python3 "$(dirname "$0")/../e2e/walk.py" press "$program_pid" "$@"; }

# Starts the compositor; sets DISPLAY to its XWayland, or says why it could not.
start_compositor() {
    local name="ixo-$1-$$"
    rm -f "$work/display"
    case "$1" in
    mutter)
        mutter --headless --wayland --virtual-monitor 1280x1024 --wayland-display="$name" \
            >"$work/$1.log" 2>&1 &
        pids+=($!)
        within 60 eval "grep -q 'Using public X11 display' '$work/$1.log' || ! kill -0 $!"
        sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$work/$1.log" >"$work/display"
        # Mutter's XWayland lets in only the holders of its cookie.
        XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -1)
        export XAUTHORITY ;;
    weston)
        # Its XWayland listens in the folder Xvfb would have made.
        mkdir -p -m 1777 /tmp/.X11-unix
        weston --backend=headless-backend.so --xwayland --socket="$name" --width=1280 --height=1024 \
            >"$work/$1.log" 2>&1 &
        pids+=($!)
        within 60 eval "grep -q 'xserver listening on display' '$work/$1.log' || ! kill -0 $!"
        sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/$1.log" >"$work/display" ;;
    kwin)
        # Its file capabilities would make the exec fail in a container; a plain copy has none.
        cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
        # KWin starts the program it is given once XWayland runs, which tells its display.
        printf '#!/bin/sh\necho "$DISPLAY" >"%s"\nexec sleep 600\n' "$work/display" >"$work/announce"
        chmod +x "$work/announce"
        "$work/kwin_wayland" --virtual --xwayland --width 1280 --height 1024 --socket "$name" \
            "$work/announce" >"$work/$1.log" 2>&1 &
        pids+=($!)
        within 60 eval "[ -s '$work/display' ] || ! kill -0 $!" ;;
    esac
    [ -s "$work/display" ] || return 1
    export DISPLAY WAYLAND_DISPLAY="$name"
    DISPLAY=$(cat "$work/display")
    # The window manager's own properties on the root window come with its first frame.
    within 30 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
}

check_on() {
    local compositor=$1
    if ! start_compositor "$compositor"; then
        echo "SKIPPED on $compositor: it did not start here: $(tail -3 "$work/$compositor.log" | tr '\n' ' ')"
        return 2
    fi
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" 2>"$work/$compositor-stderr.txt" &
    pids+=($!) && program_pid=$!
    within 30 program_window 212x37 >/dev/null || fail "$compositor: the bar never appeared"
    bar=$(program_window 212x37)
    # KWin gives XWayland no work area, which then is the whole screen.
    read -r wx wy ww wh _ < <(xprop -root _NET_WORKAREA 2>/dev/null | grep = | sed 's/.*= //; s/,//g' ||
        xwininfo -root | awk '/Width/ {w=$NF} /Height/ {h=$NF} END {print 0, 0, w, h}')
    in_corner() { read -r x y w h < <(geometry "$bar") && [ $((x + w)) -eq $((wx + ww)) ] && [ $((y + h)) -eq $((wy + wh)) ]; }
    local placed="does not let the bar place itself" stderr="$work/$compositor-stderr.txt"
    [ "$compositor" != weston ] || { on_weston; return; }
    # The compositor places a new window where it likes first; the bar moves itself after.
    within 10 in_corner || fail "$compositor: the bar is at $(geometry "$bar"), not in the corner of the work area $wx,$wy ${ww}x$wh"
    read -r x y _ < <(geometry "$bar")
    # An ordinary window over the bar's corner, made active, stays below it.
    xmessage -geometry 500x300+$((x - 200))+$((y - 200)) "arrunta" &
    pids+=($!)
    within 10 eval 'xdotool search --sync --onlyvisible --name "^xmessage$" >"$work/ordinary"' ||
        fail "$compositor: the ordinary window never appeared"
    ordinary=$(head -1 "$work/ordinary")
    xdotool windowactivate "$ordinary" 2>/dev/null || true
    stacked_above() {
        xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | tr ' ' '\n' | grep -n -i -E "^$(printf '0x%x' "$ordinary")$|^$bar$" |
            cut -d: -f2 | tr '\n' ' ' | grep -q -i "^$(printf '0x%x' "$ordinary") $bar"
    }
    within 10 stacked_above || fail "$compositor: the ordinary window is stacked above the bar: $(xprop -root _NET_CLIENT_LIST_STACKING)"
    # The playlist and the browser, opened from the bar, stand on its top edge above it.
    local opens=("IxoMp3 Zerrenda 212x234" "Zerrenda Gehitu 212x239") window button size px py ph
    for opened in "${opens[@]}"; do
        read -r window button size <<<"$opened"
        within 10 press "$window" "$button" || fail "$compositor: \"$button\" in \"$window\" could not be pressed"
        within 10 program_window "$size" >/dev/null || fail "$compositor: \"$button\" opened no window"
        read -r px py _ ph < <(geometry "$(program_window "$size")")
        [ "$px" -eq "$x" ] && [ $((py + ph)) -eq "$y" ] ||
            fail "$compositor: the $size window is at $px,$py, not on the bar's top edge at $x,$y"
    done
    # XWayland without a root window of its own shows each window alone.
    import -window "$bar" "$shots/wayland-$compositor-bar.png" ||
        fail "$compositor: the bar's picture could not be read back"
    # By now the bar has looked where it stands, in the corner, so it tells of no other place.
    ! grep "$placed" "$stderr" || fail "$compositor: the bar said it was placed elsewhere"
    echo "ok on $compositor: the bar in the work area's corner $((x + 212)),$((y + 37)), above an ordinary window, the playlist and the browser on its top edge"
}

# Weston places each X11 window itself as it maps it, follows a later move only at times, and
# publishes no stacking order: the bar ends in the corner, or says once that it is elsewhere.
on_weston() {
    within 10 eval 'in_corner || grep -q "$placed" "$stderr"' || fail "weston: the bar is at $(geometry "$bar") and did not say so"
    ! { in_corner && grep "$placed" "$stderr"; } || fail "weston: the bar said it was elsewhere from the corner"
    local at && at="$(geometry "$bar"), $(grep -c "$placed" "$stderr") word(s) of it"
    import -window "$bar" "$shots/wayland-weston-bar.png" || fail "weston: the bar's picture could not be read back"
    within 10 press IxoMp3 Zerrenda && within 10 program_window 212x234 >/dev/null || fail "weston: the playlist did not open"
    within 10 press IxoMp3 Irten && within 10 eval '! kill -0 $program_pid' || fail "weston: the exit button did not end the program"
    wait "$program_pid" || fail "weston: the program ended with status $?"
    [ "$(grep -c "$placed" "$stderr")" -le 1 ] || fail "weston: the placement was told more than once"
    echo "ok on weston: the bar at $at, opened the playlist and ended"
}

# Each compositor in a shell of its own, which stops what it started.
run_on() {
    pids=()
    trap 'set +e; kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null' EXIT
    check_on "$1"
}
start_a11y_bus
checked=0
for compositor in mutter kwin weston; do
    command -v "${compositor/kwin/kwin_wayland}" >/dev/null || { echo "SKIPPED on $compositor: not installed"; continue; }
    status=0
    (run_on "$compositor") || status=$?
    case $status in
    0) checked=$((checked + 1)) ;;
    2) ;;
    *) exit "$status" ;;
    esac
done
[ "$checked" -gt 0 ] || skip "no compositor could start here"
