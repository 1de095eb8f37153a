#!/usr/bin/env bash
# Playback figures, run by hand, on the program itself given its songs on the command line:
# CPU time and peak memory for a minute of 192 kbps audio played in real time, IxoMp3 beside
# mpg123, both into one PulseAudio null sink this script starts; then the silence between 20
# consecutive 3-second songs in what SDL's disk driver wrote, in real time.
#   bench/playback.sh [build/bin]     (needs: apt-get install pulseaudio mpg123 time dbus-daemon)
set -euo pipefail
# A session bus of its own: MPRIS says when the songs have played, and no player of the user's
# session takes them instead.
[ -n "${IXO_OWN_BUS:-}" ] || IXO_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@"
bin="${1:-build/bin}"
export XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR=$(mktemp -d)
pulseaudio -D -n --exit-idle-time=-1 --load="module-null-sink sink_name=null" \
    --load=module-native-protocol-unix 2>/dev/null
trap 'pulseaudio --kill 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT

bus() { dbus-send --session --print-reply "$@" 2>/dev/null; }
player() {
    bus --dest=org.mpris.MediaPlayer2.ixomp3 /org/mpris/MediaPlayer2 \
        org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player "string:$1" |
        awk 'NR == 2 {print $NF}'
}
# Polls until the player says it plays, or has stopped after the last song, for at most the
# given seconds.
until_player() {
    local until=$((SECONDS + $2))
    until [ "$(player PlaybackStatus)" = "\"$1\"" ] &&
        { [ "$1" = Playing ] || [ "$(player CanGoNext)" = false ]; }; do
        [ "$SECONDS" -lt "$until" ] || { echo "IxoMp3 never said $1" >&2; exit 1; }
        sleep 0.2
    done
}
# Runs the command (ending in ixomp3 and its songs) until the last song has played; the bar
# does not end by itself, so it is stopped then.
play_through() {
    "$@" 2>/dev/null &
    until_player Playing 30
    until_player Stopped 120
    kill "$(bus --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetConnectionUnixProcessID \
        string:org.mpris.MediaPlayer2.ixomp3 | awk '/uint32/ {print $2}')"
    wait || true
}

song=$("$bin/bench_playback" song 60 192 440)
for run in 1 2 3; do
    /usr/bin/time -f "run $run  mpg123  CPU %U + %S s  peak %M KB" mpg123 -q -o pulse "$song"
    play_through env SDL_AUDIODRIVER=pulseaudio /usr/bin/time -o "$XDG_RUNTIME_DIR/cost" \
        -f "run $run  IxoMp3  CPU %U + %S s  peak %M KB" "$bin/ixomp3" "$song"
    grep '^run' "$XDG_RUNTIME_DIR/cost"
done

songs=()
for index in $(seq 1 20); do
    songs+=("$("$bin/bench_playback" song 3 192 $((300 + 20 * index)))")
done
# One 1024-frame buffer per 23 ms: real time, so the songs hand over as they would.
play_through env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$XDG_RUNTIME_DIR/heard.raw" \
    SDL_DISKAUDIODELAY=23 "$bin/ixomp3" "${songs[@]}"
"$bin/bench_playback" gaps "$XDG_RUNTIME_DIR/heard.raw" "${#songs[@]}"
