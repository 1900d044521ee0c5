// The package page: wires the call list, the filters, the call view and the
// native player together through one event bus, and keeps the reviewer's
// place (search, filters, sort, open call) across reloads of the page, such
// as a language switch.
import { PackageAnalytics } from "./PackageAnalytics.js";
import { t, loadCatalog, pageLocale } from "./i18n.js";
import { EventBus } from "./EventBus.js";
import { CallModel, NOTES } from "./CallModel.js";
import { CallList } from "./CallList.js";
import { Filters } from "./Filters.js";
import { CallView } from "./CallView.js";
import { Player } from "./Player.js";
import { Keyboard, shortcutTable } from "./Keyboard.js";
import { NoteStore } from "./NoteStore.js";
import { ReviewBar } from "./ReviewBar.js";
import { loadCalls } from "./CallLoader.js";

const STATE_KEY = "vorn-page";

function callKey(call, index) {
  return call && call.id !== undefined ? `${call.id}|${call.time_start ?? ""}` : `#${index}`;
}

class App {
  constructor(calls) {
    this.bus = new EventBus();
    this.model = new CallModel(calls);
    this.player = new Player(this.bus);
    const saved = this.loadState();

    document.title = t("Calls") + " – " + t("VORN Viewer");
    document.getElementById("app-title").textContent = t("Calls");
    const helpButton = document.getElementById("help-button");
    helpButton.textContent = t("Keyboard shortcuts");
    helpButton.title = t("Keyboard shortcuts") + " (?)";
    helpButton.addEventListener("click", () => this.toggleHelp());

    this.listView = document.getElementById("list-view");
    this.callRoot = document.getElementById("call-view");
    this.filters = new Filters(document.getElementById("filters"), this.model, this.bus);
    this.list = new CallList(document.getElementById("call-list"), this.model, this.bus);
    const analyticsRoot = document.createElement("section");
    document.getElementById("call-list").before(analyticsRoot);
    this.packageAnalytics = new PackageAnalytics(analyticsRoot, this.model, this.bus);
    this.bus.on("channel", channel => this.packageAnalytics.attach(channel.objects.Analytics));
    this.notes = new NoteStore(this.model, this.bus);
    this.reviewBar = new ReviewBar(document.getElementById("help-button"));
    this.bus.on("channel", channel => {
      this.notes.attach(channel.objects.Review);
      this.reviewBar.attach(channel.objects.Review);
    });
    this.callView = new CallView(this.callRoot, this.player, this.bus, this.notes);
    this.help = document.getElementById("help");
    this.buildHelp();
    this.keyboard = new Keyboard(this);

    this.filters.set(saved.filters || {});
    this.list.setSort(saved.sortColumn && this.model.columns.includes(saved.sortColumn) ? saved.sortColumn : "time_start",
      saved.sortColumn ? !!saved.sortDescending : true);

    this.bus.on("filters", () => this.refresh());
    this.bus.on("sort", column => {
      const descending = column === this.list.sortColumn ? !this.list.sortDescending : column === "time_start";
      this.list.setSort(column, descending);
      this.refresh();
    });
    this.bus.on("cursor", () => this.saveState());
    this.bus.on("open", index => this.openCall(index));
    this.bus.on("close", () => this.closeCall());
    this.bus.on("step", delta => this.step(delta));
    this.bus.on("download", () => this.callView.isOpen() && this.callView.downloadRecording());
    // The list follows the notes; an open call keeps its place in the list
    // until the reviewer goes back to it.
    this.bus.on("note-counts", () => {
      const state = this.filters.state();
      if (!state.notesOnly && this.list.sortColumn !== NOTES) this.list.redraw();
      else if (this.callView.isOpen()) this.listStale = true;
      else this.refresh();
    });

    this.refresh(this.findCall(saved.cursor));
    performance.mark("vorn-first-rows");
    const open = this.findCall(saved.open);
    if (open !== undefined) this.openCall(open, true);
    else this.list.root.focus({ preventScroll: true });
    this.buildTextsWhenIdle();
  }

  mode() { return this.callView.isOpen() ? "call" : "list"; }

  findCall(key) {
    if (!key) return undefined;
    const calls = this.model.calls;
    for (let i = 0; i < calls.length; ++i) if (callKey(calls[i], i) === key) return i;
    return undefined;
  }

  refresh(keepCall) {
    const state = Object.assign(this.filters.state(), { sortColumn: this.list.sortColumn, sortDescending: this.list.sortDescending });
    const view = this.model.query(state);
    this.list.setView(view, keepCall);
    this.filters.showCount(view.length, this.model.calls.length);
    this.saveState();
  }

  // The search texts are built in idle time so that the first keystroke is quick.
  buildTextsWhenIdle() {
    const work = deadline => {
      if (!this.model.buildTexts(() => deadline.timeRemaining() < 2)) requestIdleCallback(work);
    };
    requestIdleCallback(work);
  }

  openCurrent(andPlay) {
    const index = this.list.currentCall();
    if (index === undefined) return;
    this.openCall(index);
    if (andPlay) this.bus.emit("play-toggle");
  }

  openCall(index, restoring) {
    const position = this.list.view.indexOf(index);
    if (position >= 0 && position !== this.list.cursor) this.list.moveTo(position);
    this.listView.hidden = true;
    this.callRoot.hidden = false;
    this.callView.show(this.model.calls[index], Math.max(0, position), Math.max(1, this.list.view.length));
    this.callView.title.focus({ preventScroll: true });
    if (!restoring) this.saveState();
  }

  closeCall() {
    if (!this.callView.isOpen()) return;
    this.player.pause();
    this.callRoot.hidden = true;
    this.listView.hidden = false;
    if (this.listStale) {
      this.listStale = false;
      this.refresh();
    }
    this.list.ensureVisible();
    this.list.redraw();
    this.list.root.focus({ preventScroll: true });
    this.saveState();
  }

  step(delta) {
    if (!this.callView.isOpen()) return;
    const position = this.list.cursor + delta;
    if (position < 0 || position >= this.list.view.length) return;
    this.list.moveTo(position);
    this.openCall(this.list.currentCall());
  }

  focusSearch() {
    if (this.callView.isOpen()) this.closeCall();
    this.filters.search.focus();
    this.filters.search.select();
  }

  focusMain() {
    if (this.callView.isOpen()) this.callView.title.focus({ preventScroll: true });
    else this.list.root.focus({ preventScroll: true });
  }

  buildHelp() {
    const help = this.help;
    help.setAttribute("aria-labelledby", "help-title");
    const title = document.createElement("h2");
    title.id = "help-title";
    title.textContent = t("Keyboard shortcuts");
    const table = document.createElement("dl");
    table.className = "shortcuts";
    for (const row of shortcutTable()) {
      const dt = document.createElement("dt");
      row.keys.forEach(k => { const kbd = document.createElement("kbd"); kbd.textContent = k; dt.append(kbd, " "); });
      const dd = document.createElement("dd");
      dd.textContent = row.text;
      table.append(dt, dd);
    }
    const close = document.createElement("button");
    close.type = "button";
    close.textContent = t("Close");
    close.addEventListener("click", () => this.toggleHelp());
    help.append(title, table, close);
    help.addEventListener("close", () => this.focusMain());
  }

  toggleHelp() {
    if (this.help.open) this.help.close();
    else this.help.showModal();
  }

  loadState() {
    try { return JSON.parse(sessionStorage.getItem(STATE_KEY)) || {}; } catch (error) { return {}; }
  }

  saveState() {
    if (!this.list) return;
    const calls = this.model.calls;
    const cursor = this.list.currentCall();
    const state = {
      filters: this.filters.state(),
      sortColumn: this.list.sortColumn,
      sortDescending: this.list.sortDescending,
      cursor: cursor !== undefined ? callKey(calls[cursor], cursor) : null,
      open: this.callView.isOpen() && cursor !== undefined ? callKey(calls[cursor], cursor) : null,
    };
    try { sessionStorage.setItem(STATE_KEY, JSON.stringify(state)); } catch (error) { /* storage full or off */ }
  }
}

function connectPlayer(app) {
  if (typeof qt === "undefined" || !qt.webChannelTransport || typeof QWebChannel !== "function") {
    app.player.update({ available: false });
    return;
  }
  new QWebChannel(qt.webChannelTransport, channel => {
    const native = channel.objects.AudioPlayer;
    if (native) app.player.attach(native);
    app.bus.emit("channel", channel);
  });
}

async function start() {
  const loading = loadCalls();
  const catalog = loadCatalog(pageLocale()).catch(() => false);
  if (document.readyState === "loading")
    await new Promise(resolve => document.addEventListener("DOMContentLoaded", resolve, { once: true }));
  await catalog;
  const app = new App(await loading);
  window.vornPage = app;
  connectPlayer(app);
  document.body.classList.add("ready");
}

start();
