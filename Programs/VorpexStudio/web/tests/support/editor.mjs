// Reading the editor's widget tree the way the tests need it: its sections and sliders, and
// the geometry of a polygon slider's lines.

export function visit(widget, action) {
  action(widget);
  widget.children.forEach((child) => visit(child, action));
}

export function sliders(tree) {
  const found = [];
  visit(tree, (widget) => {
    if (widget.kind) {
      found.push(widget);
    }
  });
  return found;
}

function textOf(widget) {
  return widget.text ?? widget.children.map(textOf).filter(Boolean).join(' ');
}

export function sectionTitles(tree) {
  const titles = [];
  visit(tree, (widget) => {
    if ('expanded' in widget) {
      titles.push(textOf(widget.children[0]));
    }
  });
  return titles;
}

/**
 * A polygon slider's outline corners and centre in window pixels, from the lines it paints:
 * the outline, then a spoke from each corner to the selection, then one to the centre.
 */
export function polygonFrame(slider) {
  const corners = slider.lines[0].points.slice(0, -1);
  const centre = slider.lines[1 + corners.length].points[1];
  const selection = slider.lines[1].points[1];
  return { corners, centre, selection };
}

/** Window pixels of a point given in the slider's normalised space. */
export function normalisedToWindow(slider, [x, y]) {
  const { position, size } = slider.geometry;
  return [position[0] + ((x + 1) / 2) * size[0], position[1] + ((y + 1) / 2) * size[1]];
}

/** The barycentric weights of p in triangle (a, b, c): [u, v, w] for a, b, c. */
export function barycentric(p, a, b, c) {
  const e0 = [b[0] - a[0], b[1] - a[1]];
  const e1 = [c[0] - a[0], c[1] - a[1]];
  const e2 = [p[0] - a[0], p[1] - a[1]];
  const dot = (s, t) => s[0] * t[0] + s[1] * t[1];
  const d00 = dot(e0, e0);
  const d01 = dot(e1, e0);
  const d11 = dot(e1, e1);
  const d20 = dot(e2, e0);
  const d21 = dot(e2, e1);
  const inverse = 1 / (d11 * d00 - d01 * d01);
  const v = (d20 * d11 - d21 * d01) * inverse;
  const w = (d21 * d00 - d20 * d01) * inverse;
  return [1 - v - w, v, w];
}

/** The weights a polygon slider gives its shapes at window point p (inside triangle i). */
export function polygonWeights(slider, p) {
  const { corners, centre } = polygonFrame(slider);
  const weights = Object.fromEntries(slider.bound.shapes.map((shape) => [shape, 0]));
  for (let corner = 0; corner < corners.length; corner += 1) {
    const next = (corner + 1) % corners.length;
    const [u, v, w] = barycentric(p, centre, corners[corner], corners[next]);
    if (Math.min(u, v, w) > 0) {
      weights[slider.bound.shapes[corner]] = v;
      weights[slider.bound.shapes[next]] = w;
      return weights;
    }
  }
  return null;
}

/** The weights a 1-D shape slider gives its shapes at value v. */
export function sliderWeights(slider, v) {
  const [first, second] = slider.bound.shapes;
  if (slider.kind === 'oneShape') {
    return { [first]: v };
  }
  return { [first]: Math.max(-v, 0), [second]: Math.max(v, 0) };
}
