#!/usr/bin/env bash
# Sets the machine up, builds everything and runs the main job on the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
cat <<'TEXT'

Built: the runtime's Core and Json modules with their test programs.
There is no character program yet; run the tests with scripts/test.sh,
or a module's own suite directly, for example:
  build/default/Engine/Source/Runtime/Core/CoreTests
  build/default/Engine/Source/Runtime/Json/JsonTests
TEXT
