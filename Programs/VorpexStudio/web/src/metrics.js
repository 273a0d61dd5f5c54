// How long a control move takes to reach the screen: from the input event to the first frame
// drawn after its result arrived. A shape move's result is the first state newer than the one
// the page had when the call went out (the server shows a call's change at its next tick). A
// colour move's result is that state's albedo work done: the state no longer busy and every
// albedo it announces fetched and on the model. Each entry goes to window.studioMetrics as
// {kind, ms}. A control has at most one move waiting to be shown: a later call of the same
// control takes over the earlier one's start, as the user sees the result of both at once.

const COLOUR_KINDS = new Set(['colourPicker']);

export class Metrics {
  constructor(viewport) {
    this.viewport = viewport;
    this.waiting = new Map();
    this.stateVersion = -1;
    window.studioMetrics = [];
  }

  /** A call of control is sent for input that began at startedAt. */
  sent(control, kind, startedAt) {
    const earlier = this.waiting.get(control);
    const move = {
      kind,
      startedAt: earlier ? Math.min(earlier.startedAt, startedAt) : startedAt,
      answered: false,
      newerState: false,
      stateVersion: this.stateVersion,
    };
    this.waiting.set(control, move);
    return move;
  }

  answered(control, move, settled) {
    move.answered = true;
    this.settle(control, move, settled);
  }

  /** A failed call shows nothing; its move is dropped. */
  failed(control, move) {
    if (this.waiting.get(control) === move) {
      this.waiting.delete(control);
    }
  }

  /** A state was applied; settled: its albedo work is done and shown. */
  stateApplied(version, settled) {
    this.stateVersion = version;
    for (const [control, move] of this.waiting) {
      move.newerState ||= version > move.stateVersion;
      this.settle(control, move, settled);
    }
  }

  /** An albedo was put on the model; settled as for stateApplied. */
  albedoShown(settled) {
    for (const [control, move] of this.waiting) {
      this.settle(control, move, settled);
    }
  }

  async settle(control, move, settled) {
    const arrived = move.newerState && (settled || !COLOUR_KINDS.has(move.kind));
    if (!move.answered || !arrived || this.waiting.get(control) !== move) {
      return;
    }
    this.waiting.delete(control);
    const drawnAt = await this.viewport.afterNextFrame();
    window.studioMetrics.push({ kind: move.kind, ms: drawnAt - move.startedAt });
  }
}
