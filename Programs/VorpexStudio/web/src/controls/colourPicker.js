// A colour picker: the palette image with a marker where the colour was picked. The server
// samples the palette at the normalised point, corners at (-1, -1) and (1, 1), so the image
// fills the box and the marker sits at the picked point.

import { makeMarker, makePad, placeMarker, trackPointer } from './pad.js';

/**
 * The marker's start position as a normalised point. The slider places it in its layout
 * units, x from its middle and y from its top (half the picker's height is added to y), so
 * both are turned back into the slider's normalised space here.
 */
function markerPoint(marker, [width, height]) {
  return { x: marker[0] / (width / 2), y: marker[1] / (height / 2) - 1 };
}

function startPoint(widget) {
  if (widget.position) {
    return { x: widget.position[0], y: widget.position[1] };
  }
  return widget.marker ? markerPoint(widget.marker, widget.geometry.localSize) : null;
}

export function makeColourPicker(widget, channel) {
  const pad = makePad(widget);
  if (widget.pickerImage) {
    const image = document.createElement('img');
    image.alt = '';
    image.src = `/api/texture?path=${encodeURIComponent(widget.pickerImage)}`;
    pad.append(image);
  }
  const marker = makeMarker(pad);
  const place = (point) => placeMarker(pad, marker, point);
  place(startPoint(widget));
  trackPointer(pad, (point, event) => {
    place(point);
    channel.move(point, event.timeStamp);
  });
  return pad;
}
