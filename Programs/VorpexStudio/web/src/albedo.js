// The edited albedos: when the live state says an albedo has a newer version than the one
// shown, its read-back is fetched (raw RGBA8, sRGB, rows top first) and becomes the base
// colour map of the materials the state lists for it. One fetch per albedo at a time: a
// version that arrives meanwhile is fetched when the current one is done.

import * as THREE from 'three';
import { request } from './api.js';
import { beginAlbedoFetch, endAlbedoFetch, showError } from './status.js';

function headerInteger(response, name) {
  const value = Number(response.headers.get(name));
  if (!Number.isInteger(value) || value < 0) {
    throw new Error(`/api/albedo: header ${name} is "${response.headers.get(name)}", not a size or version`);
  }
  return value;
}

async function fetchAlbedo(index) {
  const response = await request(`/api/albedo/${index}`);
  const width = headerInteger(response, 'X-Width');
  const height = headerInteger(response, 'X-Height');
  const version = headerInteger(response, 'X-Version');
  const pixels = new Uint8Array(await response.arrayBuffer());
  if (width === 0 || height === 0 || pixels.length !== width * height * 4) {
    throw new Error(`/api/albedo/${index}: ${pixels.length} bytes for ${width}×${height} RGBA`);
  }
  return { width, height, version, pixels };
}

function makeTexture({ width, height, pixels }) {
  const texture = new THREE.DataTexture(pixels, width, height, THREE.RGBAFormat, THREE.UnsignedByteType);
  texture.colorSpace = THREE.SRGBColorSpace;
  texture.flipY = false;
  texture.generateMipmaps = true;
  texture.minFilter = THREE.LinearMipmapLinearFilter;
  texture.magFilter = THREE.LinearFilter;
  texture.needsUpdate = true;
  return texture;
}

function setMap(material, texture) {
  if (material.map === texture) {
    return;
  }
  // A material that had no map compiles to another program once it has one.
  material.needsUpdate = material.map === null;
  material.map = texture;
}

export class Albedos {
  /** onShown() runs once a fetched albedo is on the model's materials. */
  constructor({ onShown }) {
    this.onShown = onShown;
    this.model = null;
    this.entries = new Map();
  }

  entry(index) {
    if (!this.entries.has(index)) {
      // version: the one shown (0: none; the state gives 0 to an albedo not read back yet);
      // attempted: the state's version when the last fetch began, so that a failed fetch is
      // tried again only for a newer version, not in a loop.
      this.entries.set(index, { version: 0, attempted: 0, wanted: null, fetching: false, texture: null, materials: [] });
    }
    return this.entries.get(index);
  }

  /** Shows the albedos on model from now on (null while no editable model is shown). */
  setModel(model) {
    this.model = model;
    for (const entry of this.entries.values()) {
      this.showOnModel(entry);
    }
  }

  /** Forgets the albedos of an ended editing session. */
  reset() {
    for (const entry of this.entries.values()) {
      entry.texture?.dispose();
    }
    this.entries.clear();
  }

  /** Fetches every albedo of the state that is newer than the one shown. */
  update(albedos) {
    for (const albedo of albedos) {
      const entry = this.entry(albedo.index);
      entry.wanted = albedo;
      if (!entry.fetching && this.isNewer(entry)) {
        this.fetch(albedo.index, entry);
      }
    }
  }

  isNewer(entry) {
    return entry.wanted.version > Math.max(entry.version, entry.attempted);
  }

  async fetch(index, entry) {
    entry.fetching = true;
    entry.attempted = entry.wanted.version;
    beginAlbedoFetch();
    const image = await fetchAlbedo(index).catch((error) => {
      showError(error);
      return null;
    });
    entry.fetching = false;
    endAlbedoFetch();
    // An entry of an ended session is no longer shown.
    if (this.entries.get(index) !== entry) {
      return;
    }
    if (image) {
      this.upload(entry, image);
      entry.materials = entry.wanted.materials;
      entry.version = image.version;
      this.showOnModel(entry);
      this.onShown();
    }
    if (this.isNewer(entry)) {
      this.fetch(index, entry);
    }
  }

  upload(entry, image) {
    const { texture } = entry;
    if (texture && texture.image.width === image.width && texture.image.height === image.height) {
      texture.image.data = image.pixels;
      texture.needsUpdate = true;
      return;
    }
    texture?.dispose();
    entry.texture = makeTexture(image);
  }

  showOnModel(entry) {
    if (!this.model?.editable || !entry.texture) {
      return;
    }
    for (const material of this.model.materialsNamed(entry.materials)) {
      setMap(material, entry.texture);
    }
  }

  /** Whether albedos (a state's list) are all shown at their versions, none being fetched. */
  showsAll(albedos) {
    return albedos.every(({ index, version }) => {
      const entry = this.entries.get(index);
      return version === 0 || (entry && !entry.fetching && entry.version >= version);
    });
  }

  /** The shown version of each albedo, by index. */
  versions() {
    return Object.fromEntries([...this.entries].map(([index, entry]) => [index, entry.version]));
  }

  /**
   * The RGBA at each [u, v] (0 to 1, v down) of the map that the model's materials of albedo
   * index show, or null when they do not all show one same edited albedo.
   */
  texels(index, points) {
    const entry = this.entries.get(index);
    const maps = new Set(this.model?.materialsNamed(entry?.materials ?? []).map((material) => material.map));
    const [map] = maps;
    if (maps.size !== 1 || !map?.isDataTexture) {
      return null;
    }
    const { width, height, data } = map.image;
    return points.map(([u, v]) => {
      const x = Math.min(width - 1, Math.floor(u * width));
      const y = Math.min(height - 1, Math.floor(v * height));
      const at = (y * width + x) * 4;
      return [...data.subarray(at, at + 4)];
    });
  }
}
