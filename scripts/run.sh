#!/usr/bin/env bash
# The main job: sets the machine up, builds the `vorpex` program with the plug-in (not the tests
# and benchmarks) and composes every character of the bundled sample into out/: per character a
# glTF binary, the composed albedos, a preview picture and a report.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vorpex
out="$PWD/out"
status=0
build/default/bin/vorpex compose --all --out "$out" > /dev/null || status=$?
echo
echo "Composed characters in $out/ (the whole log is $out/compose.log):"
for folder in "$out"/*/; do
  [ -f "$folder/report.json" ] || continue
  echo "  ${folder%/}/"
  for file in "$folder"*.glb "$folder"preview.png "$folder"Albedo_*.png; do
    [ -f "$file" ] && echo "    $(basename "$file")"
  done
done
exit $status
