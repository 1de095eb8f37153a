# Sourced first by the desktop checks: a private session bus, X, IceWM, a scratch `work` folder;
# `pids` are stopped at exit. A desktop that cannot come up skips the check (77), not fails it.

# A tray watcher or accessibility bus on someone else's session would leak into the program.
[ -n "${IXO_OWN_BUS:-}" ] || IXO_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@"
work=$(mktemp -d)
mkdir -p "$work/home/.icewm"
pids=()
trap 'set +e; kill "${pids[@]}" 2>/dev/null; wait "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIPPED: $*" >&2; exit 77; }

# Polls a command until it succeeds, for at most the given seconds.
within() {
    local until=$((SECONDS + $1))
    until "${@:2}" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$until" ] || return 1 && sleep 0.1
    done
}

# Xvfb takes /tmp/.X<n>-lock itself, atomically, so a number another server holds makes it exit
# and the next is tried; -displayfd says when it accepts clients, without a probe connection.
# -noreset: otherwise the server resets whenever its last client leaves, cutting off one that
# connects at that moment, such as a window manager starting right after a probe.
start_x() {
    local number=${IXO_DISPLAY_BASE:-50}
    for ((; number < ${IXO_DISPLAY_BASE:-50} + 40; number++)); do
        Xvfb ":$number" -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp \
            3>"$work/ready" 2>"$work/xvfb.log" &
        within 60 eval "[ -s '$work/ready' ] || ! kill -0 $!"
        [ -s "$work/ready" ] && pids+=($!) && export DISPLAY=":$number" && return
        kill $! 2>/dev/null; wait $! 2>/dev/null || true
        grep -q -E "already (active|running)" "$work/xvfb.log" || skip "Xvfb did not start: $(tail -2 "$work/xvfb.log")"
    done
    skip "no free display from :${IXO_DISPLAY_BASE:-50}"
}

# x, y, width and height of a window.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width/ {w=$NF} /Height/ {h=$NF} END {print x, y, w, h}'
}
# The program's viewable window of that size ("212x37").
program_window() {
    local id
    for id in $(xwininfo -root -tree | awk -v size="$1" '/"ixomp3" "IxoMp3"/ && $(NF-1) ~ "^" size "\\+" {print $1}'); do
        xwininfo -id "$id" | grep -q IsViewable && echo "$id" && return 0
    done
    return 1
}
# The bar is the program's 212 x 37 window.
bar_viewable() { bar=$(program_window 212x37); }

# Qt offers a tray icon only while someone owns this selection, so that is the tray's real sign.
tray_owned() {
    python3 -c 'import ctypes as c; x = c.CDLL("libX11.so.6"); x.XOpenDisplay.restype = c.c_void_p
x.XInternAtom.argtypes = [c.c_void_p, c.c_char_p, c.c_int]; x.XInternAtom.restype = c.c_ulong
x.XGetSelectionOwner.argtypes = [c.c_void_p, c.c_ulong]; x.XGetSelectionOwner.restype = c.c_ulong
d = x.XOpenDisplay(None); exit(not d or not x.XGetSelectionOwner(d, x.XInternAtom(d, b"_NET_SYSTEM_TRAY_S0", 0)))'
}

# IceWM in a home of its own, its task bar at the top so that the work area does not start at 0.
start_icewm() {
    echo "TaskBarAtTop=1" >"$work/home/.icewm/preferences"
    HOME="$work/home" icewm 2>"$work/icewm.log" &
    pids+=($!)
    within 90 eval 'tray_owned && xprop -root _NET_WORKAREA | grep -q = || ! kill -0 $!'
    kill -0 "$!" 2>/dev/null || skip "IceWM ended: $(tail -2 "$work/icewm.log")"
    tray_owned && xprop -root _NET_WORKAREA | grep -q = || skip "IceWM showed no tray in 90 s"
}

# The accessibility bus that Qt and the AT-SPI reader meet on, in a runtime folder of our own.
start_a11y_bus() {
    export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
    [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi-bus-launcher is missing (at-spi2-core)"
    /usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
    pids+=($!)
    within 30 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress ||
        skip "the accessibility bus did not start"
}

# Starts the program with these arguments (as `player`) and waits for its bar at x, y.
start_program() {
    "$program" "$@" 2>"$work/stderr.txt" &
    pids+=($!) && player=$!
    within 30 bar_viewable || fail "the bar never appeared"
    read -r x y _ < <(geometry "$bar")
}
# The bar back on screen after what the argument says, and above others.
back_above() {
    within 10 bar_viewable || fail "$1 did not bring the bar back"
    within 10 eval 'xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE' || fail "$1: the bar came back below others"
}
