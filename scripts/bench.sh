#!/usr/bin/env bash
# Runs every benchmark program of a built preset (default: "default") and writes BENCHMARKS.md:
# each figure, its ratios to the peers measured in the same run, the goals and floors the
# programs print, and the machine. Extra arguments go to every program (for example
# --benchmark_filter=...). Build first: scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
shift || true
programs="$PWD/build/$preset/Benchmarks"
if [ ! -d "$programs" ]; then
  echo "bench.sh: no benchmark programs in $programs; build the preset first (scripts/build.sh $preset)" >&2
  exit 1
fi
run="$(mktemp -d)"
trap 'rm -rf "$run"' EXIT

status=0
for program in "$programs"/*Benchmark; do
  name="$(basename "$program")"
  echo "bench.sh: running $name" >&2
  # Run in the scratch folder: a program may write what it measured (a PNG) where it runs.
  if ! (cd "$run" && "$program" --benchmark_out="$run/$name.json" --benchmark_out_format=json "$@" > "$run/$name.txt" 2>&1); then
    echo "bench.sh: $name failed; its output is in the report" >&2
    status=1
  fi
  touch "$run/$name.json"
done
python3 scripts/bench_report.py "$run" BENCHMARKS.md
echo "bench.sh: wrote BENCHMARKS.md" >&2
exit "$status"
