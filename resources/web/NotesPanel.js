// The reviewer's notes on the call shown: marks and bands on the waveform, a
// list under the player (click to go there, edit, delete) and the form that
// adds a note at the playhead or over the passage. Announces the call's notes
// as "notes-changed" whenever they change or another call is shown.
import { t, tn } from "./i18n.js";
import { formatClock, textDirection } from "./CallModel.js";
import { CATEGORIES, categoryLabel, canHoldNotes, isRange } from "./NoteStore.js";

// Steps to a note this close to the playhead pass it by.
const STEP_SLACK = 300;

function el(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

function button(className, text, title) {
  const b = el("button", className, text);
  b.type = "button";
  if (title) b.title = title;
  return b;
}

export function noteTimeText(note) {
  const start = formatClock(note.start_ms, true);
  return isRange(note) ? `${start} – ${formatClock(note.end_ms, true)}` : start;
}

export class NotesPanel {
  // view: the CallView (zoom, player position, going to a moment).
  constructor(view, store, bus) {
    this.view = view;
    this.store = store;
    this.bus = bus;
    this.call = null;
    this.notes = [];
    this.editing = -1;
    this.span = null;

    this.root = el("section", "notes");
    this.root.id = "notes";
    this.root.setAttribute("aria-labelledby", "notes-title");
    const head = el("div", "notes-head");
    const title = el("h3", "", t("Review notes"));
    title.id = "notes-title";
    this.count = el("span", "notes-count");
    this.addButton = button("quiet", t("Add note"), t("Add a note at the playhead, or on the passage when one is selected") + " (N)");
    this.addButton.id = "note-add";
    head.append(title, this.count, el("span", "spacer"), this.addButton);

    this.form = el("form", "note-form");
    this.form.id = "note-form";
    this.form.hidden = true;
    this.formSpan = el("span", "note-form-span");
    this.category = el("select");
    this.category.id = "note-category";
    this.category.setAttribute("aria-label", t("Category"));
    for (const c of CATEGORIES) this.category.add(new Option(categoryLabel(c), c));
    this.text = el("textarea");
    this.text.id = "note-text";
    this.text.rows = 3;
    this.text.dir = "auto";
    this.text.setAttribute("aria-label", t("Note"));
    this.text.placeholder = t("What did you find? (Ctrl+Enter saves)");
    const save = button("primary", t("Save note"));
    save.id = "note-save";
    save.type = "submit";
    const cancel = button("quiet", t("Cancel"));
    cancel.id = "note-cancel";
    const formTop = el("div", "note-form-top");
    formTop.append(this.formSpan, this.category);
    const formButtons = el("div", "note-form-buttons");
    formButtons.append(save, cancel);
    this.form.append(formTop, this.text, formButtons);

    this.list = el("ol", "notes-list");
    this.list.id = "notes-list";
    this.empty = el("p", "notes-empty muted-text", t("No notes yet. Press N to add one at the playhead."));
    this.root.append(head, this.form, this.list, this.empty);

    // The marks lie over the waveform but leave clicks and drags to it.
    this.marks = el("div", "note-marks");
    this.marks.setAttribute("aria-hidden", "true");
    view.waveform.stage.append(this.marks);

    this.addButton.addEventListener("click", () => this.startAdding());
    this.form.addEventListener("submit", event => { event.preventDefault(); this.commit(); });
    cancel.addEventListener("click", () => this.closeForm());
    this.form.addEventListener("keydown", event => {
      if (event.key === "Escape") { this.closeForm(); event.preventDefault(); event.stopPropagation(); }
      else if (event.key === "Enter" && event.ctrlKey) { this.commit(); event.preventDefault(); event.stopPropagation(); }
    });
    this.list.addEventListener("click", event => this.listClicked(event));
    bus.on("note-add", () => this.startAdding());
    bus.on("note-step", direction => this.step(direction));
    bus.on("notes-replaced", () => { if (this.call) this.setCall(this.call, true); });
  }

  setCall(call, keepForm) {
    this.call = call;
    this.notes = this.store.notes(call);
    if (!keepForm) this.closeForm();
    const usable = canHoldNotes(call);
    this.addButton.disabled = !usable;
    this.root.classList.toggle("unavailable", !usable);
    this.render();
    this.bus.emit("notes-changed", { call, notes: this.notes.slice() });
  }

  // The moment or passage a new note covers: the zoom passage, else the playhead.
  currentSpan() {
    const zoom = this.view.zoom;
    if (zoom) return { start: Math.round(zoom.start), end: Math.round(zoom.end) };
    const at = Math.round(this.view.playheadMs());
    return { start: at, end: at };
  }

  startAdding() {
    if (!this.call || !canHoldNotes(this.call)) return;
    this.editing = -1;
    this.span = this.currentSpan();
    this.category.value = "finding";
    this.text.value = "";
    this.openForm();
  }

  startEditing(index) {
    const note = this.notes[index];
    if (!note) return;
    this.editing = index;
    this.span = { start: note.start_ms, end: note.end_ms };
    this.category.value = CATEGORIES.includes(note.category) ? note.category : "finding";
    this.text.value = note.text;
    this.openForm();
  }

  openForm() {
    this.formSpan.textContent = noteTimeText({ start_ms: this.span.start, end_ms: this.span.end });
    this.form.hidden = false;
    this.text.focus({ preventScroll: false });
  }

  closeForm() {
    const wasOpen = !this.form.hidden;
    this.form.hidden = true;
    this.editing = -1;
    if (wasOpen) this.view.focusTitle();
  }

  commit() {
    if (this.form.hidden || !this.call) return;
    const notes = this.notes.slice();
    const fields = { start_ms: this.span.start, end_ms: this.span.end, category: this.category.value, text: this.text.value };
    // Keys the page does not know (from another tool) stay with the note.
    if (this.editing >= 0 && notes[this.editing]) notes[this.editing] = Object.assign({}, notes[this.editing], fields);
    else notes.push(fields);
    this.closeForm();
    this.save(notes);
  }

  remove(index) {
    const notes = this.notes.slice();
    notes.splice(index, 1);
    this.save(notes);
    this.view.focusTitle();
  }

  save(notes) {
    this.store.set(this.call, notes);
    this.notes = this.store.notes(this.call);
    this.render();
  }

  listClicked(event) {
    const item = event.target.closest(".note");
    if (!item) return;
    const index = Number(item.dataset.index);
    const action = event.target.closest("button");
    if (action && action.dataset.action === "edit") this.startEditing(index);
    else if (action && action.dataset.action === "delete") this.remove(index);
    else if (action && action.dataset.action === "go") this.goTo(this.notes[index]);
  }

  // A point note: the playhead goes there. A range: its passage is selected,
  // as a drag would, so that it can be looped or saved.
  goTo(note) {
    if (!note) return;
    if (isRange(note)) this.bus.emit("zoom", { start: note.start_ms, end: note.end_ms });
    else this.view.goTo(note.start_ms);
  }

  step(direction) {
    if (!this.notes.length) return;
    const here = this.view.playheadMs();
    const target = direction < 0
      ? [...this.notes].reverse().find(n => n.start_ms < here - STEP_SLACK)
      : this.notes.find(n => n.start_ms > here + STEP_SLACK);
    if (target) this.view.goTo(target.start_ms);
  }

  render() {
    const notes = this.notes;
    this.count.textContent = notes.length ? tn("{n} note", "{n} notes", notes.length, { n: notes.length.toLocaleString() }) : "";
    this.list.textContent = "";
    notes.forEach((note, index) => {
      const item = el("li", "note cat-" + (CATEGORIES.includes(note.category) ? note.category : "other"));
      item.dataset.index = String(index);
      const time = button("note-time", noteTimeText(note), isRange(note) ? t("Select this passage") : t("Go to this moment"));
      time.dataset.action = "go";
      time.dir = "ltr";
      const category = el("span", "note-category", categoryLabel(note.category));
      const text = el("p", "note-text", note.text);
      text.dir = textDirection(note.text) === "rtl" ? "rtl" : "auto";
      const edit = button("quiet note-edit", t("Edit"));
      edit.dataset.action = "edit";
      const remove = button("quiet note-delete", t("Delete"));
      remove.dataset.action = "delete";
      const actions = el("span", "note-actions");
      actions.append(edit, remove);
      item.append(time, category, actions, text);
      this.list.append(item);
    });
    this.empty.hidden = notes.length > 0 || !canHoldNotes(this.call);
    this.drawMarks();
  }

  // Marks and bands where the notes lie in the part of the call shown.
  drawMarks() {
    this.marks.textContent = "";
    const [start, end] = this.view.waveform.range();
    if (!(end > start) || !this.view.recording) return;
    for (const note of this.notes) {
      if (note.end_ms < start || note.start_ms > end) continue;
      const from = Math.max(0, (note.start_ms - start) / (end - start));
      const to = Math.min(1, (note.end_ms - start) / (end - start));
      const mark = el("div", (isRange(note) ? "note-band" : "note-point") + " cat-" + (CATEGORIES.includes(note.category) ? note.category : "other"));
      mark.style.left = (from * 100).toFixed(3) + "%";
      if (isRange(note)) mark.style.width = (Math.max(0, to - from) * 100).toFixed(3) + "%";
      this.marks.append(mark);
    }
  }
}
