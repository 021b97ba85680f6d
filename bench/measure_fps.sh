#!/usr/bin/env bash
# Measures the real renderer: frames per second (Wine's fps channel) and processor time per frame,
# once all particles are in play. Run it inside a session of the wanted screen size, e.g.
#   scripts/wine-session --screen 1920x1080x24 -- bench/measure_fps.sh dist/win64 out/fps-1080
#   measure_fps.sh <dist dir> <output dir> [warm-up seconds] [measured seconds]
# Pacing is off (LUMIVANE_UNPACED=1) unless MEASURE_PACED=1 (MEASURE_BATTERY=1: paced as if on
# battery, LUMIVANE_ON_BATTERY=1; MEASURE_SEED=N: the scene of seed N, LUMIVANE_SEED, so that runs
# fly the same camera path); the earlier drawing is measured by
# frame_bench.exe only. MEASURE_SCENE="/scene:..." hands the renderer other scene settings, as the
# shell does, and the frame-rate choice ("/fps:30"). Leaves fps.log, shot.png and result.txt in the
# output folder; result.txt also splits the processor time per frame by the renderer's threads.
set -u
dist="$1"; out="$2"; warmup="${3:-125}"; measured="${4:-30}"
wine64=/usr/lib/wine/wine64
clock_ticks=$(getconf CLK_TCK)
if [ "${MEASURE_PACED:-0}" = 1 ]; then unset LUMIVANE_UNPACED; pacing=paced; else export LUMIVANE_UNPACED=1; pacing=unpaced; fi
if [ -n "${MEASURE_SEED:-}" ]; then export LUMIVANE_SEED="$MEASURE_SEED"; fi
if [ "${MEASURE_BATTERY:-0}" = 1 ]; then export LUMIVANE_ON_BATTERY=1; pacing="$pacing on battery"; fi
drawing=batched

mkdir -p "$out"; rm -f "$out/fps.log"
WINEDEBUG=-all,+fps "$wine64" "$dist/Lumivane.dll" ${MEASURE_SCENE:-} 2>"$out/fps.log" &
renderer=$!

# utime + stime of the renderer process, all its threads (llvmpipe's included), in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$renderer/stat"; }
# Each thread's name and clock ticks, one line each (the name may hold blanks: it stands in parentheses).
thread_ticks() {
  for task in /proc/$renderer/task/*; do
    sed -E 's/^[0-9]+ \((.*)\) [A-Za-z] (.*)$/\1|\2/' "$task/stat" 2>/dev/null |
      awk -F'|' -v id="${task##*/}" '{ split($2, f, " "); print id, f[11] + f[12], $1 }'
  done
}

for _ in $(seq 1 120); do xdotool search --name '^Glimra_VC$' >/dev/null 2>&1 && break; sleep 0.25; done
sleep "$warmup"
lines_before=$(grep -c approx "$out/fps.log")
load=$(cut -d' ' -f1 /proc/loadavg)
thread_ticks >"$out/threads-before.txt"
ticks_before=$(cpu_ticks); start=$(date +%s.%N)
sleep "$measured"
ticks_after=$(cpu_ticks); end=$(date +%s.%N)
thread_ticks >"$out/threads-after.txt"
load_after=$(cut -d' ' -f1 /proc/loadavg)
import -window root "$out/shot.png"
xdotool key space
wait "$renderer"

# Mean of the reports made during the measured period (each covers about 1.5 s).
fps=$(grep -o 'approx [0-9.]*' "$out/fps.log" | tail -n +$((lines_before + 1)) | awk '{ s += $2; n++ } END { if (n) printf "%.1f", s / n; else print 0 }')
screen=$(xdpyinfo | awk '/dimensions:/ { print $2; exit }')
awk -v fps="$fps" -v t0="$start" -v t1="$end" -v c0="$ticks_before" -v c1="$ticks_after" -v hz="$clock_ticks" \
    -v screen="$screen" -v warm="$warmup" -v drawing="$drawing" -v pacing="$pacing" -v load="$load" \
    -v load_after="$load_after" -v scene="${MEASURE_SCENE:+ $MEASURE_SCENE}" 'BEGIN {
  seconds = t1 - t0; cpu = (c1 - c0) / hz; frames = fps * seconds
  printf "screen %s, %s drawing, %s%s, after %d s: %.1f fps; renderer process %.2f cores busy, %.2f ms processor time per frame, %.0f ms per second (load average %s before, %s after)\n",
         screen, drawing, pacing, scene, warm, fps, cpu / seconds, (frames > 0 ? cpu * 1000 / frames : 0), cpu * 1000 / seconds, load, load_after
}' | tee "$out/result.txt"
# Where the processor time went: milliseconds per frame of each kind of thread over the measured period.
awk -v fps="$fps" -v t0="$start" -v t1="$end" -v hz="$clock_ticks" '
  NR == FNR { before[$1] = $2; next }
  { name = $0; sub(/^[0-9]+ [0-9]+ /, "", name); gsub(/[0-9]+$/, "N", name)
    spent[name] += $2 - before[$1] }
  END { frames = fps * (t1 - t0); if (frames <= 0) exit
        line = "  per frame by thread:"
        for (n in spent) if (spent[n] > 0) line = line sprintf(" %s %.2f ms;", n, spent[n] * 1000 / hz / frames)
        print line }' "$out/threads-before.txt" "$out/threads-after.txt" | tee -a "$out/result.txt"
