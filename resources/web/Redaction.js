// Saving a passage as a clip, and redaction in the call view. Notes of the
// category "redact" mark passages that every save replaces by a tone or
// silence (the "redact" and "redactwith" query items of the player); a badge
// says so, and a toggle plays the call as it will be saved. The current
// call's notes come from the notes module's "notes-changed" events; without
// them (an older page) they are read from the native "Review" object.
import { t } from "./i18n.js";
import { effectQuery } from "./Player.js";
import { NO_EFFECTS } from "./Effects.js";

const FILL_KEY = "vorn.redactWith";

function el(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

function sameId(a, b) { return JSON.stringify(a ?? null) === JSON.stringify(b ?? null); }

// The passages of the notes to redact, as the player's "redact" item.
export function redactSpans(notes) {
  return (Array.isArray(notes) ? notes : [])
    .filter(n => n && n.category === "redact" && Number(n.end_ms) > Number(n.start_ms) && Number(n.start_ms) >= 0)
    .map(n => `${Math.floor(Number(n.start_ms))}-${Math.ceil(Number(n.end_ms))}`)
    .join(",");
}

export class Redaction {
  // onPlayChange: the playback query changed (toggle, choice or passages).
  constructor(bus, onPlayChange) {
    this.onPlayChange = onPlayChange;
    this.call = null;
    this.spans = "";
    this.seenNotesEvents = false;
    this.review = null;
    let stored = null;
    try { stored = sessionStorage.getItem(FILL_KEY); } catch (error) { /* no storage */ }
    this.fill = stored === "silence" ? "silence" : "tone";

    this.root = el("div", "redaction");
    this.root.id = "redaction";
    this.badge = el("span", "redacted-badge", t("redacted"));
    this.badge.id = "redacted-badge";
    this.badge.title = t("Saving replaces the passages marked for redaction.");
    this.savePassage = el("button", "download", t("Save passage"));
    this.savePassage.type = "button";
    this.savePassage.id = "save-passage";
    this.withSound = el("input");
    this.withSound.type = "checkbox";
    this.withSound.id = "passage-with-sound";
    const withLabel = el("label", "check");
    withLabel.append(this.withSound, el("span", "", t("with current sound settings")));
    this.fillChoice = el("select");
    this.fillChoice.id = "redact-with";
    for (const [value, text] of [["tone", t("Tone")], ["silence", t("Silence")]]) {
      const option = el("option", "", text);
      option.value = value;
      this.fillChoice.append(option);
    }
    this.fillChoice.value = this.fill;
    this.fillLabel = el("label", "redact-with");
    this.fillLabel.append(el("span", "", t("Redact with")), this.fillChoice);
    this.playRedacted = el("input");
    this.playRedacted.type = "checkbox";
    this.playRedacted.id = "play-redacted";
    this.playLabel = el("label", "check");
    this.playLabel.append(this.playRedacted, el("span", "", t("Play as it will be saved")));
    this.root.append(this.savePassage, withLabel, this.badge, this.fillLabel, this.playLabel);

    this.fillChoice.addEventListener("change", () => {
      this.fill = this.fillChoice.value === "silence" ? "silence" : "tone";
      try { sessionStorage.setItem(FILL_KEY, this.fill); } catch (error) { /* no storage */ }
      this.tellFill();
      if (this.playRedacted.checked) this.onPlayChange();
    });
    this.playRedacted.addEventListener("change", () => this.onPlayChange());
    bus.on("notes-changed", detail => {
      this.seenNotesEvents = true;
      if (detail && detail.call === this.call) this.setSpans(redactSpans(detail.notes));
    });
    bus.on("channel", channel => {
      this.review = channel && channel.objects ? channel.objects.Review || null : null;
      if (this.review && this.review.notesReplacedJs) this.review.notesReplacedJs.connect(() => this.readFromReview());
      this.tellFill();
      this.readFromReview();
    });
    this.setPassage(null);
    this.setSpans("");
  }

  // The window's "Export Recordings" redacts with the same choice.
  tellFill() {
    if (this.review && this.review.setRedactWith) this.review.setRedactWith(this.fill);
  }

  readFromReview() {
    if (this.seenNotesEvents || !this.review || !this.call) return;
    const call = this.call;
    this.review.allNotes(all => {
      if (this.seenNotesEvents || this.call !== call) return;
      const entry = (all || []).find(c => sameId(c.id, call.id) && String(c.time_start) === String(call.time_start ?? "").slice(0, 19));
      this.setSpans(redactSpans(entry ? entry.notes : []));
    });
  }

  setCall(call) {
    this.call = call;
    this.setSpans("");
    this.readFromReview();
  }

  setSpans(spans) {
    const changed = spans !== this.spans;
    this.spans = spans;
    const on = !!spans;
    this.badge.hidden = !on;
    this.fillLabel.hidden = !on;
    this.playLabel.hidden = !on;
    if (changed && this.playRedacted.checked) this.onPlayChange();
  }

  // The passage "Save passage" saves: the zoom passage (a drag selection or
  // a range note picked in the list), or none.
  setPassage(zoom) {
    this.passage = zoom;
    this.savePassage.disabled = !zoom;
    this.savePassage.title = zoom ? t("Save passage") : t("Drag across the waveform or pick a range note to choose a passage.");
  }

  redactItems() {
    return this.spans ? `&redact=${encodeURIComponent(this.spans)}&redactwith=${this.fill}` : "";
  }

  // Query items for playback: redacted while the toggle is on.
  playItems() { return this.playRedacted.checked ? this.redactItems() : ""; }

  // The query of a whole recording's save, and of the passage's.
  saveQuery() { return this.spans ? effectQuery(NO_EFFECTS, null) + this.redactItems() : ""; }
  passageQuery(effects) {
    if (!this.passage) return null;
    return effectQuery(this.withSound.checked ? effects : NO_EFFECTS, this.passage) + this.redactItems();
  }
}
