#!/usr/bin/env bash
# Sets the machine up, builds everything and runs the main job on the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
cat <<'TEXT'

Built: the runtime modules, the Vorpex plug-in and the `vorpex` program.
There is no character assembly yet; what runs today:
  build/default/Programs/VorpexCli/vorpex --help
  build/default/Programs/VorpexCli/vorpex inspect catalog FILE [--check]
and the tests: scripts/test.sh
TEXT
