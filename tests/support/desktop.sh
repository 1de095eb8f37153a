# Sourced by the desktop checks: a private X server with IceWM, polling, and clean-up at exit.
# The caller sets `work` (a scratch folder, removed at exit) before sourcing; processes added to
# `pids` are stopped at exit. `fail` may be redefined after sourcing.
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    # The next desktop check may take the same display number once this server has gone.
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap finish EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Polls a command until it succeeds, for at most the given seconds.
within() {
    local tries=$(($1 * 10))
    shift
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# Xvfb on the first free display, then IceWM with its home in $work/home.
start_desktop() {
    local number
    for number in $(seq 50 99); do
        [ -e "/tmp/.X$number-lock" ] || break
    done
    export DISPLAY=":$number"
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    within 10 xdpyinfo || fail "no X server on $DISPLAY"
    mkdir -p "$work/home"
    HOME="$work/home" icewm >/dev/null 2>&1 &
    pids+=($!)
    within 10 xprop -root _NET_WORKAREA || fail "IceWM did not start"
}
