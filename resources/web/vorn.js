// The package page: wires the call list, the filters, the call view and the
// native player together through one event bus, and keeps the reviewer's
// place (search, filters, sort, open call) across reloads of the page, such
// as a language switch. The calls come through one asynchronous interface
// (LocalCalls: calls.js read by the page; IndexedCalls: the viewer's native
// index), so nothing here needs them all.
import { PackageAnalytics } from "./PackageAnalytics.js";
import { t, loadCatalog, pageLocale } from "./i18n.js";
import { EventBus } from "./EventBus.js";
import { NOTES } from "./CallModel.js";
import { LocalCalls, callKey } from "./LocalCalls.js";
import { IndexedCalls } from "./IndexedCalls.js";
import { CallList } from "./CallList.js";
import { Filters } from "./Filters.js";
import { CallView } from "./CallView.js";
import { Player } from "./Player.js";
import { Keyboard, shortcutTable } from "./Keyboard.js";
import { NoteStore } from "./NoteStore.js";
import { ReviewBar } from "./ReviewBar.js";
import { loadCalls } from "./CallLoader.js";

const STATE_KEY = "vorn-page";

function loadState() {
  try { return JSON.parse(sessionStorage.getItem(STATE_KEY)) || {}; } catch (error) { return {}; }
}

// The saved sort order as [column, descending].
function savedSort(saved, columns) {
  return [saved.sortColumn && columns.includes(saved.sortColumn) ? saved.sortColumn : "time_start",
    saved.sortColumn ? !!saved.sortDescending : true];
}

class App {
  // calls: LocalCalls or IndexedCalls.
  constructor(calls) {
    this.bus = new EventBus();
    this.calls = calls;
    this.player = new Player(this.bus);
    this.refreshCount = 0;
    this.refreshing = null;
    this.openCount = 0;

    document.title = t("Calls") + " – " + t("VORN Viewer");
    document.getElementById("app-title").textContent = t("Calls");
    const helpButton = document.getElementById("help-button");
    helpButton.textContent = t("Keyboard shortcuts");
    helpButton.title = t("Keyboard shortcuts") + " (?)";
    helpButton.addEventListener("click", () => this.toggleHelp());

    this.listView = document.getElementById("list-view");
    this.callRoot = document.getElementById("call-view");
    this.filters = new Filters(document.getElementById("filters"), calls, this.bus);
    this.list = new CallList(document.getElementById("call-list"), calls, this.bus);
    const analyticsRoot = document.createElement("section");
    document.getElementById("call-list").before(analyticsRoot);
    this.packageAnalytics = new PackageAnalytics(analyticsRoot, calls, this.bus);
    this.bus.on("channel", channel => this.packageAnalytics.attach(channel.objects.Analytics));
    this.notes = new NoteStore(calls, this.bus);
    this.reviewBar = new ReviewBar(document.getElementById("help-button"));
    this.bus.on("channel", channel => {
      this.notes.attach(channel.objects.Review);
      this.reviewBar.attach(channel.objects.Review);
    });
    // The call view is built once the first rows are shown (see start).
    this.callView = null;
    this.help = document.getElementById("help");
    this.buildHelp();
    this.keyboard = new Keyboard(this);

    this.bus.on("filters", () => this.refresh());
    this.bus.on("sort", column => {
      const descending = column === this.list.sortColumn ? !this.list.sortDescending : column === "time_start";
      this.list.setSort(column, descending);
      this.refresh();
    });
    this.bus.on("cursor", () => this.saveState());
    // "open" gives a call index, or { index, seek } to show a moment of it.
    this.bus.on("open", detail => {
      const { index, seek } = typeof detail === "object" && detail ? detail : { index: detail };
      this.openCall(index).then(shown => {
        if (shown && seek !== undefined) this.bus.emit("seek", seek);
      });
    });
    this.bus.on("close", () => this.closeCall());
    this.bus.on("step", delta => this.step(delta));
    this.bus.on("download", () => this.callOpen() && this.callView.downloadRecording());
    // The list follows the notes; an open call keeps its place in the list
    // until the reviewer goes back to it.
    this.bus.on("note-counts", () => {
      const state = this.filters.state();
      if (!state.notesOnly && this.list.sortColumn !== NOTES) this.list.redraw();
      else if (this.callOpen()) this.listStale = true;
      else this.refresh();
    });

  }

  // The reviewer's place back, then the first rows.
  async start() {
    const saved = loadState();
    this.filters.set(saved.filters || {});
    this.list.setSort(...savedSort(saved, this.calls.columns));
    // The first style and layout of the page, tens of milliseconds, done
    // while the index's first rows are on their way.
    void this.list.root.clientHeight;
    const cursor = await this.calls.find(saved.cursor, saved.cursorIndex);
    await this.refresh(cursor);
    await this.settled();
    performance.mark("vorn-first-rows");
    this.makeCallView();
    const open = saved.open === saved.cursor ? cursor : await this.calls.find(saved.open, saved.cursorIndex);
    if (open !== undefined) await this.openCall(open, true);
    else this.list.root.focus({ preventScroll: true });
    this.buildTextsWhenIdle();
  }

  mode() { return this.callOpen() ? "call" : "list"; }

  callOpen() { return !!this.callView && this.callView.isOpen(); }

  // Hidden until a call is opened, so not needed for the first rows.
  makeCallView() {
    if (!this.callView) this.callView = new CallView(this.callRoot, this.player, this.bus, this.notes);
    return this.callView;
  }

  // For tests and benchmarks, alike in both ways: every call of the package,
  // and the calls of the list in its order.
  async allCalls() {
    const indexes = Array.from({ length: this.calls.total }, (_, i) => i);
    const calls = [];
    for (let at = 0; at < indexes.length; at += 1000) calls.push(...await this.calls.fetch(indexes.slice(at, at + 1000)));
    return calls;
  }

  async shownCalls() {
    const view = this.list.view;
    const calls = [];
    for (let at = 0; at < view.count; at += 1000) calls.push(...await this.calls.fetch(await view.range(at, 1000)));
    return calls;
  }

  // Resolves once the latest change of the list is shown with its rows.
  async settled() {
    while (this.refreshing) await this.refreshing;
    await this.list.settled();
  }

  // Asks for the list the filters and sort describe; a later change wins
  // over an answer still on its way.
  refresh(keepCall) {
    const count = ++this.refreshCount;
    const done = this.showView(count, keepCall).finally(() => {
      if (this.refreshing === done) this.refreshing = null;
    });
    this.refreshing = done;
    return done;
  }

  async showView(count, keepCall) {
    const state = Object.assign(this.filters.state(), { sortColumn: this.list.sortColumn, sortDescending: this.list.sortDescending });
    const previous = keepCall !== undefined ? keepCall : this.list.currentCall();
    const view = await this.calls.view(state);
    if (count !== this.refreshCount) return;
    // The top rows are on their way meanwhile: the cursor is mostly there.
    const position = previous !== undefined && previous >= 0 ? await view.position(previous) : -1;
    if (count !== this.refreshCount) return;
    this.list.setView(view, position);
    this.filters.showCount(view.count, this.calls.total);
    this.saveState();
  }

  // The search texts are built in idle time so that the first keystroke is quick.
  buildTextsWhenIdle() {
    if (!this.calls.buildTexts) return;
    const work = deadline => {
      if (!this.calls.buildTexts(() => deadline.timeRemaining() < 2)) requestIdleCallback(work);
    };
    requestIdleCallback(work);
  }

  async openCurrent(andPlay) {
    const view = this.list.view;
    const index = await view.index(this.list.cursor);
    if (index === undefined || view !== this.list.view) return;
    if (await this.openCall(index) && andPlay) this.bus.emit("play-toggle");
  }

  // Shows a call; false when a later choice overtook it or it is gone.
  async openCall(index, restoring) {
    const count = ++this.openCount;
    const view = this.list.view;
    // The call shown stays the same object, so the call view keeps its state.
    const shown = this.makeCallView().call && this.openIndex === index ? this.callView.call : undefined;
    const [call] = shown ? [shown] : await this.calls.fetch([index]);
    const position = await view.position(index);
    if (count !== this.openCount || !call) return false;
    if (position >= 0 && position !== this.list.cursor) this.list.moveTo(position);
    this.listView.hidden = true;
    this.callRoot.hidden = false;
    this.openIndex = index;
    this.callView.show(call, Math.max(0, position), Math.max(1, view.count));
    this.callView.title.focus({ preventScroll: true });
    if (!restoring) this.saveState();
    return true;
  }

  closeCall() {
    if (!this.callOpen()) return;
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

  async step(delta) {
    if (!this.callOpen()) return;
    const position = this.list.cursor + delta;
    if (position < 0 || position >= this.list.count()) return;
    this.list.moveTo(position);
    const view = this.list.view;
    const index = await view.index(position);
    if (index !== undefined && view === this.list.view && this.list.cursor === position && this.callOpen())
      await this.openCall(index);
  }

  focusSearch() {
    if (this.callOpen()) this.closeCall();
    this.filters.search.focus();
    this.filters.search.select();
  }

  focusMain() {
    if (this.callOpen()) this.callView.title.focus({ preventScroll: true });
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

  saveState() {
    if (!this.list) return;
    const cursor = this.list.currentCall();
    const call = cursor !== undefined ? this.calls.call(cursor) : undefined;
    // The call's index is where to look first when the page comes back.
    const key = call ? callKey(call, cursor) : null;
    const state = {
      filters: this.filters.state(),
      sortColumn: this.list.sortColumn,
      sortDescending: this.list.sortDescending,
      cursor: key,
      cursorIndex: key ? cursor : null,
      open: this.callOpen() ? key : null,
    };
    try { sessionStorage.setItem(STATE_KEY, JSON.stringify(state)); } catch (error) { /* storage full or off */ }
  }
}

// channel: the page's web channel when it is already connected.
function connectPlayer(app, channel) {
  const connected = channel => {
    const native = channel.objects.AudioPlayer;
    if (native) app.player.attach(native);
    app.bus.emit("channel", channel);
  };
  if (channel) return connected(channel);
  if (typeof qt === "undefined" || !qt.webChannelTransport || typeof QWebChannel !== "function") {
    app.player.update({ available: false });
    return;
  }
  new QWebChannel(qt.webChannelTransport, connected);
}

async function start() {
  performance.mark("vorn-start");
  // index.html decides where the calls come from (see there).
  const source = window.vornStart || Promise.resolve({ channel: null, summary: null, calls: null });
  // The web channel, connecting meanwhile (null: the page connects it itself).
  const connecting = window.vornChannel || Promise.resolve(null);
  const loading = source.then(({ summary, calls }) => summary ? null : loadCalls(calls));
  const catalog = loadCatalog(pageLocale(), window.vornCatalog).catch(() => false);
  if (document.readyState === "loading")
    await new Promise(resolve => document.addEventListener("DOMContentLoaded", resolve, { once: true }));
  await catalog;
  const { channel, summary } = await source;
  let calls;
  if (summary) {
    calls = new IndexedCalls(channel.objects.Calls, summary);
    // The first list is asked for while the page is built.
    const saved = loadState();
    const [sortColumn, sortDescending] = savedSort(saved, calls.columns);
    calls.prefetch(Object.assign({}, saved.filters, { sortColumn, sortDescending }));
  } else {
    calls = new LocalCalls(await loading);
  }
  const app = new App(calls);
  window.vornPage = app;
  await app.start();
  connectPlayer(app, channel || await connecting);
  document.body.classList.add("ready");
}

start();
