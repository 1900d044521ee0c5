// One call: its fields, its downloads, the waveform, the player bar and the
// sound effects. Keeps the zoom segment and turns waveform and slider
// times (ms of the whole recording) into player positions (ms of the segment).
import { t } from "./i18n.js";
import { fieldLabel, formatValue, formatClock, textDirection, hasRecording, isMarked, dataFiles, FLAG_CC_OPEN, FLAG_CC_CLOSE } from "./CallModel.js";
import { Waveform } from "./Waveform.js";
import { PlayerBar, SPEEDS } from "./PlayerBar.js";
import { Effects, NO_EFFECTS } from "./Effects.js";
import { effectQuery } from "./Player.js";
import { Redaction } from "./Redaction.js";
import { CallAnalytics } from "./CallAnalytics.js";
import { NotesPanel } from "./NotesPanel.js";

const SEEK_STEP = 5000;

// The recording a record names: "call7.wvc", "/app/wave/call7.wav" or a bare "call7".
export function recordingOf(call) {
  if (!call || typeof call.voice !== "string" || !call.voice) return null;
  const name = call.voice.replace(/^\/?app\/wave\//, "").replace(/^\/+/, "");
  const match = /^(.*)\.(wvc|wav)$/i.exec(name);
  return { name, base: match ? match[1] : name, ext: match ? match[2].toLowerCase() : "" };
}

const extensionCache = new Map();

// A bare name is looked up as ".wvc" first, then ".wav", the order in which
// the waveform route looks for it.
async function recordingPath(recording) {
  if (recording.ext) return "/app/wave/" + recording.name;
  if (extensionCache.has(recording.base)) return extensionCache.get(recording.base);
  let path = "/app/wave/" + recording.base + ".wav";
  const probe = "/app/wave/" + recording.base + ".wvc";
  try {
    const abort = new AbortController();
    const response = await fetch(probe, { signal: abort.signal, cache: "no-store" });
    abort.abort();
    if (response.ok) path = probe;
  } catch (error) { /* not there */ }
  extensionCache.set(recording.base, path);
  return path;
}

function el(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

export class CallView {
  constructor(root, player, bus, notes) {
    this.root = root;
    this.player = player;
    this.bus = bus;
    this.call = null;
    this.zoom = null;
    this.total = 0;
    this.effects = { ...NO_EFFECTS };
    this.path = null;

    root.setAttribute("role", "region");
    const top = el("div", "call-top");
    this.backButton = el("button", "back-button", "");
    this.backButton.type = "button";
    this.backButton.id = "back";
    this.backButton.innerHTML = `<span class="glyph back-arrow" aria-hidden="true"></span><span></span>`;
    this.backButton.lastChild.textContent = t("All calls");
    this.backButton.title = t("Back to the list") + " (Esc)";
    this.title = el("h2", "call-title");
    this.title.id = "call-title";
    this.title.tabIndex = -1;
    root.setAttribute("aria-labelledby", this.title.id);
    this.position = el("span", "call-position");
    this.prev = el("button", "icon-button");
    this.prev.type = "button";
    this.prev.id = "prev";
    this.prev.innerHTML = '<span class="glyph up" aria-hidden="true"></span>';
    this.prev.setAttribute("aria-label", t("Previous call"));
    this.prev.title = t("Previous call") + " (↑)";
    this.next = el("button", "icon-button");
    this.next.type = "button";
    this.next.id = "next";
    this.next.innerHTML = '<span class="glyph down" aria-hidden="true"></span>';
    this.next.setAttribute("aria-label", t("Next call"));
    this.next.title = t("Next call") + " (↓)";
    top.append(this.backButton, this.title, el("span", "spacer"), this.position, this.prev, this.next);

    const stage = el("section", "call-stage");
    stage.setAttribute("aria-label", t("Recording"));
    const waveRoot = el("div");
    waveRoot.id = "waveform";
    this.waveform = new Waveform(waveRoot, bus);
    const zoomBar = el("div", "zoom-bar");
    this.zoomText = el("span", "zoom-text");
    this.zoomText.id = "zoom-text";
    this.zoomHint = el("span", "zoom-hint", t("Click the waveform to jump there, drag across it to zoom into a passage."));
    this.wholeButton = el("button", "quiet", t("Whole call"));
    this.wholeButton.type = "button";
    this.wholeButton.id = "zoom-out";
    this.wholeButton.title = t("Whole call") + " (Z)";
    zoomBar.append(this.zoomText, this.zoomHint, el("span", "spacer"), this.wholeButton);
    const barRoot = el("div");
    barRoot.id = "player-bar";
    this.bar = new PlayerBar(barRoot, bus);
    this.analytics = new CallAnalytics(el("div"), bus);
    this.notesPanel = new NotesPanel(this, notes, bus);
    stage.append(waveRoot, this.analytics.root, zoomBar, barRoot, this.notesPanel.root);

    const lower = el("div", "call-lower");
    const effectsRoot = el("section");
    effectsRoot.id = "effects";
    this.effectsPanel = new Effects(effectsRoot, bus);
    const details = el("section", "call-details");
    details.setAttribute("aria-labelledby", "details-title");
    const detailsTitle = el("h3", "", t("Call details"));
    detailsTitle.id = "details-title";
    this.downloads = el("div", "downloads");
    this.downloads.id = "downloads";
    this.redaction = new Redaction(bus, () => this.reload());
    this.redaction.savePassage.addEventListener("click", () => this.downloadPassage());
    this.fields = el("dl", "fields");
    this.fields.id = "fields";
    details.append(detailsTitle, this.downloads, this.fields);
    lower.append(details, effectsRoot);
    root.append(top, stage, lower);

    this.backButton.addEventListener("click", () => bus.emit("close"));
    this.prev.addEventListener("click", () => bus.emit("step", -1));
    this.next.addEventListener("click", () => bus.emit("step", 1));
    this.wholeButton.addEventListener("click", () => this.setZoom(null));
    bus.on("zoom", segment => this.setZoom(segment));
    bus.on("seek", ms => this.seekTo(ms));
    bus.on("seek-by", delta => this.seekBy(delta));
    bus.on("play-toggle", () => this.togglePlay());
    bus.on("stop", () => this.player.stop());
    bus.on("mute-toggle", () => this.player.toggleMute());
    bus.on("effects", effects => { this.effects = effects; this.reload(); });
    bus.on("player", state => this.playerChanged(state));
    bus.on("speed", value => this.player.setTempo(value));
    bus.on("speed-step", direction => {
      const index = SPEEDS.indexOf(this.player.state.tempo);
      const next = SPEEDS[Math.max(0, Math.min(SPEEDS.length - 1, (index < 0 ? SPEEDS.indexOf(1) : index) + direction))];
      this.player.setTempo(next);
    });
    bus.on("loop-toggle", () => this.player.toggleLoop());
    bus.on("channel", channel => this.analytics.attach(channel.objects.Analytics));
  }

  isOpen() { return !!this.call && !this.root.hidden; }

  // Shows a call; index and count place it in the current list.
  show(call, index, count) {
    const sameCall = this.call === call;
    this.call = call;
    this.position.textContent = t("Call {index} of {count}", { index: (index + 1).toLocaleString(), count: count.toLocaleString() });
    this.prev.disabled = index <= 0;
    this.next.disabled = index >= count - 1;
    if (sameCall) return;
    this.player.unload();
    this.zoom = null;
    this.redaction.setPassage(null);
    this.path = null;
    this.total = typeof call.duration === "number" ? call.duration * 1000 : 0;
    const parties = [call.caller, call.callee].filter(v => v !== undefined && v !== "").map(String);
    this.title.textContent = "";
    if (parties.length) {
      // Each number isolated, the arrow pointing the way the page reads.
      const arrow = document.documentElement.dir === "rtl" ? " ← " : " → ";
      parties.forEach((party, k) => {
        const bdi = el("bdi", "", party);
        bdi.dir = textDirection(party);
        this.title.append(...(k ? [arrow] : []), bdi);
      });
    } else {
      this.title.textContent = t("Call {id}", { id: call.id ?? "" });
    }
    this.redaction.setCall(call);
    this.renderFields(call);
    const recording = recordingOf(call);
    this.recording = hasRecording(call) ? recording : null;
    this.effectsPanel.setStereo(!!this.recording && (this.recording.ext !== "wav" || Number(call.channels) >= 2));
    this.root.classList.toggle("no-recording", !this.recording);
    this.effects = this.effectsPanel.get();
    this.waveform.setTotal(this.total);
    this.bar.setRange(0, this.total);
    this.bar.setPosition(0);
    this.waveform.setPosition(0);
    if (this.recording) {
      this.reload();
      recordingPath(this.recording).then(path => {
        if (this.call !== call) return;
        this.path = path;
        this.analytics.show(path);
      });
    } else {
      this.analytics.clear();
      this.waveform.clear(t("This call has no recording."));
    }
    this.showZoom();
    this.notesPanel.setCall(call);
  }

  renderFields(call) {
    this.fields.textContent = "";
    this.downloads.textContent = "";
    const keys = Object.keys(call);
    const order = ["id", "time_start", "time_end", "direction", "caller", "callee", "agent", "duration"];
    keys.sort((a, b) => {
      const ia = order.indexOf(a), ib = order.indexOf(b);
      return (ia < 0 ? 99 : ia) - (ib < 0 ? 99 : ib) || (a < b ? -1 : a > b ? 1 : 0);
    });
    for (const key of keys) {
      const value = call[key];
      const dt = el("dt", "", fieldLabel(key));
      const dd = el("dd");
      const bdi = el("bdi", "", formatValue(key, value));
      bdi.dir = textDirection(bdi.textContent);
      dd.append(bdi);
      dd.dataset.field = key;
      if (key === "flags" && typeof value === "number") {
        const notes = [];
        if (isMarked(call)) notes.push(t("Marked for long-term storage"));
        if ((value & FLAG_CC_OPEN) && (value & FLAG_CC_CLOSE)) notes.push(t("Recording complete"));
        if (notes.length) dd.append(el("span", "flag-notes", notes.join(" · ")));
      }
      if (key === "voice" && !value) dd.append(el("span", "muted-text", t("No recording")));
      this.fields.append(dt, dd);
    }
    if (hasRecording(call)) {
      const save = el("button", "download", t("Save recording (WAV)"));
      save.type = "button";
      save.id = "download-recording";
      save.title = t("Save recording (WAV)") + " (D)";
      save.addEventListener("click", () => this.downloadRecording());
      this.downloads.append(save, this.redaction.root);
    }
    for (const file of dataFiles(call)) {
      const name = file.path.slice(file.path.lastIndexOf("/") + 1);
      // The file name keeps its own direction inside the translated label.
      const save = el("button", "download");
      const [before, after = ""] = t("Save {file}").split("{file}");
      const bdi = el("bdi", "", name);
      bdi.dir = textDirection(name);
      save.append(before, bdi, after);
      save.type = "button";
      save.className = "download data-file";
      save.dataset.path = file.path;
      save.title = `${fieldLabel(file.key)}: ${file.path}`;
      save.addEventListener("click", () => this.player.downloadFile(file.path));
      this.downloads.append(save);
    }
    this.downloads.hidden = !this.downloads.children.length;
  }

  async downloadRecording() {
    if (!this.recording) return;
    this.player.download((this.path || await recordingPath(this.recording)) + this.redaction.saveQuery());
  }

  async downloadPassage() {
    const query = this.recording && this.redaction.passageQuery(this.effects);
    if (query) this.player.savePassage((this.path || await recordingPath(this.recording)) + query);
  }

  query() { return effectQuery(this.effects, this.zoom) + this.redaction.playItems(); }

  // New effects or zoom: the waveform is drawn again, and a loaded recording
  // is loaded again with the new query, at the same place and paused state.
  reload(startAbsolute) {
    if (!this.recording) return;
    const query = this.query();
    this.waveform.show("/app/wave/" + this.recording.base + ".svg" + query, this.zoom);
    const state = this.player.state;
    if (state.loaded && this.path) {
      let absolute = startAbsolute !== undefined ? startAbsolute : this.absolute(state.position);
      if (this.zoom && (absolute < this.zoom.start || absolute >= this.zoom.end)) absolute = this.zoom.start;
      this.player.load(this.path, query, this.call.id, absolute - this.segmentStart(), state.paused);
    }
  }

  segmentStart() { return this.zoom ? this.zoom.start : 0; }
  absolute(position) { return this.segmentStart() + position; }

  setZoom(segment) {
    if (!this.recording) return;
    if (segment && this.total > 0) segment = { start: Math.max(0, segment.start), end: Math.min(this.total, segment.end) };
    if (segment && !(segment.end - segment.start >= 100)) return;
    if (!segment && !this.zoom) return;
    const here = this.absolute(this.player.state.position);
    this.zoom = segment;
    this.redaction.setPassage(segment);
    this.showZoom();
    // A new passage plays from its start; the whole call goes on where it was.
    this.reload(segment ? segment.start : here);
  }

  showZoom() {
    const [start, end] = this.zoom ? [this.zoom.start, this.zoom.end] : [0, this.total];
    this.root.classList.toggle("zoomed", !!this.zoom);
    this.wholeButton.hidden = !this.zoom;
    this.zoomHint.hidden = !!this.zoom || !this.recording;
    this.zoomText.textContent = this.zoom
      ? t("Passage {start} – {end}", { start: formatClock(start), end: formatClock(end) })
      : "";
    this.bar.setRange(start, end);
    this.waveform.setTotal(this.total);
    this.analytics.setRange(start, end);
    this.notesPanel.drawMarks();
  }

  // Where the playhead stands, in ms of the whole recording.
  playheadMs() { return this.absolute(this.player.state.position || 0); }

  focusTitle() { this.title.focus({ preventScroll: true }); }

  // Shows a moment of the recording, leaving a passage that does not hold it.
  goTo(ms) {
    if (!this.recording) return;
    if (this.zoom && (ms < this.zoom.start || ms >= this.zoom.end)) {
      this.zoom = null;
      this.redaction.setPassage(null);
      this.showZoom();
      if (this.player.state.loaded) {
        this.reload(ms);
        this.waveform.setPosition(ms);
        this.bar.setPosition(ms);
        return;
      }
      this.reload();
    }
    this.seekTo(ms);
  }

  async ensureLoaded(startAbsolute) {
    if (!this.recording) return false;
    const query = this.query();
    if (!this.path) this.path = await recordingPath(this.recording);
    if (this.player.isLoaded(this.path, query)) return true;
    const start = Math.max(0, (startAbsolute || 0) - this.segmentStart());
    this.player.load(this.path, query, this.call.id, start, false);
    return false;
  }

  async togglePlay() {
    if (!this.recording) return;
    if (await this.ensureLoaded(0)) this.player.togglePause();
  }

  async seekTo(absolute) {
    if (!this.recording) return;
    const [start, end] = this.zoom ? [this.zoom.start, this.zoom.end] : [0, this.total || Infinity];
    absolute = Math.max(start, Math.min(end, absolute));
    if (await this.ensureLoaded(absolute)) this.player.seek(absolute - start);
    this.waveform.setPosition(absolute);
    this.bar.setPosition(absolute);
  }

  seekBy(delta) {
    this.seekTo(this.absolute(this.player.state.loaded ? this.player.state.position : 0) + delta);
  }

  playerChanged(state) {
    if (!this.call) return;
    if (state.loaded && !this.zoom && state.duration > 0 && state.duration !== this.total) {
      this.total = state.duration;
      this.showZoom();
    }
    const absolute = this.absolute(state.position);
    const skipTo = this.analytics.skipTarget(absolute, state);
    if (skipTo !== null) this.seekTo(skipTo);
    this.waveform.setPosition(absolute);
    this.bar.setPosition(absolute);
    this.bar.setState(state);
    this.bar.setExtras(state.tempoSupported, state.tempo, state.loop);
  }
}

export { SEEK_STEP };
