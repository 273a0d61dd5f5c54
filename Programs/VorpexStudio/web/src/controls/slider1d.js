// A 1-D slider (one shape, two shapes or a bone): a range input over the slider's range.

export function makeSlider1D(widget, channel) {
  const input = document.createElement('input');
  input.type = 'range';
  input.step = 'any';
  input.dataset.kind = widget.kind;
  input.dataset.path = widget.path;
  if (!widget.range) {
    // The slider has not been given a range yet: nothing can be set.
    input.disabled = true;
    return input;
  }
  input.min = String(widget.range.min);
  input.max = String(widget.range.max);
  input.value = String(widget.value ?? widget.range.default);
  input.addEventListener('input', (event) => channel.move(Number(input.value), event.timeStamp));
  return input;
}
