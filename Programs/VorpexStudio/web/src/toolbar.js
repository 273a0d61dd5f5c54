// The toolbar: choosing the character to edit, saving and loading edit states, exporting the
// edited character and viewing a character composed. Each action's failure is shown in the
// status line; the actions on the shown model go through the studio passed in.

import { getJson, postJson } from './api.js';
import { showError, showInfo } from './status.js';

const characterChooser = document.getElementById('character');
const composedButton = document.getElementById('view-composed');
const saveName = document.getElementById('save-name');
const saveButton = document.getElementById('save');
const stateChooser = document.getElementById('states');
const loadButton = document.getElementById('load');

function characterKey({ groupIndex, characterIndex }) {
  return `${groupIndex}:${characterIndex}`;
}

function chosenCharacter() {
  const [groupIndex, characterIndex] = characterChooser.value.split(':').map(Number);
  return { groupIndex, characterIndex };
}

function option(value, text) {
  const element = document.createElement('option');
  element.value = value;
  element.textContent = text;
  return element;
}

/** Fills the chooser; gives the list and the character being edited (or null). */
export async function listCharacters() {
  const { characters, editing } = await getJson('/api/characters');
  characterChooser.replaceChildren(...characters.map((character) => {
    const garments = character.garments.length ? ` (${character.garments.join(', ')})` : '';
    return option(characterKey(character), `${character.group} / ${character.name}${garments}`);
  }));
  if (editing) {
    characterChooser.value = characterKey(editing);
  }
  return { characters, editing };
}

export async function listStates() {
  const { states } = await getJson('/api/states');
  const kept = stateChooser.value;
  stateChooser.replaceChildren(...states.map((name) => option(name, name)));
  if (states.includes(kept)) {
    stateChooser.value = kept;
  }
}

/** Runs action with the toolbar disabled, showing its failure. */
async function guarded(action) {
  const controls = [characterChooser, composedButton, saveButton, loadButton];
  controls.forEach((control) => { control.disabled = true; });
  try {
    await action();
  } catch (error) {
    showError(error);
  } finally {
    controls.forEach((control) => { control.disabled = false; });
  }
}

export async function editCharacter(studio, character) {
  const { session } = await postJson('/api/edit', character);
  characterChooser.value = characterKey(character);
  await studio.openSession(session);
  showInfo(`Editing ${characterChooser.selectedOptions[0]?.textContent ?? characterKey(character)}`);
}

async function save() {
  const name = saveName.value.trim();
  if (!name) {
    throw new Error('Give the state a name to save it under');
  }
  const { saved } = await postJson('/api/save', { name });
  await listStates();
  stateChooser.value = saved;
  showInfo(`Saved "${saved}"`);
}

async function load(studio) {
  const name = stateChooser.value;
  if (!name) {
    throw new Error('There is no saved state to load');
  }
  const { loaded } = await postJson('/api/load', { name });
  await studio.reloadPanel();
  showInfo(`Loaded "${loaded}"`);
}

async function toggleComposed(studio) {
  if (studio.showingComposed) {
    await studio.showEdited();
    showInfo('Editing');
    return;
  }
  const { groupIndex, characterIndex } = chosenCharacter();
  await studio.showComposed(`/api/compose.glb?groupIndex=${groupIndex}&characterIndex=${characterIndex}`);
  showInfo(`Showing ${characterChooser.selectedOptions[0].textContent} composed (read-only)`);
}

export function wireToolbar(studio) {
  characterChooser.addEventListener('change', () => guarded(() => editCharacter(studio, chosenCharacter())));
  // The button names what it goes to, whoever changed the model shown.
  document.addEventListener('studio-model', (event) => {
    composedButton.textContent = event.detail.composed ? 'Back to editing' : 'View composed';
  });
  composedButton.addEventListener('click', () => guarded(() => toggleComposed(studio)));
  saveButton.addEventListener('click', () => guarded(save));
  saveName.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      guarded(save);
    }
  });
  loadButton.addEventListener('click', () => guarded(() => load(studio)));
}
