#!/usr/bin/env bash
# Sets the machine up, builds a preset (default: "default") and runs every test in it.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh
scripts/build.sh "$preset"
ctest --preset "$preset"
