// Loading a character's glTF into something the viewport can show: the scene with culling in
// place, and the lookups the live state needs (meshes with morph targets, materials by name).

import * as THREE from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { applyCulling } from './culling.js';

const loader = new GLTFLoader();

export class Model {
  constructor(gltf, { editable }) {
    this.root = gltf.scene;
    this.editable = editable;
    this.morphMeshes = [];
    this.materialsByName = new Map();
    this.root.traverse((object) => this.index(object));
  }

  index(object) {
    if (!object.isMesh) {
      return;
    }
    if (object.morphTargetDictionary) {
      this.morphMeshes.push(object);
    }
    for (const material of [object.material].flat()) {
      // Both sides are drawn and lit, as in the engine's preview: a garment's inside shows
      // where its edge meets the culled body.
      material.side = THREE.DoubleSide;
      const named = this.materialsByName.get(material.name) ?? new Set();
      named.add(material);
      this.materialsByName.set(material.name, named);
    }
  }

  /** Every material of the model named after one of names (glTF material name = slot name). */
  materialsNamed(names) {
    return names.flatMap((name) => [...(this.materialsByName.get(name) ?? [])]);
  }
}

/** Loads the glTF at url; an editable model takes the live state's weights and albedos. */
export async function loadModel(url, { editable }) {
  let gltf;
  try {
    gltf = await loader.loadAsync(url);
  } catch (error) {
    throw new Error(`${url}: ${error.message}`);
  }
  await applyCulling(gltf);
  return new Model(gltf, { editable });
}
