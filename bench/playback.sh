#!/usr/bin/env bash
# Playback figures, run by hand: CPU time and peak memory for a minute of 192 kbps audio played
# in real time, IxoMp3 beside mpg123, both into one PulseAudio null sink this script starts; then
# the silence between 20 consecutive 3-second songs.
#   bench/playback.sh [build/bin]        (needs: apt-get install pulseaudio mpg123 time)
set -euo pipefail
bin="${1:-build/bin}"
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
pulseaudio -D -n --exit-idle-time=-1 --load="module-null-sink sink_name=null" \
    --load=module-native-protocol-unix 2>/dev/null
trap 'pulseaudio --kill 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT

song=$("$bin/bench_playback" song 60 192 440)
for run in 1 2 3; do
    /usr/bin/time -f "run $run  mpg123  CPU %U + %S s  peak %M KB" mpg123 -q -o pulse "$song"
    SDL_AUDIODRIVER=pulseaudio /usr/bin/time -f "run $run  IxoMp3  CPU %U + %S s  peak %M KB" \
        "$bin/bench_playback" cost "$song" 2>&1 | grep -E '^run|^CPU'
done

songs=()
for index in $(seq 1 20); do
    songs+=("$("$bin/bench_playback" song 3 192 $((300 + 20 * index)))")
done
"$bin/bench_playback" gaps "${songs[@]}" 2>/dev/null
