// A polygon slider: the outline and spokes the slider paints, with the selection as a point
// that can be dragged. The lines come in window pixels and are brought into the slider's own
// layout box through its window geometry; the selection (normalised) lies at
// half-size × p + half-size in that box, where the slider draws it.
//
// The slider paints the outline (corners, then the first again), a spoke from every corner to
// the selection and one from every corner to the centre. The spokes to the selection follow
// the point while it is dragged; when the lines are not of that form they are drawn as given.

import { makeMarker, makePad, placeMarker, toBox, trackPointer } from './pad.js';

const SVG = 'http://www.w3.org/2000/svg';

function svgElement(name, attributes) {
  const element = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) {
    element.setAttribute(key, String(value));
  }
  return element;
}

function toLocal(geometry) {
  const [left, top] = geometry.position;
  const [width, height] = geometry.size;
  const [localWidth, localHeight] = geometry.localSize;
  return ([x, y]) => [((x - left) / width) * localWidth, ((y - top) / height) * localHeight];
}

// Strokes keep the slider's pixel thickness however the box is scaled.
function strokeOf(line) {
  const [r, g, b, a] = line.colour.map((channel) => Math.round(Math.min(1, Math.max(0, channel)) * 255));
  return { stroke: `rgba(${r}, ${g}, ${b}, ${a / 255})`, 'stroke-width': line.thickness, fill: 'none', 'vector-effect': 'non-scaling-stroke' };
}

function polyline(points, line, className) {
  return svgElement('polyline', { points: points.map((p) => p.join(',')).join(' '), class: className, ...strokeOf(line) });
}

/** The spokes to the selection, when the lines are of the slider's form; none otherwise. */
function selectionSpokes(lines) {
  const corners = lines[0]?.points.length - 1;
  if (!(corners >= 3) || lines.length !== 1 + 2 * corners) {
    return [];
  }
  return lines.slice(1, 1 + corners);
}

export function makePolygonSlider(widget, channel) {
  const pad = makePad(widget);
  const { localSize } = widget.geometry;
  const local = toLocal(widget.geometry);
  const svg = svgElement('svg', { viewBox: `0 0 ${localSize[0]} ${localSize[1]}`, preserveAspectRatio: 'none' });
  pad.append(svg);
  const marker = makeMarker(pad);

  const lines = widget.lines ?? [];
  const followers = selectionSpokes(lines);
  lines.filter((line) => !followers.includes(line))
    .forEach((line) => svg.append(polyline(line.points.map(local), line, 'line')));
  const spokes = followers.map((line) => {
    const element = polyline(line.points.map(local), line, 'spoke');
    svg.append(element);
    return { element, corner: local(line.points[0]) };
  });

  const place = (selection) => {
    placeMarker(pad, marker, selection);
    if (!selection) {
      return;
    }
    const [x, y] = toBox(selection, localSize);
    for (const spoke of spokes) {
      spoke.element.setAttribute('points', `${spoke.corner.join(',')} ${x},${y}`);
    }
  };
  place(widget.position ? { x: widget.position[0], y: widget.position[1] } : null);
  trackPointer(pad, (selection, event) => {
    place(selection);
    channel.move(selection, event.timeStamp);
  });
  return pad;
}
