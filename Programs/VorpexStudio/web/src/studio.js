// What the page shows and how it follows the server: the editing session's model and panel,
// the live state applied to them, and the composed view that replaces the model for a while.

import { Albedos } from './albedo.js';
import { getJson } from './api.js';
import { ControlChannel } from './channel.js';
import { Metrics } from './metrics.js';
import { loadModel } from './model.js';
import { applyMorphWeights } from './morphs.js';
import { buildPanel } from './panel.js';
import { setServerBusy, showInfo } from './status.js';
import { Viewport } from './viewport.js';

const EDITED_URL = '/api/character.glb';
const NO_SESSION = 0;

export class Studio {
  constructor({ viewportElement, panelElement }) {
    this.panelElement = panelElement;
    this.viewport = new Viewport(viewportElement);
    this.metrics = new Metrics(this.viewport);
    this.albedos = new Albedos({ onShown: () => this.albedoShown() });
    this.model = null;
    this.session = null;
    this.state = null;
    this.showingComposed = false;
    this.framed = false;
  }

  /** Shows the edited character of session and its panel, unless they are shown already. */
  async openSession(session) {
    if (session === this.session) {
      return;
    }
    this.session = session;
    this.albedos.reset();
    document.body.dataset.albedoVersions = '{}';
    try {
      await Promise.all([this.showEdited(), this.reloadPanel()]);
    } catch (error) {
      // Not shown after all: the next state of this session tries again.
      this.session = null;
      throw error;
    }
  }

  async reloadPanel() {
    const tree = await getJson('/api/editor');
    this.panelElement.replaceChildren(buildPanel(tree, (widget) => new ControlChannel(widget, this.metrics, () => this.isSettled())));
    this.panelElement.inert = this.showingComposed;
  }

  async showEdited() {
    this.setModel(await loadModel(EDITED_URL, { editable: true }));
    this.showingComposed = false;
    this.panelElement.inert = false;
  }

  /** A composed character, read-only: the panel cannot edit what is shown. */
  async showComposed(url) {
    this.setModel(await loadModel(url, { editable: false }));
    this.showingComposed = true;
    this.panelElement.inert = true;
  }

  setModel(model) {
    this.model = model;
    this.viewport.setModel(model.root, { frame: !this.framed });
    this.framed = true;
    this.albedos.setModel(model);
    if (model.editable && this.state) {
      applyMorphWeights(model, this.state.morphWeights);
    }
    document.body.dataset.model = model.editable ? 'edited' : 'composed';
    document.dispatchEvent(new CustomEvent('studio-model', { detail: { composed: !model.editable } }));
    document.body.dataset.modelLoads = String(Number(document.body.dataset.modelLoads ?? 0) + 1);
  }

  async applyState(state) {
    // Session 0: nothing is being edited (a character that failed to open ends the earlier
    // session); what is shown stays until another character is chosen.
    if (state.session === NO_SESSION) {
      showInfo('No character is being edited: choose one');
      return;
    }
    if (state.session !== this.session) {
      await this.openSession(state.session);
    }
    this.state = state;
    setServerBusy(state.busy);
    if (this.model?.editable) {
      applyMorphWeights(this.model, state.morphWeights);
    }
    this.albedos.update(state.albedos);
    this.metrics.stateApplied(state.version, this.isSettled());
    document.body.dataset.stateVersion = String(state.version);
    document.body.dataset.session = String(state.session);
    this.viewport.requestFrame();
  }

  /** The server's albedo work is done and every albedo it announced is on the model. */
  isSettled() {
    return Boolean(this.state) && !this.state.busy && this.albedos.showsAll(this.state.albedos);
  }

  albedoShown() {
    this.metrics.albedoShown(this.isSettled());
    document.body.dataset.albedoVersions = JSON.stringify(this.albedos.versions());
    this.viewport.requestFrame();
  }
}
