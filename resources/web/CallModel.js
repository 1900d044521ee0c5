// The call list as the page sees it: columns, readable values, search,
// filters and sort orders over gCalls. Works on index arrays so that
// 100 000 calls can be searched and sorted without copying records.
import { t } from "./i18n.js";
import { SearchIndex } from "./SearchIndex.js";
import { numberOrder, textOrder } from "./SortOrder.js";

export const FLAG_CC_OPEN = 0x00000008;
export const FLAG_CC_CLOSE = 0x00000010;
export const FLAG_LONG_TERM = 0x00400000;
export const STATUS = "__status";
export const NOTES = "__notes";

// Known fields come first, in this order; every other field follows by name.
const PREFERRED = ["time_start", "time_end", "direction", "caller", "callee", "agent", "duration", "id"];
// Shown in the call view but not as list columns.
const DETAIL_ONLY = new Set(["flags", "voice"]);

export function fieldLabel(key) {
  switch (key) {
    case STATUS: return t("Status");
    case NOTES: return t("Review notes");
    case "id": return t("Call ID");
    case "time_start": return t("Start");
    case "time_end": return t("End");
    case "direction": return t("Direction");
    case "caller": return t("Caller");
    case "callee": return t("Callee");
    case "agent": return t("Agent");
    case "duration": return t("Duration");
    case "voice": return t("Recording");
    case "flags": return t("Flags");
    default: {
      const words = String(key).replace(/[_-]+/g, " ").trim();
      return words ? words.charAt(0).toUpperCase() + words.slice(1) : String(key);
    }
  }
}

export function directionKind(value) {
  const v = String(value ?? "").toLowerCase();
  if (v === "in" || v === "inbound" || v === "incoming" || v === "i") return "in";
  if (v === "out" || v === "outbound" || v === "outgoing" || v === "o") return "out";
  if (v === "internal" || v === "int") return "internal";
  return v;
}

export function directionLabel(value) {
  switch (directionKind(value)) {
    case "in": return t("Incoming");
    case "out": return t("Outgoing");
    case "internal": return t("Internal");
    default: return String(value ?? "");
  }
}

// "m:ss", or "h:mm:ss"; with tenths of a second when asked (short passages).
export function formatClock(ms, tenths) {
  if (!Number.isFinite(ms) || ms < 0) ms = 0;
  if (tenths) return formatClock(ms) + "." + Math.floor((ms % 1000) / 100);
  const total = Math.floor(ms / 1000);
  const h = Math.floor(total / 3600);
  const m = Math.floor((total % 3600) / 60);
  const s = String(total % 60).padStart(2, "0");
  return h > 0 ? `${h}:${String(m).padStart(2, "0")}:${s}` : `${m}:${s}`;
}

export function formatValue(key, value) {
  if (value === null || value === undefined) return "";
  if (key === "direction") return directionLabel(value);
  if (key === "duration" && typeof value === "number") return formatClock(value * 1000);
  if (key === "flags" && typeof value === "number") return "0x" + (value >>> 0).toString(16).padStart(8, "0");
  return typeof value === "object" ? JSON.stringify(value) : String(value);
}

// Writing direction of a value: right to left only when it holds such
// letters. Numbers, dates and Latin names stay left to right in every page
// (the engine would otherwise lay out "+49 30 5550" in the page's direction).
const RTL_LETTERS = /[\u0590-\u08ff\ufb1d-\ufdff\ufe70-\ufeff]/;
export function textDirection(text) {
  return RTL_LETTERS.test(text) ? "rtl" : "ltr";
}

// The list's columns for the fields the calls have.
export function listColumns(seen) {
  const columns = [STATUS, NOTES];
  for (const key of PREFERRED) if (seen.has(key)) columns.push(key);
  for (const key of [...seen].sort()) if (!columns.includes(key) && !DETAIL_ONLY.has(key)) columns.push(key);
  return columns;
}

export function hasRecording(call) {
  const flags = typeof call.flags === "number" ? call.flags >>> 0 : 0;
  return !!call.voice && (flags & FLAG_CC_OPEN) !== 0 && (flags & FLAG_CC_CLOSE) !== 0;
}

export function isMarked(call) {
  return typeof call.flags === "number" && ((call.flags >>> 0) & FLAG_LONG_TERM) !== 0;
}

// Data files that a record names (not its recording): package paths such
// as "/app/data/x.pcap", and bare capture names, which the player looks up
// beside the recordings.
export function dataFiles(call) {
  const files = [];
  for (const [key, value] of Object.entries(call)) {
    if (key === "voice" || typeof value !== "string") continue;
    if (/^\/app\/(?!js\/)[^?#]*[^/]$/.test(value) || /^[^/\s?#]+\.pcap$/i.test(value)) files.push({ key, path: value });
  }
  return files;
}

const SEPARATORS = /[\s\-().\/]+/g;

function searchText(call) {
  let plain = "";
  let squeezed = "";
  for (const key in call) {
    const value = call[key];
    if (value === null || value === undefined || typeof value === "object") continue;
    const text = String(value);
    plain += text + "\u0001";
    // Only where taking the separators out changes the text: a term found
    // in the same text again finds nothing new.
    if (/\d/.test(text)) {
      const bare = text.replace(SEPARATORS, "");
      if (bare !== text) squeezed += bare + "\u0001";
    }
  }
  if (call.direction !== undefined) plain += directionLabel(call.direction) + "\u0001";
  return plain + "\u0002" + squeezed;
}

// Search terms: words that must all occur; a term made of digits and
// separators also matches the number written without its separators.
export function searchTerms(query) {
  return String(query).toLowerCase().split(/\s+/).filter(Boolean).map(term =>
    /^[+\d\-().\/]+$/.test(term) ? term.replace(SEPARATORS, "") || term : term);
}

function identity(n) {
  const order = new Int32Array(n);
  for (let i = 0; i < n; ++i) order[i] = i;
  return order;
}

export class CallModel {
  constructor(calls) {
    this.calls = Array.isArray(calls) ? calls : [];
    const n = this.calls.length;
    this.columns = this.findColumns();
    this.search = new SearchIndex(this.calls, searchText);
    this.orders = new Map();
    this.recording = new Uint8Array(n);
    this.marked = new Uint8Array(n);
    // Start days, taken when a date filter first asks.
    this.dayOf = null;
    const directions = new Map();
    for (let i = 0; i < n; ++i) {
      const call = this.calls[i] || {};
      this.recording[i] = hasRecording(call) ? 1 : 0;
      this.marked[i] = isMarked(call) ? 1 : 0;
      if (call.direction !== undefined && directions.size <= 20) {
        const kind = directionKind(call.direction);
        if (!directions.has(kind)) directions.set(kind, call.direction);
      }
    }
    this.directions = [...directions.entries()].map(([kind, sample]) => ({ kind, label: directionLabel(sample) }));
    this.lastTerms = [];
    this.lastMatch = null;
    // Notes per call, kept up to date by the notes.
    this.noteCounts = new Uint16Array(n);
  }

  notesChanged() { this.orders.delete(NOTES); }

  findColumns() {
    const seen = new Set();
    // Records of one package share their fields; a sample keeps this cheap.
    const step = Math.max(1, Math.floor(this.calls.length / 2000));
    for (let i = 0; i < this.calls.length; i += step) for (const key in this.calls[i]) seen.add(key);
    for (const key in this.calls[this.calls.length - 1] || {}) seen.add(key);
    return listColumns(seen);
  }

  searchReady() { return this.search.ready(); }

  // Search texts are built piecewise after the first rows are shown.
  buildTexts(deadline) { return this.search.build(deadline); }

  days() {
    if (!this.dayOf) {
      this.dayOf = new Array(this.calls.length);
      for (let i = 0; i < this.calls.length; ++i) {
        const start = (this.calls[i] || {}).time_start;
        this.dayOf[i] = typeof start === "string" ? start.slice(0, 10) : "";
      }
    }
    return this.dayOf;
  }

  sortKey(column, i) {
    const call = this.calls[i] || {};
    if (column === STATUS) return this.recording[i] * 2 + this.marked[i];
    if (column === NOTES) return this.noteCounts[i];
    const value = call[column];
    if (value === null || value === undefined) return "";
    if (column === "direction") return directionLabel(value).toLowerCase();
    return typeof value === "number" ? value : String(value).toLowerCase();
  }

  // Start times as seconds since 1970 (the zone does not matter for order);
  // NaN when the text is not "yyyy-MM-dd hh:mm:ss".
  static seconds(text) {
    if (typeof text !== "string" || text.length < 19) return NaN;
    // Digits read by code, which is several times quicker than slicing.
    const d2 = k => (text.charCodeAt(k) - 48) * 10 + text.charCodeAt(k + 1) - 48;
    const y = d2(0) * 100 + d2(2), mo = d2(5), d = d2(8), h = d2(11), mi = d2(14), s = d2(17);
    if (!(y >= 0 && mo >= 1 && mo <= 12 && d >= 0 && d <= 31 && h >= 0 && mi >= 0 && s >= 0)) return NaN;
    // Days from the civil date (proleptic Gregorian).
    const yy = mo <= 2 ? y - 1 : y;
    const era = Math.floor(yy / 400);
    const yoe = yy - era * 400;
    const doy = Math.floor((153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5) + d - 1;
    const doe = yoe * 365 + Math.floor(yoe / 4) - Math.floor(yoe / 100) + doy;
    return (era * 146097 + doe - 719468) * 86400 + h * 3600 + mi * 60 + s;
  }

  // Start times sort as the seconds they stand for, whatever their number.
  timeOrder() {
    const n = this.calls.length;
    const keys = new Float64Array(n);
    for (let i = 0; i < n; ++i) {
      const seconds = CallModel.seconds((this.calls[i] || {}).time_start);
      // Unreadable times first.
      keys[i] = Number.isFinite(seconds) ? Math.min(8.5e9, Math.max(1, seconds + 4e9)) : 0;
    }
    return numberOrder(keys);
  }

  // Ascending order of all calls by a column, cached per column.
  order(column) {
    let order = this.orders.get(column);
    if (order) return order;
    if (column === "time_start" && (order = this.timeOrder())) {
      this.orders.set(column, order);
      return order;
    }
    const n = this.calls.length;
    const keys = new Array(n);
    let numeric = true;
    for (let i = 0; i < n; ++i) {
      const key = this.sortKey(column, i);
      keys[i] = key;
      if (typeof key !== "number" && key !== "") numeric = false;
    }
    let sorted = true;
    if (numeric) {
      const values = new Float64Array(n);
      for (let i = 0; i < n; ++i) values[i] = keys[i] === "" ? -Infinity : keys[i];
      for (let i = 1; i < n && sorted; ++i) sorted = values[i - 1] <= values[i];
      order = sorted ? identity(n) : numberOrder(values);
    } else {
      const text = keys.map(k => String(k));
      for (let i = 1; i < n && sorted; ++i) sorted = text[i - 1] <= text[i];
      order = sorted ? identity(n) : textOrder(text);
    }
    this.orders.set(column, order);
    return order;
  }

  // Marks the calls that contain every search term; a longer query that
  // extends the previous one only looks at the previous matches.
  matchSearch(query) {
    const terms = searchTerms(query);
    if (terms.length === 0) {
      this.lastTerms = [];
      this.lastMatch = null;
      return null;
    }
    const narrowing = this.lastMatch && this.lastTerms.length > 0 && this.lastTerms.length <= terms.length
      && this.lastTerms.every((term, k) => terms[k].includes(term));
    const match = this.search.match(terms, narrowing ? this.lastMatch : null);
    this.lastTerms = terms;
    this.lastMatch = match;
    return match;
  }

  // The visible list: call indices in display order that pass all filters.
  query(state) {
    const match = this.matchSearch(state.query || "");
    const order = this.order(state.sortColumn || "time_start");
    const n = order.length;
    const from = state.from || "";
    const to = state.to || "";
    const direction = state.direction || "";
    const day = from || to ? this.days() : null;
    const out = new Int32Array(n);
    let count = 0;
    const descending = state.sortDescending;
    for (let k = 0; k < n; ++k) {
      const i = order[descending ? n - 1 - k : k];
      if (match && !match[i]) continue;
      if (state.recordingOnly && !this.recording[i]) continue;
      if (state.markedOnly && !this.marked[i]) continue;
      if (state.notesOnly && !this.noteCounts[i]) continue;
      if (from && day[i] < from) continue;
      if (to && (day[i] === "" || day[i] > to)) continue;
      if (direction && directionKind((this.calls[i] || {}).direction) !== direction) continue;
      out[count++] = i;
    }
    return out.subarray(0, count);
  }
}
