// The three.js view of the character: one renderer, camera, orbit controls and lights, and a
// model slot that holds whatever glTF scene is shown. Frames are drawn on demand (the page
// mostly sits still, and software WebGL is slow); callers that need to know when a change
// reached the screen ask for the next frame with afterNextFrame.

import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';

export class Viewport {
  constructor(container) {
    this.container = container;
    this.renderer = new THREE.WebGLRenderer({ antialias: true });
    this.renderer.setPixelRatio(window.devicePixelRatio);
    this.renderer.outputColorSpace = THREE.SRGBColorSpace;
    container.appendChild(this.renderer.domElement);

    this.scene = new THREE.Scene();
    this.scene.background = new THREE.Color(0x3a3d42);
    this.camera = new THREE.PerspectiveCamera(35, 1, 0.01, 1000);
    this.controls = new OrbitControls(this.camera, this.renderer.domElement);
    this.controls.addEventListener('change', () => this.requestFrame());
    this.addLights();

    this.model = null;
    this.frameRequested = false;
    this.frameWaiters = [];
    new ResizeObserver(() => this.resize()).observe(container);
    this.resize();
  }

  addLights() {
    this.scene.add(new THREE.HemisphereLight(0xffffff, 0x444450, 1.6));
    const key = new THREE.DirectionalLight(0xffffff, 2.2);
    key.position.set(2, 4, 3);
    this.scene.add(key);
  }

  resize() {
    const width = Math.max(1, this.container.clientWidth);
    const height = Math.max(1, this.container.clientHeight);
    this.renderer.setSize(width, height, false);
    this.camera.aspect = width / height;
    this.camera.updateProjectionMatrix();
    this.requestFrame();
  }

  /** Shows root in place of the model shown so far, and frames it when asked to. */
  setModel(root, { frame }) {
    if (this.model) {
      this.scene.remove(this.model);
      disposeTree(this.model);
    }
    this.model = root;
    this.scene.add(root);
    if (frame) {
      this.frame(root);
    }
    this.requestFrame();
  }

  /** Points the camera at the middle of root from the front, far enough to see all of it. */
  frame(root) {
    const box = new THREE.Box3().setFromObject(root);
    if (box.isEmpty()) {
      return;
    }
    const size = box.getSize(new THREE.Vector3());
    const centre = box.getCenter(new THREE.Vector3());
    const radius = Math.max(size.x, size.y, size.z) * 0.5;
    const distance = radius / Math.sin(THREE.MathUtils.degToRad(this.camera.fov * 0.5));
    this.camera.near = distance / 100;
    this.camera.far = distance * 100;
    this.camera.position.set(centre.x, centre.y, centre.z + distance);
    this.camera.updateProjectionMatrix();
    this.controls.target.copy(centre);
    this.controls.update();
  }

  requestFrame() {
    if (this.frameRequested) {
      return;
    }
    this.frameRequested = true;
    requestAnimationFrame(() => this.drawFrame());
  }

  drawFrame() {
    this.frameRequested = false;
    this.renderer.render(this.scene, this.camera);
    const drawnAt = performance.now();
    const waiters = this.frameWaiters;
    this.frameWaiters = [];
    for (const resolve of waiters) {
      resolve(drawnAt);
    }
  }

  /** Resolves with the time the next frame was drawn, asking for one. */
  afterNextFrame() {
    const drawn = new Promise((resolve) => this.frameWaiters.push(resolve));
    this.requestFrame();
    return drawn;
  }
}

/** Frees the GPU resources of a model that is no longer shown. */
function disposeTree(root) {
  root.traverse((object) => {
    if (!object.isMesh) {
      return;
    }
    object.geometry.dispose();
    for (const material of [object.material].flat()) {
      for (const value of Object.values(material)) {
        if (value && value.isTexture) {
          value.dispose();
        }
      }
      material.dispose();
    }
  });
}
