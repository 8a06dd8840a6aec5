#!/usr/bin/env bash
# Idle CPU and resident memory of the running program over 60 seconds (goals: CPU under 0.5 %,
# memory under 80 MB). Uses the Release build; starts a virtual display when there is none.
#
#   bench/idle_usage.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
program=build/release/src/sornel
[[ -x $program ]] || { echo "build first: ./test.sh or ./run.sh" >&2; exit 1; }

if [[ -z "${DISPLAY:-}" && "${SORNEL_IN_XVFB:-}" != 1 ]]; then
    SORNEL_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 1280x800x24' "$0" "$@"
fi

"$program" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
sleep 5 # let it settle after start-up

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$pid/status"; }
hz=$(getconf CLK_TCK)
start=$(ticks)
peak=0
for ((i = 0; i < seconds; ++i)); do
    sleep 1
    now=$(rss_kb)
    ((now > peak)) && peak=$now
done
used=$(($(ticks) - start))
awk -v t="$used" -v hz="$hz" -v s="$seconds" -v rss="$peak" 'BEGIN {
    printf "idle over %d s: CPU %.2f %% (goal < 0.5 %%), peak resident memory %.1f MB (goal < 80 MB)\n",
           s, 100 * t / hz / s, rss / 1024 }'
