// The editor panel, built from the server's laid-out widget tree: expandable areas become
// collapsible sections (header, body), text blocks labels, the sliders their controls, and
// every other widget a plain box around its children. A box that holds a slider is a row.

import { makeColourPicker } from './controls/colourPicker.js';
import { makePolygonSlider } from './controls/polygon.js';
import { makeSlider1D } from './controls/slider1d.js';

const CONTROL_MAKERS = {
  oneShape: makeSlider1D,
  twoShapes: makeSlider1D,
  bone: makeSlider1D,
  colourPicker: makeColourPicker,
  polygon: makePolygonSlider,
};

function textOf(widget) {
  return widget.text ?? widget.children.map(textOf).filter(Boolean).join(' ');
}

function makeSection(widget, makeChannel) {
  const [header, body] = widget.children;
  const section = document.createElement('details');
  section.open = widget.expanded;
  section.dataset.name = widget.name;
  const summary = document.createElement('summary');
  summary.textContent = header ? textOf(header) : widget.name;
  section.append(summary);
  if (body) {
    section.append(makeWidget(body, makeChannel));
  }
  return section;
}

function makeControl(widget, makeChannel) {
  const maker = CONTROL_MAKERS[widget.kind];
  if (!maker) {
    throw new Error(`the editor has a slider of unknown kind "${widget.kind}" (${widget.path})`);
  }
  return maker(widget, makeChannel(widget));
}

function makeLabel(widget) {
  const label = document.createElement('span');
  label.className = 'label';
  label.textContent = widget.text;
  return label;
}

function makeBox(widget, makeChannel) {
  const box = document.createElement('div');
  box.append(...widget.children.map((child) => makeWidget(child, makeChannel)));
  if (widget.children.some((child) => child.kind)) {
    box.className = 'row';
  }
  return box;
}

function makeWidget(widget, makeChannel) {
  if (widget.kind) {
    return makeControl(widget, makeChannel);
  }
  if ('expanded' in widget) {
    return makeSection(widget, makeChannel);
  }
  if ('text' in widget) {
    return makeLabel(widget);
  }
  return makeBox(widget, makeChannel);
}

/** The panel's content for tree; makeChannel(widget) gives the channel of a slider. */
export function buildPanel(tree, makeChannel) {
  return makeWidget(tree, makeChannel);
}
