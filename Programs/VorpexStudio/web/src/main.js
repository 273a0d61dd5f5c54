// The page's start: the toolbar's lists, the character being edited (the first one when
// nothing is being edited yet), then the live state for as long as the page is open.

import { showError, showInfo } from './status.js';
import { Studio } from './studio.js';
import { pollState } from './stateLoop.js';
import { exposeTestHooks } from './testHooks.js';
import { editCharacter, listCharacters, listStates, wireToolbar } from './toolbar.js';

const studio = new Studio({
  viewportElement: document.getElementById('viewport'),
  panelElement: document.getElementById('panel'),
});
exposeTestHooks(studio);
wireToolbar(studio);

async function start() {
  const [{ characters, editing }] = await Promise.all([listCharacters(), listStates()]);
  if (!editing && characters.length === 0) {
    showInfo('The project has no characters to edit');
    return;
  }
  if (!editing) {
    await editCharacter(studio, characters[0]);
  }
  await pollState((state) => studio.applyState(state));
}

start().catch(showError);
