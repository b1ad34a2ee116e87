#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/) and runs every bench_* program in
# build-bench/bench/, printing one Markdown table of the results. Extra arguments go to
# every program (e.g. --benchmark_filter=Walk).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="${BENCH_BUILD_DIR:-$here/build-bench}"

cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVALVIX_WERROR=ON \
  -DVALVIX_BENCHMARKS=ON >/dev/null
cmake --build "$dir" --target bench/all

programs=()
for program in "$dir"/bench/bench_*; do
  if [ -f "$program" ] && [ -x "$program" ]; then
    programs+=("$program")
  fi
done
if [ "${#programs[@]}" -eq 0 ]; then
  echo "No benchmark programs in $dir/bench" >&2
  exit 1
fi

model="$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)"
echo
echo "Machine: ${model:-unknown CPU}, $(nproc) cores"
echo
echo "| program | benchmark | time | CPU | iterations | items/s |"
echo "|---|---|---:|---:|---:|---:|"
results="$(mktemp)"
errors="$(mktemp)"
trap 'rm -f "$results" "$errors"' EXIT
for program in "${programs[@]}"; do
  if ! QT_QPA_PLATFORM=offscreen "$program" --benchmark_format=csv "$@" >"$results" 2>"$errors"; then
    echo "$(basename "$program") failed:" >&2
    cat "$errors" >&2
    exit 1
  fi
  # CSV columns: name, iterations, real_time, cpu_time, time_unit, bytes_per_second,
  # items_per_second, label, error_occurred, error_message, then one column per user
  # counter. A label and the counters (name=value) follow the name.
  awk -F, -v program="$(basename "$program")" '
    NR == 1 { for (i = 11; i <= NF; i++) { counter[i] = $i; gsub(/"/, "", counter[i]) } next }
    function rate(x) {
      if (x == "") return ""
      if (x >= 1e9) return sprintf("%.2f G", x / 1e9)
      if (x >= 1e6) return sprintf("%.2f M", x / 1e6)
      if (x >= 1e3) return sprintf("%.2f k", x / 1e3)
      return sprintf("%.0f", x)
    }
    {
      name = $1; gsub(/"/, "", name)
      label = $8; gsub(/"/, "", label)
      for (i = 11; i <= NF; i++) {
        if ($i != "") label = label (label == "" ? "" : ", ") counter[i] "=" sprintf("%.3g", $i)
      }
      if (label != "") name = name " (" label ")"
      printf "| %s | %s | %.3g %s | %.3g %s | %s | %s |\n",
        program, name, $3, $5, $4, $5, $2, rate($7)
    }' "$results"
done
