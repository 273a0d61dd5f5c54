// Requests to the studio server. Every failure becomes an Error whose message is what the
// server said (its {"error": ...} answer) or, failing that, the HTTP status, so that callers
// can show it as it is.

async function failure(response) {
  let message = `${response.status} ${response.statusText}`;
  try {
    const body = await response.json();
    if (body && typeof body.error === 'string') {
      message = body.error;
    }
  } catch {
    // The answer was not JSON: the status line is all there is to say.
  }
  return new Error(`${response.url.replace(location.origin, '')}: ${message}`);
}

export async function request(path, options = {}) {
  const response = await fetch(path, options);
  if (!response.ok) {
    throw await failure(response);
  }
  return response;
}

export async function getJson(path) {
  return (await request(path)).json();
}

export async function postJson(path, body) {
  const response = await request(path, {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify(body),
  });
  return response.json();
}
