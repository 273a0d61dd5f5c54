#!/usr/bin/env bash
# Sets the machine up, builds everything and runs the main job on the bundled sample: every
# data file of Samples/Human is loaded and checked, and its skin composition is rendered once
# on the GPU (lavapipe where there is none) into out/sample/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
vorpex=build/default/bin/vorpex
content=Samples/Human/Content
mkdir -p out/sample
for kind_file in catalog:Data/DA_AssetCatalog descriptor:Data/DA_CharacterDescriptor \
                 config:Editor/DA_CharacterEditorConfig skin:Editor/DA_SkinComposition; do
  kind="${kind_file%%:*}"
  file="$content/${kind_file#*:}.json"
  extra=()
  if [ "$kind" = descriptor ]; then extra=(--catalog "$content/Data/DA_AssetCatalog.json"); fi
  "$vorpex" inspect "$kind" "$file" --check "${extra[@]}" > "out/sample/$kind.json"
  echo "checked $file"
done
"$vorpex" graph "$content/Editor/DA_SkinComposition.json" --config "$content/Editor/DA_CharacterEditorConfig.json" \
  --run out/sample > out/sample/graph.json
echo "rendered the skin composition's stacks into out/sample/:"
ls out/sample/*.png
