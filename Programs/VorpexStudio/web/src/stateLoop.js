// The live state, long-polled: each answer is handed on and the next request waits for a
// version above it. The server is the truth, so every answer counts, whatever its version
// (a new editing session may start its versions anew). A failed poll is shown and tried
// again after a pause, so that a server that went away is not hammered.

import { getJson } from './api.js';
import { showError } from './status.js';

const RETRY_PAUSE_MS = 2000;

function pause(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}

export async function pollState(onState) {
  let version = -1;
  for (;;) {
    try {
      const state = await getJson(`/api/state?after=${version}`);
      version = state.version;
      await onState(state);
    } catch (error) {
      showError(error);
      await pause(RETRY_PAUSE_MS);
    }
  }
}
