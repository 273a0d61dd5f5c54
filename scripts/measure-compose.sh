#!/usr/bin/env bash
# Measures whole-process `vorpex compose` on the bundled sample: each character alone and --all,
# first with an empty shader cache (cold), then with the cache that run filled (warm), and
# prints the wall time of each run with the per-stage milliseconds of the characters' reports.
# Uses the built program (scripts/run.sh or scripts/build.sh first).
set -euo pipefail
cd "$(dirname "$0")/.."
vorpex="$PWD/build/default/bin/vorpex"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

run() {  # run LABEL ARGS...: one timed compose into a fresh folder
  local label="$1"; shift
  local out="$work/out-$RANDOM"
  local start end
  start=$(date +%s.%N)
  "$vorpex" compose "$@" --out "$out" > /dev/null 2>&1
  end=$(date +%s.%N)
  printf '%-28s %7.2f s' "$label" "$(awk "BEGIN { print $end - $start }")"
  python3 - "$out" <<'PY'
import json, pathlib, sys
reports = sorted(pathlib.Path(sys.argv[1]).glob("*/report.json"))
stages = {}
for report in reports:
    for stage, ms in json.loads(report.read_text())["timingsMs"].items():
        stages.setdefault(stage, []).append(ms)
print("   " + "  ".join(f"{stage} {sum(v) / len(v):.0f}" for stage, v in stages.items()) + "   (ms per character)")
PY
}

characters=$("$vorpex" inspect descriptor Samples/Human/Content/Data/DA_CharacterDescriptor.json |
  python3 -c 'import json, sys; d = json.load(sys.stdin); print(" ".join(f"{g}:{c}" for g, group in enumerate(d["groups"]) for c in range(len(group["characters"]))))')
# Cold runs start from an empty cache; warm runs find it filled by the run before.
export VORPEX_SHADER_CACHE="$work/shader-cache"
for cache in cold warm; do
  for character in $characters; do
    [ "$cache" = cold ] && rm -rf "$VORPEX_SHADER_CACHE"
    run "$cache ${character}" --group "${character%%:*}" --character "${character##*:}"
  done
  [ "$cache" = cold ] && rm -rf "$VORPEX_SHADER_CACHE"
  run "$cache --all" --all
done
