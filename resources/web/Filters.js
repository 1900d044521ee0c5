// Search box and filters above the list. Announces every change as
// "filters" with the complete filter state.
import { t, tn } from "./i18n.js";
import { DateField } from "./DateField.js";

function labelled(text, control) {
  const label = document.createElement("label");
  label.className = "filter";
  const caption = document.createElement("span");
  caption.textContent = text;
  label.append(caption, control);
  return label;
}

export class Filters {
  constructor(root, calls, bus) {
    this.bus = bus;
    this.root = root;
    root.setAttribute("role", "search");

    this.search = document.createElement("input");
    this.search.type = "search";
    this.search.id = "search";
    this.search.placeholder = t("Search all fields (press /)");
    this.search.setAttribute("aria-label", t("Search calls"));
    this.search.autocomplete = "off";
    this.search.spellcheck = false;

    this.fromField = new DateField("filter-from");
    this.from = this.fromField.element;
    this.toField = new DateField("filter-to");
    this.to = this.toField.element;

    this.direction = document.createElement("select");
    this.direction.id = "filter-direction";
    const all = new Option(t("All directions"), "");
    this.direction.add(all);
    for (const { kind, label } of calls.directions) this.direction.add(new Option(label, kind));

    this.recording = document.createElement("input");
    this.recording.type = "checkbox";
    this.recording.id = "filter-recording";
    this.marked = document.createElement("input");
    this.marked.type = "checkbox";
    this.marked.id = "filter-marked";
    this.withNotes = document.createElement("input");
    this.withNotes.type = "checkbox";
    this.withNotes.id = "filter-notes";

    this.reset = document.createElement("button");
    this.reset.type = "button";
    this.reset.id = "filter-reset";
    this.reset.className = "quiet";
    this.reset.textContent = t("Clear filters");

    this.count = document.createElement("output");
    this.count.id = "count";
    this.count.setAttribute("aria-live", "polite");

    const searchBox = document.createElement("div");
    searchBox.className = "search-box";
    searchBox.append(this.search);

    const checks = document.createElement("div");
    checks.className = "filter-checks";
    const recordingLabel = document.createElement("label");
    recordingLabel.append(this.recording, document.createTextNode(t("Has recording")));
    const markedLabel = document.createElement("label");
    markedLabel.append(this.marked, document.createTextNode(t("Marked for long-term storage")));
    const notesLabel = document.createElement("label");
    notesLabel.append(this.withNotes, document.createTextNode(t("Has notes")));
    checks.append(recordingLabel, markedLabel, notesLabel);

    root.append(searchBox,
      labelled(t("From"), this.from),
      labelled(t("To"), this.to),
      labelled(t("Direction"), this.direction),
      checks, this.reset, this.count);
    if (!calls.directions.length) this.direction.closest("label").hidden = true;

    const changed = () => this.bus.emit("filters", this.state());
    this.search.addEventListener("input", changed);
    for (const control of [this.from, this.to, this.direction, this.recording, this.marked, this.withNotes])
      control.addEventListener("change", changed);
    this.reset.addEventListener("click", () => {
      this.set({ query: "", from: "", to: "", direction: "", recordingOnly: false, markedOnly: false, notesOnly: false });
      changed();
      this.search.focus();
    });
  }

  state() {
    return {
      query: this.search.value,
      from: this.fromField.value,
      to: this.toField.value,
      direction: this.direction.value,
      recordingOnly: this.recording.checked,
      markedOnly: this.marked.checked,
      notesOnly: this.withNotes.checked,
    };
  }

  set(state) {
    this.search.value = state.query || "";
    this.fromField.value = state.from || "";
    this.toField.value = state.to || "";
    this.direction.value = state.direction || "";
    this.recording.checked = !!state.recordingOnly;
    this.marked.checked = !!state.markedOnly;
    this.withNotes.checked = !!state.notesOnly;
  }

  showCount(shown, total) {
    this.count.textContent = shown === total
      ? tn("{n} call", "{n} calls", total, { n: total.toLocaleString() })
      : tn("{shown} of {n} call", "{shown} of {n} calls", total, { shown: shown.toLocaleString(), n: total.toLocaleString() });
    this.reset.disabled = shown === total && !this.search.value;
  }
}
