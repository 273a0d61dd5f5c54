#!/usr/bin/env bash
# Rebuilds the bundled sample project Samples/Human from the CC0 human base mesh data.
# Usage: scripts/build-sample.sh [SOURCE_DIR]   (default: ../shared/assets/makehuman)
# The output depends only on the source data, so an unchanged source rebuilds the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="${1:-../shared/assets/makehuman}"
if [ ! -f "$source_dir/base.obj" ]; then
  echo "build-sample: no base.obj in $source_dir" >&2
  exit 1
fi
cmake --preset default >/dev/null
cmake --build --preset default --target SampleBuilder
# Everything but the hand-written README is generated: start from nothing so removed files go.
rm -rf Samples/Human/Content Samples/Human/project.json
build/default/Tools/SampleBuilder/SampleBuilder "$source_dir" Samples/Human
echo "build-sample: wrote Samples/Human"
