// The calls held by the page itself (calls.js read whole into a CallModel),
// behind the same asynchronous interface as the native index, so that the
// list, the filters, the call view and the notes need not know where the
// calls live. Every answer here is at hand at once.
import { CallModel } from "./CallModel.js";
import { canHoldNotes, noteKey } from "./NoteStore.js";

// How the reviewer's place names a call across reloads.
export function callKey(call, index) {
  return call && call.id !== undefined ? `${call.id}|${call.time_start ?? ""}` : `#${index}`;
}

// One filtered, sorted list: call indices by position.
class LocalView {
  constructor(order, total) {
    this.order = order;
    this.count = order.length;
    this.total = total;
  }

  at(position) { return this.order[position]; }
  // Rows wanted on screen: nothing to wait for.
  want() { return null; }
  async index(position) { return this.order[position]; }
  async position(index) { return this.order.indexOf(index); }
  async range(offset, limit) { return Array.from(this.order.subarray(offset, offset + limit)); }
}

export class LocalCalls {
  constructor(calls) {
    this.mode = "local";
    this.model = new CallModel(calls);
    this.total = this.model.calls.length;
    this.columns = this.model.columns;
    this.directions = this.model.directions;
    this.indexOfKey = null;
  }

  async view(state) { return new LocalView(this.model.query(state), this.total); }

  // The call at an index when the page holds it (here: always).
  call(index) {
    return index >= 0 && index < this.total ? this.model.calls[index] || {} : undefined;
  }

  async fetch(indexes) { return indexes.map(i => this.call(i)); }

  // The call a saved place names: where it was, else the first call with that key.
  async find(key, hint) {
    if (!key) return undefined;
    if (Number.isInteger(hint) && callKey(this.model.calls[hint], hint) === key) return hint;
    const calls = this.model.calls;
    for (let i = 0; i < calls.length; ++i) if (callKey(calls[i], i) === key) return i;
    return undefined;
  }

  noteCount(index) { return this.model.noteCounts[index] || 0; }

  // Call index by note key, built once: only needed when notes arrive.
  callIndex(key) {
    if (!this.indexOfKey) {
      this.indexOfKey = new Map();
      this.model.calls.forEach((call, i) => {
        if (canHoldNotes(call)) this.indexOfKey.set(noteKey(call.id, call.time_start), i);
      });
    }
    return this.indexOfKey.get(key);
  }

  // notes: key -> [id, start time, count], every call that holds notes.
  setNotes(notes) {
    const counts = this.model.noteCounts;
    counts.fill(0);
    for (const [key, entry] of notes) {
      const i = this.callIndex(key);
      if (i !== undefined) counts[i] = Math.min(65535, entry[2]);
    }
    this.model.notesChanged();
  }

  setNote(key, entry) {
    const i = this.callIndex(key);
    if (i !== undefined) this.model.noteCounts[i] = Math.min(65535, entry ? entry[2] : 0);
    this.model.notesChanged();
  }

  // Search texts are built piecewise in idle time after the first rows.
  buildTexts(deadline) { return this.model.buildTexts(deadline); }
  searchReady() { return this.model.searchReady(); }
  // Benchmarks measure sorts that are not cached.
  forgetOrders() { this.model.orders.clear(); }
}
