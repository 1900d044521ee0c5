// The reviewer's notes as the page holds them: every call's notes by call id
// and start time. They are read from the native "Review" object after each
// load of the page (so a language switch or a reload keeps them) and every
// change is sent back at once; the native review is what gets saved.
import { t } from "./i18n.js";

export const CATEGORIES = ["finding", "follow-up", "ok", "redact"];

export function categoryLabel(category) {
  switch (category) {
    case "finding": return t("Finding");
    case "follow-up": return t("Follow-up");
    case "ok": return t("OK");
    case "redact": return t("Redact");
    default: return String(category);
  }
}

// Review files name a call by its id and its start time to the second.
export function noteKey(id, timeStart) {
  return JSON.stringify(id ?? null) + "|" + String(timeStart ?? "").slice(0, 19);
}

// Only a call with an id and a start time can be found again in a review.
export function canHoldNotes(call) {
  if (!call) return false;
  const id = call.id;
  const idOk = (typeof id === "number" && Number.isFinite(id)) || (typeof id === "string" && id !== "");
  return idOk && typeof call.time_start === "string" && call.time_start !== "";
}

export function isRange(note) { return note.end_ms > note.start_ms; }

export function byTime(a, b) { return a.start_ms - b.start_ms || a.end_ms - b.end_ms; }

function cleanNote(note) {
  const start = Math.max(0, Math.round(Number(note.start_ms) || 0));
  const end = Math.max(start, Math.round(Number(note.end_ms) || 0));
  return Object.assign({}, note, { start_ms: start, end_ms: end, category: String(note.category || "finding"), text: String(note.text ?? "") });
}

export class NoteStore {
  // calls: the page's calls (LocalCalls or IndexedCalls), told which calls hold notes.
  constructor(calls, bus) {
    this.calls = calls;
    this.bus = bus;
    this.review = null;
    this.byKey = new Map();
    // key -> [id, start time to the second, count]: what the calls are told.
    this.entries = new Map();
  }

  attach(review) {
    if (!review || typeof review.allNotes !== "function") return;
    this.review = review;
    if (review.notesReplacedJs) review.notesReplacedJs.connect(() => this.reload());
    this.reload();
  }

  reload() {
    if (!this.review) return;
    this.review.allNotes(all => {
      this.byKey.clear();
      this.entries.clear();
      for (const entry of Array.isArray(all) ? all : []) {
        if (!entry || !Array.isArray(entry.notes) || !entry.notes.length) continue;
        const key = noteKey(entry.id, entry.time_start);
        this.byKey.set(key, entry.notes.map(cleanNote).sort(byTime));
        this.entries.set(key, [entry.id ?? null, String(entry.time_start ?? "").slice(0, 19), entry.notes.length]);
      }
      this.recount();
      this.bus.emit("notes-replaced");
    });
  }

  recount() {
    this.calls.setNotes(this.entries);
    this.bus.emit("note-counts");
  }

  // Notes of a call as the list counts them.
  count(call) {
    if (!canHoldNotes(call)) return 0;
    const entry = this.entries.get(noteKey(call.id, call.time_start));
    return entry ? Math.min(65535, entry[2]) : 0;
  }

  notes(call) {
    if (!canHoldNotes(call)) return [];
    return (this.byKey.get(noteKey(call.id, call.time_start)) || []).slice();
  }

  set(call, notes) {
    if (!canHoldNotes(call)) return;
    const key = noteKey(call.id, call.time_start);
    const clean = notes.map(cleanNote).sort(byTime);
    if (clean.length) {
      this.byKey.set(key, clean);
      this.entries.set(key, [call.id, String(call.time_start).slice(0, 19), clean.length]);
    } else {
      this.byKey.delete(key);
      this.entries.delete(key);
    }
    this.calls.setNote(key, this.entries.get(key));
    this.bus.emit("note-counts");
    if (this.review) this.review.setCallNotes(call.id, String(call.time_start).slice(0, 19), clean);
    this.bus.emit("notes-changed", { call, notes: clean.slice() });
  }
}
