// The calls as the viewer's native index ("Calls" on the web channel)
// answers for them: it searches, filters and sorts, and the page asks only
// for the windows of rows it draws, so a million calls never reach the page.
// Same interface as LocalCalls.
import { t } from "./i18n.js";
import { directionKind, directionLabel, listColumns, searchTerms } from "./CallModel.js";
import { canHoldNotes, noteKey } from "./NoteStore.js";
import { callKey } from "./LocalCalls.js";

// Rows asked for at once, and how many of a view's windows and of the calls
// the page keeps (a few screens either way).
const WINDOW = 100;
const KEPT_WINDOWS = 64;
const KEPT_CALLS = 4000;
const FIRST_ROWS = 50;

function ask(native, method, ...args) {
  return new Promise(resolve => native[method](...args, resolve));
}

// One filtered, sorted list held by the native side: call indices by
// position, fetched window by window.
class IndexedView {
  constructor(owner, answer, query) {
    this.owner = owner;
    this.id = answer.view;
    this.count = answer.count;
    this.total = answer.total;
    this.query = query;
    this.windows = new Map(); // window number -> Int32Array of call indices
    this.loading = new Map(); // window number -> promise
  }

  at(position) {
    const window = this.windows.get(Math.floor(position / WINDOW));
    return window ? window[position % WINDOW] : undefined;
  }

  // Makes sure the calls at positions first..last-1 are at hand; null when
  // they are. Windows not yet asked for are asked for in one request.
  want(first, last) {
    const waits = [];
    const missing = [];
    last = Math.min(last, this.count);
    const lastWindow = Math.floor((last - 1) / WINDOW);
    for (let w = Math.floor(first / WINDOW); w <= lastWindow; ++w) {
      if (!this.windows.has(w)) {
        let end = w;
        while (end < lastWindow && !this.windows.has(end + 1) && !this.loading.has(end + 1)) ++end;
        waits.push(this.load(w, end - w + 1));
        w = end;
        continue;
      }
      const window = this.windows.get(w);
      for (let p = Math.max(first, w * WINDOW); p < Math.min(last, (w + 1) * WINDOW); ++p)
        if (!this.owner.call(window[p % WINDOW])) missing.push(window[p % WINDOW]);
    }
    if (missing.length) waits.push(this.owner.fetch(missing));
    return waits.length ? Promise.all(waits) : null;
  }

  // Windows w.. (n of them, at most 10: a request's limit).
  load(w, n = 1) {
    const loading = this.loading.get(w);
    if (loading) return loading;
    n = Math.min(n, 10);
    const fetched = this.fetchWindows(w, n);
    for (let k = 0; k < n; ++k) {
      const mine = fetched.finally(() => {
        if (this.loading.get(w + k) === mine) this.loading.delete(w + k);
      });
      this.loading.set(w + k, mine);
    }
    return this.loading.get(w);
  }

  async fetchWindows(w, n) {
    let answer = JSON.parse(await ask(this.owner.native, "rows", this.id, w * WINDOW, n * WINDOW));
    if (answer.gone) {
      // The native side keeps only the last few views: this one again.
      this.id = (await ask(this.owner.native, "view", this.query)).view;
      answer = JSON.parse(await ask(this.owner.native, "rows", this.id, w * WINDOW, n * WINDOW));
    }
    const indexes = Int32Array.from(answer.indexes || []);
    this.owner.remember(indexes, answer.calls || []);
    for (let k = 0; k < n && k * WINDOW < indexes.length; ++k) {
      if (this.windows.size >= KEPT_WINDOWS) this.windows.delete(this.windows.keys().next().value);
      this.windows.set(w + k, indexes.subarray(k * WINDOW, (k + 1) * WINDOW));
    }
  }

  async index(position) {
    if (position < 0 || position >= this.count) return undefined;
    if (this.at(position) === undefined) await this.load(Math.floor(position / WINDOW));
    return this.at(position);
  }

  async position(index) {
    for (const [w, window] of this.windows) {
      const at = window.indexOf(index);
      if (at >= 0) return w * WINDOW + at;
    }
    const position = await ask(this.owner.native, "position", this.id, index);
    return typeof position === "number" ? position : -1;
  }

  async range(offset, limit) {
    const indexes = [];
    for (let p = offset; p < Math.min(this.count, offset + limit); ++p) indexes.push(await this.index(p));
    return indexes;
  }
}

export class IndexedCalls {
  constructor(native, summary) {
    this.mode = "index";
    this.native = native;
    this.total = summary.total || 0;
    this.columns = listColumns(new Set(summary.keys || []));
    // The direction filter offers every kind, named after its first value.
    const kinds = new Map();
    for (const value of summary.directions || []) {
      if (value === undefined || kinds.size > 20) continue;
      const kind = directionKind(value);
      if (!kinds.has(kind)) kinds.set(kind, value);
    }
    this.directions = [...kinds.entries()].map(([kind, sample]) => ({ kind, label: directionLabel(sample) }));
    this.cache = new Map(); // call index -> call, oldest first
    this.asked = new Map(); // call index -> answer on its way
    this.notes = new Map(); // the note store's entries
  }

  query(state) {
    return {
      terms: searchTerms(state.query || ""),
      sortColumn: state.sortColumn || "time_start",
      sortDescending: !!state.sortDescending,
      recordingOnly: !!state.recordingOnly,
      markedOnly: !!state.markedOnly,
      notesOnly: !!state.notesOnly,
      from: state.from || "",
      to: state.to || "",
      direction: state.direction || "",
      labels: { in: t("Incoming"), out: t("Outgoing"), internal: t("Internal") },
      notes: [...this.notes.values()],
    };
  }

  // The first view, asked for while the page is being built; the page's
  // own first query takes it when it is the same.
  prefetch(state) {
    const query = this.query(state);
    this.early = { key: JSON.stringify(query), view: this.makeView(query) };
  }

  view(state) {
    const query = this.query(state);
    const early = this.early;
    this.early = null;
    return early && early.key === JSON.stringify(query) ? early.view : this.makeView(query);
  }

  async makeView(query) {
    const view = new IndexedView(this, await ask(this.native, "view", query), query);
    // The top rows at once: a new list mostly shows them.
    view.want(0, FIRST_ROWS);
    return view;
  }

  call(index) { return this.cache.get(index); }

  remember(indexes, calls) {
    for (let k = 0; k < indexes.length; ++k) {
      // Known calls stay the same objects (the call view compares them),
      // moved to the young end of the cache.
      const call = this.cache.get(indexes[k]) ?? calls[k] ?? {};
      this.cache.delete(indexes[k]);
      this.cache.set(indexes[k], call);
    }
    for (const index of this.cache.keys()) {
      if (this.cache.size <= KEPT_CALLS) break;
      this.cache.delete(index);
    }
  }

  async fetch(indexes) {
    const found = new Map();
    const missing = [];
    const waits = [];
    const take = answer => answer.forEach((call, index) => found.set(index, call));
    for (const index of indexes) {
      const call = this.cache.get(index);
      if (call) found.set(index, call);
      else if (this.asked.has(index)) waits.push(this.asked.get(index).then(take));
      else if (index >= 0 && index < this.total) missing.push(index);
    }
    for (let at = 0; at < missing.length; at += 1000) {
      const part = missing.slice(at, at + 1000);
      const answer = ask(this.native, "calls", part).then(text => {
        const calls = JSON.parse(text);
        this.remember(part, calls);
        return new Map(part.map((index, k) => [index, this.cache.get(index) ?? calls[k] ?? {}]));
      }).finally(() => part.forEach(index => this.asked.get(index) === answer && this.asked.delete(index)));
      part.forEach(index => this.asked.set(index, answer));
      waits.push(answer.then(take));
    }
    await Promise.all(waits);
    return indexes.map(index => found.get(index));
  }

  // The call a saved place names: where it was (the calls do not move
  // while the package stays the same).
  async find(key, hint) {
    if (!key) return undefined;
    if (Number.isInteger(hint) && hint >= 0 && hint < this.total) {
      const [call] = await this.fetch([hint]);
      if (callKey(call, hint) === key) return hint;
    }
    const bare = /^#(\d+)$/.exec(key);
    return bare && Number(bare[1]) < this.total ? Number(bare[1]) : undefined;
  }

  noteCount(index) {
    const call = this.cache.get(index);
    const entry = canHoldNotes(call) ? this.notes.get(noteKey(call.id, call.time_start)) : undefined;
    return entry ? Math.min(65535, entry[2]) : 0;
  }

  // The note store's entries, read at every query.
  setNotes(notes) { this.notes = notes; }
  setNote() {}

  searchReady() { return true; }
  forgetOrders() { this.native.forgetOrders(); }
}
