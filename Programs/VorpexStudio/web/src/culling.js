// Culling of the body under garments, as the engine's preview draws it: a fragment is
// discarded where the material's cull mask (its CM_Texture, listed in the glTF material's
// extras.textureParameters) has red below one half, or where the primitive's vertex colour
// has red below one half. The vertex colour carries culling, not colour, so it does not tint
// the surface.

import * as THREE from 'three';

const CULL_MASK_PARAMETER = 'CM_Texture';

const vertexDeclarations = `
varying vec2 vCullUv;
#ifdef CULL_BY_VERTEX_RED
attribute vec4 color;
varying float vCullRed;
#endif
`;

const vertexBody = `
#include <begin_vertex>
vCullUv = uv;
#ifdef CULL_BY_VERTEX_RED
vCullRed = color.r;
#endif
`;

const fragmentDeclarations = `
varying vec2 vCullUv;
#ifdef CULL_BY_MASK
uniform sampler2D cullMask;
#endif
#ifdef CULL_BY_VERTEX_RED
varying float vCullRed;
#endif
`;

const fragmentBody = `
#ifdef CULL_BY_MASK
if (texture2D(cullMask, vCullUv).r < 0.5) discard;
#endif
#ifdef CULL_BY_VERTEX_RED
if (vCullRed < 0.5) discard;
#endif
#include <clipping_planes_fragment>
`;

/**
 * The material's cull mask as a texture of its own that holds the stored levels: a texture
 * the glTF also uses as a colour map is decoded from sRGB, which would move the threshold.
 */
async function loadCullMask(parser, material) {
  const index = material.userData?.textureParameters?.[CULL_MASK_PARAMETER];
  if (!Number.isInteger(index)) {
    return null;
  }
  const mask = (await parser.getDependency('texture', index)).clone();
  mask.colorSpace = THREE.NoColorSpace;
  mask.needsUpdate = true;
  return mask;
}

function installCulling(material, mask, byVertexRed) {
  material.defines = { ...material.defines };
  if (mask) {
    material.defines.CULL_BY_MASK = '';
  }
  if (byVertexRed) {
    material.defines.CULL_BY_VERTEX_RED = '';
    material.vertexColors = false;
  }
  material.onBeforeCompile = (shader) => {
    if (mask) {
      shader.uniforms.cullMask = { value: mask };
    }
    shader.vertexShader = vertexDeclarations + shader.vertexShader.replace('#include <begin_vertex>', vertexBody);
    shader.fragmentShader = fragmentDeclarations + shader.fragmentShader.replace('#include <clipping_planes_fragment>', fragmentBody);
  };
  material.customProgramCacheKey = () => `cull:${mask ? 'mask' : ''}:${byVertexRed ? 'red' : ''}`;
  material.needsUpdate = true;
}

/**
 * Makes every material of the loaded glTF cull as the engine does. GLTFLoader gives a
 * primitive with COLOR_0 a material of its own with vertexColors set, so that flag tells
 * which materials see vertex colours.
 */
export async function applyCulling(gltf) {
  const materials = new Set();
  gltf.scene.traverse((object) => {
    if (object.isMesh) {
      for (const material of [object.material].flat()) {
        materials.add(material);
      }
    }
  });
  await Promise.all([...materials].map(async (material) => {
    const mask = await loadCullMask(gltf.parser, material);
    if (mask || material.vertexColors) {
      installCulling(material, mask, material.vertexColors);
    }
  }));
}
