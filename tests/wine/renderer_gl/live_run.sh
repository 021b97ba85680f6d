#!/usr/bin/env bash
# Runs the real renderer for a while on the session's screen, counts the frames it presents
# (Wine's fps channel), takes screenshots, then ends it with a key and checks that it closed.
#   live_run.sh <dist dir> <output dir> [seconds]
# Writes <output dir>/fps.log, shot-<s>s.png and shot-<s>s.rgb; exits nonzero on a failed check.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
dist="$1"; out="$2"; seconds="${3:-20}"

# Without a screen of its own, run inside a private Wine session.
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-session" -- "$0" "$@"
fi

wine64=/usr/lib/wine/wine64
window_wait_s=30      # start-up of a cold prefix may be slow
close_wait_s=15
shot_every_s=10
min_fps_lines_per_10s=5   # Wine reports every 1.5 s

mkdir -p "$out"; rm -f "$out"/fps.log "$out"/shot-*
fail=0
check() { if eval "$1"; then echo "ok: $2"; else echo "FAILED: $2"; fail=1; fi; }
fps_lines() { grep -c 'approx' "$out/fps.log" 2>/dev/null || true; }
# Wine's first report comes with the very first swap and always says 0; the rest cover 1.5 s each.
measured_fps() { grep -o 'approx [0-9.]*' "$out/fps.log" | tail -n +2 | cut -d' ' -f2; }

WINEDEBUG=-all,+fps "$wine64" "$dist/Lumivane.dll" 2>"$out/fps.log" &
renderer=$!

window=""
for _ in $(seq 1 $((window_wait_s * 4))); do
  window=$(xdotool search --name '^Glimra_VC$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.25
done
check '[ -n "$window" ]' "the renderer window Glimra_VC appeared"
if [ -z "$window" ]; then kill "$renderer" 2>/dev/null; wait "$renderer" 2>/dev/null; exit 1; fi

previous=$(fps_lines)
for elapsed in $(seq "$shot_every_s" "$shot_every_s" "$seconds"); do
  sleep "$shot_every_s"
  import -window root "$out/shot-${elapsed}s.png"
  convert "$out/shot-${elapsed}s.png" -depth 8 "rgb:$out/shot-${elapsed}s.rgb"
  now=$(fps_lines)
  check "[ $((now - previous)) -ge $min_fps_lines_per_10s ]" \
    "frames were presented throughout seconds $((elapsed - shot_every_s))..$elapsed ($((now - previous)) fps reports)"
  previous=$now
done
check "! measured_fps | grep -q '^0\\.'" "every reported period presented at least one frame per second"

xdotool key space
closed=0
for _ in $(seq 1 $((close_wait_s * 4))); do
  if ! kill -0 "$renderer" 2>/dev/null; then closed=1; break; fi
  sleep 0.25
done
check '[ $closed -eq 1 ]' "the renderer ended after a key press"
if [ $closed -eq 1 ]; then
  wait "$renderer"; code=$?
  check "[ $code -eq 0 ]" "the renderer's exit code is 0"
else
  kill "$renderer" 2>/dev/null; wait "$renderer" 2>/dev/null
fi
grep approx "$out/fps.log" | tail -n 3
size=$(identify -format '%w %h' "$out/shot-${seconds}s.png")
python3 "$here/shot_stats.py" "$out/shot-${seconds}s.rgb" $size || fail=1
exit $fail
