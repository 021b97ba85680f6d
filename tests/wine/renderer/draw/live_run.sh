#!/usr/bin/env bash
# Runs the real renderer on the session's screen, counts the frames it presents (Wine's fps channel),
# checks a screenshot, then ends it with a key and checks that it closed. Run inside scripts/wine-session.
#   live_run.sh <dist dir> <output dir> [seconds]
# Leaves <output dir>/fps.log and shot.png; exits nonzero on a failed check.
set -u
here=$(cd "$(dirname "$0")" && pwd)
dist="$1"; out="$2"; seconds="${3:-20}"
wine64=/usr/lib/wine/wine64
window_wait_s=15
close_wait_s=15
report_period_s=1.5   # Wine reports the swap rate at most this often

mkdir -p "$out"; rm -f "$out"/fps.log "$out"/shot.*
fail=0
check() { if eval "$1"; then echo "ok: $2"; else echo "FAILED: $2"; fail=1; fi; }
# Each 'approx' report covers one period; the first comes with the very first swap and always says 0.
reported_fps() { grep -o 'approx [0-9.]*' "$out/fps.log" | tail -n +2 | cut -d' ' -f2; }
# Polls a condition four times a second for up to $1 seconds.
wait_for() { for _ in $(seq 1 $(($1 * 4))); do eval "$2" && return 0; sleep 0.25; done; return 1; }

WINEDEBUG=-all,+fps "$wine64" "$dist/Lumivane.dll" 2>"$out/fps.log" &
renderer=$!
if ! wait_for $window_wait_s 'xdotool search --name "^Glimra_VC$" >/dev/null 2>&1'; then
  echo "FAILED: the renderer window Glimra_VC appeared"; kill "$renderer"; wait "$renderer"; exit 1
fi

sleep "$seconds"
import -window root "$out/shot.png"
convert "$out/shot.png" -depth 8 "rgb:$out/shot.rgb"
# Continuous presenting: a report every period, and none with a stall (below one frame per second).
expected=$(awk -v s="$seconds" -v p="$report_period_s" 'BEGIN { print int(s / p * 0.75) }')
check "[ $(reported_fps | wc -l) -ge $expected ]" "frames were presented throughout $seconds s ($(reported_fps | wc -l) fps reports)"
check "! reported_fps | grep -q '^0\\.'" "every reported period presented at least one frame per second"

xdotool key space
check "wait_for $close_wait_s '! kill -0 $renderer 2>/dev/null'" "the renderer ended after a key press"
if kill -0 "$renderer" 2>/dev/null; then
  kill "$renderer"; wait "$renderer"
else
  wait "$renderer"; check "[ $? -eq 0 ]" "the renderer's exit code is 0"
fi
grep approx "$out/fps.log" | tail -n 3
python3 "$here/shot_stats.py" "$out/shot.rgb" $(identify -format '%w %h' "$out/shot.png") || fail=1
exit $fail
