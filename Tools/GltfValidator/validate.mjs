// Validates one glTF file (.glb, or .gltf whose resources are embedded) with the Khronos glTF
// validator and prints how many errors, warnings, infos and hints it found, with the errors and
// warnings themselves, as one line of JSON. Exits with 1 when the file has errors, 2 when it
// cannot be read.
//
//   node validate.mjs <file>

import { readFile } from 'node:fs/promises';
import validator from 'gltf-validator';

const [file] = process.argv.slice(2);
if (!file) {
  console.error('usage: node validate.mjs <file>');
  process.exit(2);
}

let bytes;
try {
  bytes = new Uint8Array(await readFile(file));
} catch (error) {
  console.error(`cannot read ${file}: ${error.message}`);
  process.exit(2);
}

// External resources are refused rather than looked up, so a file is judged on its own bytes.
const report = await validator.validateBytes(bytes, {
  uri: file,
  maxIssues: 0,
  externalResourceFunction: (uri) => Promise.reject(new Error(`external resource ${uri} is not loaded`)),
});

const { numErrors, numWarnings, numInfos, numHints, messages } = report.issues;
const SEVERITY_WARNING = 1;
console.log(JSON.stringify({
  errors: numErrors,
  warnings: numWarnings,
  infos: numInfos,
  hints: numHints,
  messages: messages
    .filter((entry) => entry.severity <= SEVERITY_WARNING)
    .map(({ code, severity, pointer, message }) => ({ code, severity, pointer, message })),
}));
process.exit(numErrors > 0 ? 1 : 0);
