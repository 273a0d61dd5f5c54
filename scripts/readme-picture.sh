#!/usr/bin/env bash
# Regenerates the preview picture the README shows (docs/images/preview.png): the sample's first
# character composed by the built `vorpex` program (run scripts/run.sh or scripts/build.sh first).
set -euo pipefail
cd "$(dirname "$0")/.."
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build/default/bin/vorpex compose --group 0 --character 0 --out "$work" > /dev/null
mkdir -p docs/images
cp "$work"/*/preview.png docs/images/preview.png
echo "wrote docs/images/preview.png"
