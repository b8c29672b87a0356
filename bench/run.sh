#!/usr/bin/env bash
# Builds the benchmarks with the optimisation the program is built and packaged with
# (RelWithDebInfo) and runs them. They print figures in microseconds and ratios against a floor;
# nothing here passes or fails on a time.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
jobs=${JOBS:-$(nproc)}
benchmarks=(bench_change_of_day bench_ini_file bench_startup bench_editor_typing bench_search
  bench_calendar bench_archive bench_look_back bench_unlock bench_encryption bench_import)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOBIQUILL_BENCH=ON \
  -DTOBIQUILL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target "${benchmarks[@]}" bench_process_startup

# The diaries are made beside the build, on the disk a real diary lives on: a /tmp held in
# memory would make the fsyncs, and so the floor, almost free.
scratch="$build/scratch"
mkdir -p "$scratch"
export TMPDIR="$scratch"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  # A login session's runtime folder is held in memory (/run/user/UID); /dev/shm stands in for
  # it, so that the diary lock costs what it costs on a desktop. Kept from the last run, so a
  # second run starts as well as the first.
  export XDG_RUNTIME_DIR="$scratch/runtime"
  [ -w /dev/shm ] && XDG_RUNTIME_DIR="/dev/shm/tobiquill-bench-$(id -u)"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
fi
export QT_QPA_PLATFORM=offscreen LANG=ja_JP.UTF-8 LC_ALL='' LANGUAGE=ja TZ=Asia/Tokyo
export QT_LOGGING_RULES='qt.qpa.*=false'

report=$(mktemp)
trap 'rm -f "$report"' EXIT
# The real program as a process on a private X server, against the bare window built beside it.
# First, on a quiet disk: the benchmarks below write and delete diaries of 10,000 days, and the
# disk is still busy with that for a while after they end.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$scratch/display" \
  >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -f "$report"' EXIT
for _ in $(seq 100); do
  grep -q '^[0-9]' "$scratch/display" 2>/dev/null && break
  sleep 0.1
done
DISPLAY=":$(head -n 1 "$scratch/display")" "$build/bench/bench_process_startup" \
  "$build/src/tobiquill" "$build/bench/bench_floor_window" | tee -a "$report"

for b in "${benchmarks[@]}"; do
  "$build/bench/$b" | tee -a "$report"
done

echo
echo "== Ratios =="
grep '^  ratio ' "$report" | sed 's/^  ratio /  /'
