// The status line at the bottom of the page and the busy indicator in the toolbar.

const line = document.getElementById('status');
const busyBadge = document.getElementById('busy');

export function showInfo(message) {
  line.textContent = message;
  line.dataset.kind = 'info';
}

export function showError(error) {
  line.textContent = error instanceof Error ? error.message : String(error);
  line.dataset.kind = 'error';
  console.warn('studio:', line.textContent);
}

// Work is busy while the server says so or while the page still fetches albedos; the badge
// is written only when that changes, so observers see one mutation per change.
const reasons = { server: false, albedos: 0 };

function refreshBusy() {
  const busy = reasons.server || reasons.albedos > 0;
  if (busyBadge.hidden === !busy) {
    return;
  }
  busyBadge.hidden = !busy;
  document.body.dataset.busy = String(busy);
}

export function setServerBusy(busy) {
  reasons.server = busy;
  refreshBusy();
}

export function beginAlbedoFetch() {
  reasons.albedos += 1;
  refreshBusy();
}

export function endAlbedoFetch() {
  reasons.albedos -= 1;
  refreshBusy();
}

document.body.dataset.busy = 'false';
