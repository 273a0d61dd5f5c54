// Morph weights of the live state on the shown meshes: every mesh that has a target of a
// weight's name takes it. A target the state does not name is not active, so it drops to 0,
// as the exported glTF writes weights.

export function applyMorphWeights(model, weights) {
  for (const mesh of model.morphMeshes) {
    const influences = mesh.morphTargetInfluences;
    influences.fill(0);
    for (const [name, index] of Object.entries(mesh.morphTargetDictionary)) {
      const weight = weights[name];
      if (Number.isFinite(weight)) {
        influences[index] = weight;
      }
    }
  }
}

/** The weights the meshes show, by target name; meshes that disagree on one give NaN. */
export function shownMorphWeights(model) {
  const shown = {};
  for (const mesh of model.morphMeshes) {
    for (const [name, index] of Object.entries(mesh.morphTargetDictionary)) {
      const influence = mesh.morphTargetInfluences[index];
      shown[name] = name in shown && shown[name] !== influence ? NaN : influence;
    }
  }
  return shown;
}
