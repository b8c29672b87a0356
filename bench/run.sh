#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them. They print figures in microseconds and ratios
# against a floor; nothing here passes or fails on a time.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
jobs=${JOBS:-$(nproc)}
benchmarks=(bench_change_of_day bench_ini_file bench_startup bench_editor_typing bench_search
  bench_calendar bench_archive)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTOBIQUILL_BENCH=ON \
  -DTOBIQUILL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target "${benchmarks[@]}"

# The diaries are made beside the build, on the disk a real diary lives on: a /tmp held in
# memory would make the fsyncs, and so the floor, almost free.
scratch="$build/scratch"
mkdir -p "$scratch"
export TMPDIR="$scratch"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$scratch/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi
export QT_QPA_PLATFORM=offscreen LANG=ja_JP.UTF-8 LC_ALL= LANGUAGE=ja TZ=Asia/Tokyo
export QT_LOGGING_RULES='qt.qpa.*=false'

report=$(mktemp)
trap 'rm -f "$report"' EXIT
for b in "${benchmarks[@]}"; do
  "$build/bench/$b" | tee -a "$report"
done

echo
echo "== Ratios =="
grep '^  ratio ' "$report" | sed 's/^  ratio /  /'
