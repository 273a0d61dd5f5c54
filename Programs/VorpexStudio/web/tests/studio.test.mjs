// The studio page in Debian's Chromium against the real `vorpex studio` serving a copy of the
// sample project: the page shows the character and its editor, its controls change the
// character, edit states are saved and loaded, the export is valid glTF, server errors are
// shown, and the time from a control move to the frame that shows it is measured.
//
// Environment: VORPEX_PROGRAM (the built vorpex), VORPEX_SAMPLE_PROJECT, VORPEX_GLTF_VALIDATOR,
// VORPEX_TEST_ARTEFACTS (where the screenshot, latencies, download and server log go) and
// VORPEX_STUDIO_MOVES (moves per control kind for the measurement, 50 unless set) and
// VORPEX_STUDIO_OPTIONS (program options for the server, none unless set).

import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { existsSync } from 'node:fs';
import { cp, mkdir, mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';
import { chromium } from 'playwright-core';
import { normalisedToWindow, polygonFrame, polygonWeights, sectionTitles, sliders, sliderWeights } from './support/editor.mjs';
import { startStudio, stopStudio } from './support/server.mjs';
import { summarise } from './support/stats.mjs';

const repository = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../../..');
const program = process.env.VORPEX_PROGRAM ?? path.join(repository, 'build/default/bin/vorpex');
const sample = process.env.VORPEX_SAMPLE_PROJECT ?? path.join(repository, 'Samples/Human');
const validator = process.env.VORPEX_GLTF_VALIDATOR ?? path.join(repository, 'Tools/GltfValidator/validate.mjs');
const artefacts = process.env.VORPEX_TEST_ARTEFACTS ?? path.join(tmpdir(), 'vorpex-studio-artefacts');
const moves = Number(process.env.VORPEX_STUDIO_MOVES ?? 50);
// Program options given before the command, such as "--set vorpex.TextureEditing.ResultSize=1024".
const programOptions = (process.env.VORPEX_STUDIO_OPTIONS ?? '').split(' ').filter(Boolean);

// Weights travel as single-precision floats rounded by the server.
const WEIGHT_TOLERANCE = 2e-3;
// Software WebGL on a small machine is slow; a wait this long means the page is stuck.
const WAIT_MS = 120_000;
// Texel spots compared before and after an albedo changes: a grid over the texture.
const SPOTS = Array.from({ length: 25 }, (_, i) => [0.1 + 0.2 * (i % 5), 0.1 + 0.2 * Math.floor(i / 5)]);
const STATE_NAME = 'studio test state';

let studio;
let browser;
let page;
let project;
let editor;
const consoleErrors = [];

async function api(route, body) {
  const response = await fetch(new URL(route, studio.url), body === undefined ? {} : {
    method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body),
  });
  return { status: response.status, body: await response.json() };
}

/** Waits until fn(arg) is true in the page; on failure says what did not happen. */
async function waitUntil(what, fn, arg) {
  try {
    await page.waitForFunction(fn, arg, { timeout: WAIT_MS, polling: 50 });
  } catch (error) {
    const status = await page.locator('#status').textContent().catch(() => '(unreadable)');
    throw new Error(`${what} did not happen (status line: "${status}"): ${error.message.split('\n')[0]}`);
  }
}

function control(slider) {
  return page.locator(`#panel [data-path="${slider.path}"]`);
}

function firstSlider(kind) {
  const slider = sliders(editor).find((candidate) => candidate.kind === kind);
  assert.ok(slider, `the editor has no ${kind} slider`);
  return slider;
}

function assertWeights(shown, expected, what) {
  for (const [shape, weight] of Object.entries(expected)) {
    assert.ok(shape in shown, `${what}: the model has no morph target "${shape}"`);
    assert.ok(Math.abs(shown[shape] - weight) <= WEIGHT_TOLERANCE, `${what}: "${shape}" shows ${shown[shape]}, not ${weight}`);
  }
}

/** Waits until the page shows the expected weights, then checks them with a clear message. */
async function expectWeights(expected, what) {
  await waitUntil(`${what}: the weights reaching the model`, ([want, tolerance]) => {
    const shown = window.studio.morphWeights();
    return Object.entries(want).every(([shape, weight]) => Math.abs(shown[shape] - weight) <= tolerance);
  }, [expected, WEIGHT_TOLERANCE]).catch(async (error) => {
    assertWeights(await page.evaluate(() => window.studio.morphWeights()), expected, what);
    throw error;
  });
}

async function setSlider(slider, value) {
  await control(slider).fill(String(value));
}

/** Clicks a 1-D slider's track at fraction of its width, as a user does. */
async function clickSlider(slider, fraction) {
  const box = await visibleBox(slider);
  await page.mouse.click(box.x + fraction * box.width, box.y + box.height / 2);
}

/** The page box of a slider's control, scrolled into view so that the mouse reaches it. */
async function visibleBox(slider) {
  await control(slider).scrollIntoViewIfNeeded();
  return control(slider).boundingBox();
}

/** Page coordinates of a window-pixel point of a slider's painted geometry. */
async function windowToPage(slider, [x, y]) {
  const box = await visibleBox(slider);
  const { position, size } = slider.geometry;
  return [box.x + ((x - position[0]) / size[0]) * box.width, box.y + ((y - position[1]) / size[1]) * box.height];
}

/** Page coordinates of a normalised point of a pad (colour picker or polygon). */
async function normalisedToPage(slider, [x, y]) {
  const box = await visibleBox(slider);
  return [box.x + ((x + 1) / 2) * box.width, box.y + ((y + 1) / 2) * box.height];
}

/** The normalised point a pad (polygon or colour picker) last sent or started at. */
async function sentPoint(slider) {
  return control(slider).evaluate((pad) => [Number(pad.dataset.x), Number(pad.dataset.y)]);
}

/** The normalised point where a pad (polygon or colour picker) draws its marker, from the marker's box. */
async function shownMarker(slider) {
  const pad = await visibleBox(slider);
  const marker = control(slider).locator('.marker');
  assert.ok(await marker.isVisible(), `${slider.kind} ${slider.path} shows no marker`);
  const box = await marker.boundingBox();
  const centre = [box.x + box.width / 2, box.y + box.height / 2];
  return [((centre[0] - pad.x) / pad.width) * 2 - 1, ((centre[1] - pad.y) / pad.height) * 2 - 1];
}

/** A window point inside triangle `corner` of a polygon slider: centre, corner, next corner weighed by u, v, w. */
function pointInTriangle(slider, corner, [u, v, w]) {
  const { corners, centre } = polygonFrame(slider);
  const a = corners[corner];
  const b = corners[(corner + 1) % corners.length];
  return [u * centre[0] + v * a[0] + w * b[0], u * centre[1] + v * a[1] + w * b[1]];
}

async function clickPolygon(slider, corner, weights) {
  const [x, y] = await windowToPage(slider, pointInTriangle(slider, corner, weights));
  await page.mouse.click(x, y);
}

/** Counts the page's /api/call requests, and the most that were in flight at once. */
function trackCalls() {
  const counts = { sent: 0, inFlight: 0, mostAtOnce: 0 };
  const isCall = (request) => new URL(request.url()).pathname === '/api/call';
  const started = (request) => {
    if (isCall(request)) {
      counts.sent += 1;
      counts.inFlight += 1;
      counts.mostAtOnce = Math.max(counts.mostAtOnce, counts.inFlight);
    }
  };
  const ended = (request) => {
    if (isCall(request)) {
      counts.inFlight -= 1;
    }
  };
  page.on('request', started);
  page.on('requestfinished', ended);
  page.on('requestfailed', ended);
  counts.stop = () => {
    page.off('request', started);
    page.off('requestfinished', ended);
    page.off('requestfailed', ended);
  };
  return counts;
}

async function albedoVersions() {
  return page.evaluate(() => JSON.parse(document.body.dataset.albedoVersions ?? '{}'));
}

/** The texels at SPOTS of every shown albedo, as the model's materials show them. */
async function albedoTexels() {
  const texels = await page.evaluate((spots) => {
    const versions = JSON.parse(document.body.dataset.albedoVersions ?? '{}');
    return Object.fromEntries(Object.keys(versions).map((index) => [index, window.studio.albedoTexels(Number(index), spots)]));
  }, SPOTS);
  for (const [index, shown] of Object.entries(texels)) {
    assert.ok(shown, `albedo ${index} is not the map of the materials it is for`);
  }
  return texels;
}

/** Clicks a colour picker at a normalised point and waits until an albedo newer than before is shown. */
async function pickColour(slider, point) {
  const before = await albedoVersions();
  const [x, y] = await normalisedToPage(slider, point);
  await page.mouse.click(x, y);
  await waitUntil(`picking (${point}) on "${slider.bound.handler}": a newer albedo shown`, (old) => {
    const now = JSON.parse(document.body.dataset.albedoVersions ?? '{}');
    return Object.entries(now).some(([index, version]) => version > (old[index] ?? -1));
  }, before);
  // Every albedo the colour changes is shown once the page is no longer busy.
  await waitUntil(`picking (${point}) on "${slider.bound.handler}": the albedo work ending`, () => document.body.dataset.busy === 'false');
}

async function openPage() {
  await page.goto(studio.url);
  await waitUntil('the edited character loading', () => document.body.dataset.model === 'edited');
  await waitUntil('the editor panel filling', () => document.querySelectorAll('#panel [data-kind]').length > 0);
  await waitUntil('the first live state', () => document.body.dataset.stateVersion !== undefined);
}

before(async () => {
  assert.ok(existsSync(program), `VORPEX_PROGRAM: there is no vorpex at ${program}`);
  assert.ok(Number.isInteger(moves) && moves > 0, `VORPEX_STUDIO_MOVES is "${process.env.VORPEX_STUDIO_MOVES}", not a count of moves`);
  await mkdir(artefacts, { recursive: true });
  project = await mkdtemp(path.join(tmpdir(), 'vorpex-studio-project-'));
  await cp(sample, project, { recursive: true });
  studio = await startStudio(program, project, path.join(artefacts, 'studio-server.log'), programOptions);
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader'],
  });
  page = await browser.newPage({ viewport: { width: 1400, height: 900 }, acceptDownloads: true });
  page.on('console', (message) => {
    if (message.type() === 'error') {
      consoleErrors.push(message.text());
    }
  });
  page.on('pageerror', (error) => consoleErrors.push(`uncaught: ${error.message}`));
});

after(async () => {
  await browser?.close();
  if (studio) {
    await stopStudio(studio.process);
  }
  if (project) {
    await rm(project, { recursive: true, force: true });
  }
});

describe('vorpex studio in the browser', () => {
  it('shows the characters, the editor panel and the model without console errors', async () => {
    const { body: characters } = await api('/api/characters');
    editor = (await api('/api/editor')).body;
    await openPage();
    const options = await page.locator('#character option').allTextContents();
    assert.equal(options.length, characters.characters.length, `the chooser lists ${options.length} of ${characters.characters.length} characters`);
    for (const character of characters.characters) {
      assert.ok(options.some((text) => text.includes(character.name)), `the chooser does not list "${character.name}"`);
    }
    editor = (await api('/api/editor')).body;
    const titles = await page.locator('#panel summary').allTextContents();
    assert.deepEqual(titles, sectionTitles(editor), 'the panel\'s sections are not the editor\'s');
    for (const slider of sliders(editor)) {
      assert.equal(await control(slider).count(), 1, `the panel has no control for ${slider.kind} slider ${slider.path}`);
    }
    assert.ok(Object.keys(await page.evaluate(() => window.studio.morphWeights())).length > 0, 'the shown model has no morph targets');
    const materials = await page.evaluate(() => window.studio.materials());
    assert.ok(materials.some((material) => material.cullsByMask), `no material culls by its cull mask: ${JSON.stringify(materials)}`);
    assert.deepEqual(consoleErrors, [], 'the page logged errors');
  });

  it('shows each colour picker\'s marker at its handler\'s start position', async () => {
    const composition = JSON.parse(await readFile(path.join(project, 'Content/Editor/DA_SkinComposition.json'), 'utf8'));
    const handlers = composition.components.flatMap((component) => component.handlers);
    const pickers = sliders(editor).filter((slider) => slider.kind === 'colourPicker' && slider.position === null);
    assert.ok(pickers.length > 0, 'the editor has no colour picker that was not moved');
    for (const picker of pickers) {
      const handler = handlers.find((candidate) => candidate.displayName === picker.bound.handler);
      assert.ok(handler, `the project has no skin-composition handler "${picker.bound.handler}"`);
      const shown = await shownMarker(picker);
      // The slider places its marker in whole layout units, cut towards zero.
      const unit = 2 / Math.min(...picker.geometry.localSize);
      handler.floatParams.forEach((start, axis) => assert.ok(Math.abs(shown[axis] - start) < 1.5 * unit,
        `"${picker.bound.handler}" shows its marker at ${shown}, not at the start ${handler.floatParams}`));
    }
  });

  it('moving a 1-D slider sets its constraint\'s weights', async () => {
    const oneShape = firstSlider('oneShape');
    const oneValue = oneShape.range.min + 0.37 * (oneShape.range.max - oneShape.range.min);
    await setSlider(oneShape, oneValue);
    await expectWeights(sliderWeights(oneShape, oneValue), `one-shape slider ${oneShape.bound.constraint} at ${oneValue}`);

    const twoShapes = firstSlider('twoShapes');
    for (const value of [-0.6, 0.45]) {
      await setSlider(twoShapes, value);
      await expectWeights(sliderWeights(twoShapes, value), `two-shape slider ${twoShapes.bound.constraint} at ${value}`);
    }
  });

  it('a burst of slider input sends the first value, then only the latest', async () => {
    const slider = firstSlider('twoShapes');
    const values = Array.from({ length: 100 }, (_, i) => -0.99 + i * 0.015);
    const calls = trackCalls();
    await control(slider).evaluate((input, burst) => {
      for (const value of burst) {
        input.value = String(value);
        input.dispatchEvent(new Event('input', { bubbles: true }));
      }
    }, values);
    const last = values.at(-1);
    await expectWeights(sliderWeights(slider, last), `two-shape slider ${slider.bound.constraint} after a burst ending at ${last}`);
    calls.stop();
    assert.equal(calls.mostAtOnce, 1, `the burst had ${calls.mostAtOnce} calls in flight at once`);
    assert.equal(calls.sent, 2, `the burst of ${values.length} moves sent ${calls.sent} calls`);
  });

  it('draws a polygon slider\'s selection where the slider paints it, and dragging it sets the weights', async () => {
    const polygon = firstSlider('polygon');
    const drawn = await shownMarker(polygon);
    const painted = polygonFrame(polygon).selection;
    const drawnWindow = normalisedToWindow(polygon, drawn);
    assert.ok(Math.hypot(drawnWindow[0] - painted[0], drawnWindow[1] - painted[1]) < 1,
      `the selection is drawn at window ${drawnWindow}, the slider paints it at ${painted}`);

    const box = await visibleBox(polygon);
    const [startX, startY] = await windowToPage(polygon, pointInTriangle(polygon, 0, [0.5, 0.3, 0.2]));
    const [endX, endY] = await windowToPage(polygon, pointInTriangle(polygon, 1, [0.2, 0.5, 0.3]));
    assert.ok(startX > box.x && endX < box.x + box.width, 'the polygon\'s triangles lie outside its control');
    const calls = trackCalls();
    await page.mouse.move(startX, startY);
    await page.mouse.down();
    await page.mouse.move(endX, endY, { steps: 40 });
    await page.mouse.up();
    const selection = await sentPoint(polygon);
    const marker = await shownMarker(polygon);
    assert.ok(Math.hypot(marker[0] - selection[0], marker[1] - selection[1]) < 0.02, `the drag sent ${selection} but the marker is drawn at ${marker}`);
    const expected = polygonWeights(polygon, normalisedToWindow(polygon, selection));
    assert.ok(expected, `the drag ended at ${selection}, outside every triangle`);
    assert.ok(expected[polygon.bound.shapes[1]] > 0.3, `the drag ended at ${selection}, not in triangle 1`);
    await expectWeights(expected, `polygon ${polygon.bound.constraint} dragged to ${selection}`);
    calls.stop();
    assert.ok(calls.sent > 0, 'the drag sent no call');
    assert.equal(calls.mostAtOnce, 1, `the drag had ${calls.mostAtOnce} calls in flight at once`);
  });

  it('picking a colour shows busy, then a newer albedo with other texels on the model', async () => {
    const picker = firstSlider('colourPicker');
    await waitUntil('the first albedos', () => Object.keys(JSON.parse(document.body.dataset.albedoVersions ?? '{}')).length > 0);
    const texelsBefore = await albedoTexels();
    await page.evaluate(() => {
      window.busyShown = false;
      new MutationObserver((records) => {
        window.busyShown ||= records.some((record) => record.oldValue !== null);
      }).observe(document.getElementById('busy'), { attributes: true, attributeFilter: ['hidden'], attributeOldValue: true });
    });
    await pickColour(picker, [0.8, 0.8]);
    assert.ok(await page.evaluate(() => window.busyShown), 'the busy indicator was never shown while the colour was applied');
    const texelsAfter = await albedoTexels();
    assert.notDeepEqual(texelsAfter, texelsBefore, 'the shown albedo texels did not change');
    const materials = await page.evaluate(() => window.studio.materials());
    assert.ok(materials.some((material) => material.editedAlbedo), 'no material shows an edited albedo');
  });

  it('saves the edit state, and loading it after a reload brings back weights, albedo and slider value', async () => {
    const age = firstSlider('oneShape');
    const picker = firstSlider('colourPicker');
    const savedValue = age.range.min + 0.8 * (age.range.max - age.range.min);
    await setSlider(age, savedValue);
    await expectWeights(sliderWeights(age, savedValue), 'the value to save');
    await pickColour(picker, [-0.7, 0.6]);
    const savedWeights = await page.evaluate(() => window.studio.morphWeights());
    const savedTexels = await albedoTexels();

    await page.locator('#save-name').fill(STATE_NAME);
    await page.locator('#save').click();
    await waitUntil('the save being confirmed', (name) => document.getElementById('status').textContent.includes(`Saved "${name}"`), STATE_NAME);
    assert.ok(existsSync(path.join(project, 'Saved', `${STATE_NAME}.bin`)), 'the saved state is not in the project\'s Saved folder');

    const otherValue = age.range.min + 0.2 * (age.range.max - age.range.min);
    await setSlider(age, otherValue);
    await expectWeights(sliderWeights(age, otherValue), 'the value after saving');
    await pickColour(picker, [0.7, -0.6]);
    assert.notDeepEqual(await albedoTexels(), savedTexels, 'the albedo after saving is the saved one: loading would prove nothing');

    await page.reload();
    await openPage();
    assert.ok((await page.locator('#states option').allTextContents()).includes(STATE_NAME), 'the reloaded page does not list the saved state');
    await page.locator('#states').selectOption(STATE_NAME);
    const texelsBeforeLoad = await albedoTexels();
    await page.locator('#load').click();
    await waitUntil('the load being confirmed', (name) => document.getElementById('status').textContent.includes(`Loaded "${name}"`), STATE_NAME);
    await expectWeights(savedWeights, 'the loaded state');
    await waitUntil('the loaded albedo', ([before, spots]) => {
      const versions = JSON.parse(document.body.dataset.albedoVersions ?? '{}');
      return Object.keys(versions).some((index) => JSON.stringify(window.studio.albedoTexels(Number(index), spots)) !== JSON.stringify(before[index]));
    }, [texelsBeforeLoad, SPOTS]);
    await waitUntil('the albedo settling', () => document.body.dataset.busy === 'false');
    assert.deepEqual(await albedoTexels(), savedTexels, 'the loaded albedo is not the saved one');
    const shownValue = Number(await control(age).inputValue());
    assert.ok(Math.abs(shownValue - savedValue) <= WEIGHT_TOLERANCE, `the slider shows ${shownValue} after loading, not the saved ${savedValue}`);
  });

  it('exports the edited character as glTF that the validator accepts', async () => {
    const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#export').click()]);
    const file = path.join(artefacts, 'studio-export.glb');
    await download.saveAs(file);
    const run = promisify(execFile);
    try {
      await run(process.execPath, [validator, file]);
    } catch (error) {
      assert.fail(`the validator refused the export (exit ${error.code}): ${error.stdout}${error.stderr}`);
    }
  });

  it('shows the server\'s error in the status line', async () => {
    await page.locator('#save-name').fill('.hidden');
    await page.locator('#save').click();
    const refusal = await api('/api/save', { name: '.hidden' });
    assert.equal(refusal.status, 400, 'the server accepted a name starting with "."');
    await waitUntil('the refused save in the status line', (message) => {
      const status = document.getElementById('status');
      return status.dataset.kind === 'error' && status.textContent.includes(message);
    }, refusal.body.error);

    await rm(path.join(project, 'Saved', `${STATE_NAME}.bin`));
    await page.locator('#states').selectOption(STATE_NAME);
    await page.locator('#load').click();
    const missing = await api('/api/load', { name: STATE_NAME });
    assert.ok(missing.status >= 400 && missing.status < 500, `loading a missing state answered ${missing.status}`);
    await waitUntil('the failed load in the status line', (message) => {
      const status = document.getElementById('status');
      return status.dataset.kind === 'error' && status.textContent.includes(message);
    }, missing.body.error);
  });

  it('views the chosen character composed, read-only, and goes back to editing', async () => {
    const loads = Number(await page.evaluate(() => document.body.dataset.modelLoads));
    await page.locator('#view-composed').click();
    await waitUntil('the composed character loading', () => document.body.dataset.model === 'composed');
    assert.equal(await page.locator('#panel').evaluate((panel) => panel.inert), true, 'the panel can still edit while a composed character is shown');
    assert.equal(Number(await page.evaluate(() => document.body.dataset.modelLoads)), loads + 1, 'the composed character was not loaded once');
    assert.equal(await page.locator('#view-composed').textContent(), 'Back to editing', 'the button does not offer to go back');
    await page.locator('#view-composed').click();
    await waitUntil('the edited character coming back', () => document.body.dataset.model === 'edited');
    assert.equal(await page.locator('#panel').evaluate((panel) => panel.inert), false, 'the panel stays read-only after going back to editing');
    assert.equal(await page.locator('#view-composed').textContent(), 'View composed', 'the button does not offer the composed view again');
  });

  it('choosing another character begins editing it with its own panel', async () => {
    const { body: listed } = await api('/api/characters');
    assert.ok(listed.characters.length > 1, 'the sample has a single character: nothing to switch to');
    const current = listed.editing;
    const other = listed.characters.find((c) => c.groupIndex !== current.groupIndex || c.characterIndex !== current.characterIndex);
    const session = await page.evaluate(() => document.body.dataset.session);
    await page.locator('#character').selectOption(`${other.groupIndex}:${other.characterIndex}`);
    await waitUntil('the new editing session', (old) => document.body.dataset.session !== old && document.body.dataset.model === 'edited', session);
    await waitUntil('the status naming the character', (name) => document.getElementById('status').textContent.includes(name), other.name);
    const { body: now } = await api('/api/characters');
    assert.deepEqual([now.editing.groupIndex, now.editing.characterIndex], [other.groupIndex, other.characterIndex], 'the server does not edit the chosen character');
    editor = (await api('/api/editor')).body;
    for (const slider of sliders(editor)) {
      assert.equal(await control(slider).count(), 1, `the new panel has no control for ${slider.path}`);
    }
  });

  it(`measures ${moves} moves of each control kind from input to the frame that shows them`, async () => {
    const oneD = firstSlider('oneShape');
    const polygon = firstSlider('polygon');
    const picker = firstSlider('colourPicker');
    const corners = polygonFrame(polygon).corners.length;
    const kinds = {
      // Mouse input, as a person gives it: headless Chromium draws soon after real input, while
      // a value set from script waits about 200 ms for its next frame.
      oneShape: (i) => clickSlider(oneD, ((i % 10) + 1) / 11),
      polygon: (i) => clickPolygon(polygon, i % corners, [0.3, 0.4 + 0.02 * (i % 7), 0.3 - 0.02 * (i % 7)]),
      colourPicker: async (i) => {
        const [x, y] = await normalisedToPage(picker, [i % 2 ? 0.8 : -0.8, ((i % 9) - 4) / 5]);
        await page.mouse.click(x, y);
      },
    };
    const report = {};
    // Moves are measured on a settled page, not behind the albedo work of an earlier change.
    await waitUntil('the albedo work before the measurement ending', () => document.body.dataset.busy === 'false');
    for (const [kind, move] of Object.entries(kinds)) {
      const count = () => page.evaluate((k) => window.studioMetrics.filter((entry) => entry.kind === k).length, kind);
      const start = await count();
      for (let i = 0; i < moves; i += 1) {
        await move(i);
        await waitUntil(`${kind} move ${i + 1} being shown`, ([k, n]) => window.studioMetrics.filter((entry) => entry.kind === k).length >= n, [kind, start + i + 1]);
      }
      const latencies = await page.evaluate(([k, from]) => window.studioMetrics.filter((entry) => entry.kind === k).slice(from).map((entry) => entry.ms), [kind, start]);
      report[kind] = summarise(latencies);
    }
    await writeFile(path.join(artefacts, 'studio-latency.json'), `${JSON.stringify(report, null, 2)}\n`);
    await page.screenshot({ path: path.join(artefacts, 'studio.png') });
    for (const [kind, { moves: count, medianMs, p95Ms }] of Object.entries(report)) {
      console.log(`studio latency ${kind}: ${count} moves, median ${medianMs.toFixed(1)} ms, 95th percentile ${p95Ms.toFixed(1)} ms`);
    }
    assert.deepEqual(Object.values(report).map((entry) => entry.moves), [moves, moves, moves], 'not every move was measured');
  });

  it('stops cleanly on SIGTERM', async () => {
    const { code, signal } = await stopStudio(studio.process);
    assert.deepEqual({ code, signal }, { code: 0, signal: null }, 'vorpex studio did not exit with 0 on SIGTERM');
  });
});
