#!/usr/bin/env bash
# Builds the libFuzzer programs (the fuzz preset) and runs each for SECONDS (default 60) from its
# committed seed corpus in Fuzz/Corpus. What a run adds to a corpus stays in build/fuzz/Corpus,
# so the committed seeds change only by hand. An input that crashes, hangs or leaks is saved as
# build/fuzz/Findings/<fuzzer>/<kind>-<hash>; the script then names it and exits 1.
#
#   scripts/fuzz.sh [SECONDS] [FUZZER...]    every fuzzer, or those named
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
scripts/setup.sh >/dev/null
scripts/build.sh fuzz

build=build/fuzz
fuzzers=("$@")
if [ ${#fuzzers[@]} -eq 0 ]; then
  for corpus in Fuzz/Corpus/*/; do
    fuzzers+=("$(basename "$corpus")")
  done
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/cmake/lsan.supp"

failed=()
for fuzzer in "${fuzzers[@]}"; do
  corpus="$build/Corpus/$fuzzer"
  findings="$build/Findings/$fuzzer"
  mkdir -p "$corpus" "$findings"
  echo "fuzz: $fuzzer for ${seconds} s"
  # Each run's log goes to a file: a finding's report runs to hundreds of lines.
  if ! "$build/bin/$fuzzer" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "Fuzz/Corpus/$fuzzer" >"$build/Findings/$fuzzer.log" 2>&1; then
    failed+=("$fuzzer")
    echo "fuzz: $fuzzer failed; its log is $build/Findings/$fuzzer.log, the input:" >&2
    ls "$findings" >&2
    tail -n 40 "$build/Findings/$fuzzer.log" >&2
  else
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" "$build/Findings/$fuzzer.log" | tr '\n' ' ' | sed 's/^/fuzz:   /'
    echo
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: ${#failed[@]} fuzzer(s) found problems: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: ${#fuzzers[@]} fuzzers ran ${seconds} s each without finding a problem"
