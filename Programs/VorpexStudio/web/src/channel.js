// A control's line to its slider on the server: each move becomes a call of the slider's
// OnChanged, but while one call is in flight only the latest value is kept, and it is sent
// when the answer comes. Dragging thus never queues more than one call per control.

import { postJson } from './api.js';
import { showError } from './status.js';

export class ControlChannel {
  /** isSettled() tells whether the page shows all the albedo work the server announced. */
  constructor(widget, metrics, isSettled) {
    this.isSettled = isSettled;
    this.path = widget.path;
    this.kind = widget.kind;
    this.metrics = metrics;
    this.inFlight = false;
    this.latest = null;
    this.firstInputAt = null;
  }

  /** value is OnChanged's "v"; inputAt is the input event's time stamp. */
  move(value, inputAt) {
    this.latest = value;
    this.firstInputAt ??= inputAt;
    if (!this.inFlight) {
      this.sendLatest();
    }
  }

  async sendLatest() {
    const value = this.latest;
    const track = this.metrics.sent(this, this.kind, this.firstInputAt);
    this.latest = null;
    this.firstInputAt = null;
    this.inFlight = true;
    try {
      await postJson('/api/call', { object: this.path, function: 'OnChanged', arguments: { v: value } });
      this.metrics.answered(this, track, this.isSettled());
    } catch (error) {
      this.metrics.failed(this, track);
      showError(error);
    } finally {
      this.inFlight = false;
    }
    if (this.latest !== null) {
      this.sendLatest();
    }
  }
}
