// Read-only views of what the page shows, for the browser tests: they check the screen's
// state through these rather than through pixels of the canvas.

import { shownMorphWeights } from './morphs.js';

function materialsOf(model) {
  const materials = new Set();
  model?.root.traverse((object) => {
    if (object.isMesh) {
      [object.material].flat().forEach((material) => materials.add(material));
    }
  });
  return [...materials];
}

export function exposeTestHooks(studio) {
  window.studio = {
    /** The morph weights the shown meshes have, by target name. */
    morphWeights: () => (studio.model ? shownMorphWeights(studio.model) : {}),
    /** RGBA texels of the shown albedo index at [u, v] points. */
    albedoTexels: (index, points) => studio.albedos.texels(index, points),
    /** Each shown material: its name, whether its map is an edited albedo, how it culls. */
    materials: () => materialsOf(studio.model).map((material) => ({
      name: material.name,
      editedAlbedo: Boolean(material.map?.isDataTexture),
      cullsByMask: material.defines?.CULL_BY_MASK !== undefined,
      cullsByVertexRed: material.defines?.CULL_BY_VERTEX_RED !== undefined,
    })),
  };
}
