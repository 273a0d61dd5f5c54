// Starting and stopping the real `vorpex studio` on loopback for the browser tests.

import { spawn } from 'node:child_process';
import { createWriteStream } from 'node:fs';
import { createInterface } from 'node:readline';

const ADDRESS_LINE = /^http:\/\/127\.0\.0\.1:(\d+)\/$/;
// Only against a hang: a server that neither prints its address nor exits.
const START_GUARD_MS = 180_000;

/**
 * Runs `program [options] studio project --port 0` and resolves with {process, url} once it has
 * printed its address; its standard error goes to logPath. Rejects with the reason when it
 * exits or prints something else first.
 */
export function startStudio(program, project, logPath, options = []) {
  const child = spawn(program, [...options, 'studio', project, '--port', '0'], { stdio: ['ignore', 'pipe', 'pipe'] });
  const log = createWriteStream(logPath);
  child.stderr.pipe(log);
  const lines = createInterface({ input: child.stdout });
  return new Promise((resolve, reject) => {
    // A server that did not start right is not left running.
    const fail = (message) => {
      clearTimeout(guard);
      child.kill('SIGTERM');
      reject(new Error(`${message} (log: ${logPath})`));
    };
    const guard = setTimeout(() => fail(`vorpex studio printed no address in ${START_GUARD_MS / 1000} s`), START_GUARD_MS);
    child.once('error', (error) => fail(`vorpex studio could not start: ${error.message}`));
    child.once('exit', (code, signal) => fail(`vorpex studio exited (code ${code}, signal ${signal}) before printing its address`));
    lines.once('line', (line) => {
      if (!ADDRESS_LINE.test(line)) {
        fail(`vorpex studio's first line is "${line}", not its address`);
        return;
      }
      clearTimeout(guard);
      child.removeAllListeners('exit');
      lines.on('line', (more) => log.write(`stdout: ${more}\n`));
      resolve({ process: child, url: line });
    });
  });
}

/** Sends SIGTERM (unless the server has gone) and resolves with how it exited. */
export function stopStudio(child) {
  if (child.exitCode !== null || child.signalCode !== null) {
    return Promise.resolve({ code: child.exitCode, signal: child.signalCode });
  }
  return new Promise((resolve) => {
    child.once('exit', (code, signal) => resolve({ code, signal }));
    child.kill('SIGTERM');
  });
}
