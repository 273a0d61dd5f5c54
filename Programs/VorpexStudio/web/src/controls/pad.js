// What the colour picker and the polygon slider share: a box of the slider's layout size in
// which a pointer press or drag picks a point in normalised slider space (each axis -1 to 1,
// (0, 0) in the middle, y down).

export function makePad(widget) {
  const [width, height] = widget.geometry.localSize;
  const pad = document.createElement('div');
  pad.className = 'pad';
  // The layout size, shrunk with its aspect kept where the panel is narrower.
  pad.style.width = `${width}px`;
  pad.style.aspectRatio = `${width} / ${height}`;
  pad.dataset.kind = widget.kind;
  pad.dataset.path = widget.path;
  return pad;
}

function clampUnit(value) {
  return Math.min(1, Math.max(-1, value));
}

function normalisedPoint(pad, event) {
  const box = pad.getBoundingClientRect();
  return {
    x: clampUnit(((event.clientX - box.left) / box.width) * 2 - 1),
    y: clampUnit(((event.clientY - box.top) / box.height) * 2 - 1),
  };
}

/** Calls onPick(point, event) on a press and on every move until the pointer is let go. */
export function trackPointer(pad, onPick) {
  pad.addEventListener('pointerdown', (event) => {
    pad.setPointerCapture(event.pointerId);
    onPick(normalisedPoint(pad, event), event);
  });
  pad.addEventListener('pointermove', (event) => {
    if (pad.hasPointerCapture(event.pointerId)) {
      onPick(normalisedPoint(pad, event), event);
    }
  });
}

/** Where a normalised point lies in a box of the given size, from its top left. */
export function toBox(point, [width, height]) {
  return [((point.x + 1) / 2) * width, ((point.y + 1) / 2) * height];
}

export function makeMarker(pad) {
  const marker = document.createElement('div');
  marker.className = 'marker';
  pad.append(marker);
  return marker;
}

/** Shows marker at a normalised point (none for null), which the pad's data-x/-y also give. */
export function placeMarker(pad, marker, point) {
  marker.hidden = point === null;
  if (!point) {
    return;
  }
  const [left, top] = toBox(point, [100, 100]);
  marker.style.left = `${left}%`;
  marker.style.top = `${top}%`;
  pad.dataset.x = String(point.x);
  pad.dataset.y = String(point.y);
}
