// The call list: a grid whose header sorts and whose body draws only the
// rows in sight, so a million calls scroll as smoothly as 100. The rows of
// a view may arrive later than its count (the native index sends windows):
// a row is drawn once its call is there.
import { t } from "./i18n.js";
import { STATUS, NOTES, fieldLabel, formatValue, textDirection, hasRecording, isMarked } from "./CallModel.js";

const ROW_HEIGHT = 34;
const OVERSCAN = 6;

function columnWidth(key) {
  switch (key) {
    case STATUS: return "4.5em";
    case NOTES: return "4.5em";
    case "time_start": case "time_end": return "12.5em";
    case "direction": return "7.5em";
    case "duration": return "5.5em";
    case "id": return "5.5em";
    case "caller": case "callee": return "minmax(11.5em, 1.2fr)";
    case "agent": return "minmax(8em, 1fr)";
    default: return "minmax(6.5em, 1fr)";
  }
}

export class CallList {
  // calls: the page's calls (LocalCalls or IndexedCalls).
  constructor(root, calls, bus) {
    this.root = root;
    this.calls = calls;
    this.bus = bus;
    this.view = { count: 0, at: () => undefined, want: () => null };
    this.waiting = null;
    this.cursor = 0;
    this.sortColumn = "time_start";
    this.sortDescending = true;
    this.rows = [];

    root.setAttribute("role", "grid");
    root.setAttribute("aria-label", t("Calls"));
    root.setAttribute("aria-colcount", String(calls.columns.length));
    root.tabIndex = 0;
    const widths = calls.columns.map(columnWidth);
    root.style.setProperty("--columns", widths.join(" "));
    // Header and rows share one width, so every row lines up with the header
    // whatever its contents.
    const minimum = widths.reduce((sum, w) => sum + parseFloat(w.replace("minmax(", "")), 0);
    root.style.setProperty("--row-min", minimum + "em");

    this.header = document.createElement("div");
    this.header.className = "list-header";
    this.header.setAttribute("role", "row");
    this.header.setAttribute("aria-rowindex", "1");
    calls.columns.forEach((key, c) => {
      const cell = document.createElement("button");
      cell.type = "button";
      cell.className = "list-heading";
      cell.setAttribute("role", "columnheader");
      cell.setAttribute("aria-colindex", String(c + 1));
      cell.dataset.column = key;
      cell.tabIndex = -1;
      const label = document.createElement("span");
      label.textContent = fieldLabel(key);
      const arrow = document.createElement("span");
      arrow.className = "sort-arrow";
      arrow.setAttribute("aria-hidden", "true");
      cell.append(label, arrow);
      cell.title = t("Sort by this column");
      cell.addEventListener("click", () => this.bus.emit("sort", key));
      this.header.appendChild(cell);
    });

    this.canvas = document.createElement("div");
    this.canvas.className = "list-canvas";
    this.canvas.setAttribute("role", "rowgroup");
    this.empty = document.createElement("p");
    this.empty.className = "list-empty";
    this.empty.hidden = true;
    root.append(this.header, this.canvas, this.empty);

    root.addEventListener("scroll", () => this.schedule(), { passive: true });
    window.addEventListener("resize", () => this.schedule());
    this.canvas.addEventListener("click", event => {
      const row = event.target.closest(".list-row");
      if (!row) return;
      this.moveTo(Number(row.dataset.position));
      root.focus({ preventScroll: true });
    });
    this.canvas.addEventListener("dblclick", event => {
      const row = event.target.closest(".list-row");
      if (!row) return;
      const view = this.view;
      view.index(Number(row.dataset.position)).then(index => {
        if (index !== undefined && view === this.view) this.bus.emit("open", index);
      });
    });
    this.pending = false;
  }

  setSort(column, descending) {
    this.sortColumn = column;
    this.sortDescending = descending;
    for (const cell of this.header.children) {
      const active = cell.dataset.column === column;
      cell.setAttribute("aria-sort", active ? (descending ? "descending" : "ascending") : "none");
      cell.querySelector(".sort-arrow").textContent = active ? (descending ? "▼" : "▲") : "";
    }
  }

  // Shows a new result with the cursor at a position (the caller finds the
  // call it was on in the new view; the top otherwise).
  setView(view, position) {
    this.view = view;
    this.waiting = null;
    for (const row of this.rows) row.renderedCall = undefined;
    this.cursor = Math.min(Math.max(0, position), Math.max(0, view.count - 1));
    this.announce = view.count > 0 && this.currentCall() === undefined;
    this.canvas.style.height = view.count * ROW_HEIGHT + "px";
    this.root.setAttribute("aria-rowcount", String(view.count + 1));
    this.empty.hidden = view.count > 0;
    this.empty.textContent = this.calls.total ? t("No call matches the search and filters.") : t("This package holds no calls.");
    // Scrolled to the cursor first, so that only the rows in sight there are asked for.
    this.ensureVisible();
    this.render();
  }

  count() { return this.view.count; }

  // Resolves once every row in sight is drawn with its call.
  async settled() {
    while (this.waiting) await this.waiting;
  }

  // Values changed under the same calls (notes): every row is drawn again.
  redraw() {
    for (const row of this.rows) row.renderedCall = undefined;
    this.render();
  }

  // The call under the cursor, once its place in the view is known.
  currentCall() {
    return this.view.count ? this.view.at(this.cursor) : undefined;
  }

  moveTo(position) {
    if (!this.view.count) return;
    this.cursor = Math.max(0, Math.min(this.view.count - 1, position));
    this.ensureVisible();
    this.render();
    const index = this.currentCall();
    // A cursor on a row still coming is announced again when it is drawn.
    this.announce = index === undefined || !this.calls.call(index);
    this.bus.emit("cursor", index);
  }

  moveBy(delta) { this.moveTo(this.cursor + delta); }

  pageSize() { return Math.max(1, Math.floor((this.root.clientHeight - this.header.offsetHeight) / ROW_HEIGHT) - 1); }

  ensureVisible() {
    const top = this.cursor * ROW_HEIGHT;
    const visible = this.root.clientHeight - this.header.offsetHeight;
    if (top < this.root.scrollTop) this.root.scrollTop = top;
    else if (top + ROW_HEIGHT > this.root.scrollTop + visible) this.root.scrollTop = top + ROW_HEIGHT - visible;
  }

  schedule() {
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => { this.pending = false; this.render(); });
  }

  makeRow() {
    const row = document.createElement("div");
    row.className = "list-row";
    row.setAttribute("role", "row");
    this.calls.columns.forEach((key, c) => {
      const cell = document.createElement("div");
      cell.className = "list-cell";
      cell.setAttribute("role", "gridcell");
      cell.setAttribute("aria-colindex", String(c + 1));
      // Numbers and names keep their own direction inside a right-to-left page.
      if (key === STATUS) cell.classList.add("status");
      else cell.appendChild(document.createElement("bdi"));
      row.appendChild(cell);
    });
    this.canvas.appendChild(row);
    return row;
  }

  render() {
    const height = this.root.clientHeight || 600;
    const first = Math.max(0, Math.floor(this.root.scrollTop / ROW_HEIGHT) - OVERSCAN);
    const last = Math.min(this.view.count, Math.ceil((this.root.scrollTop + height) / ROW_HEIGHT) + OVERSCAN);
    const needed = Math.max(0, last - first);
    while (this.rows.length < needed) this.rows.push(this.makeRow());
    const columns = this.calls.columns;
    let missing = false;
    for (let r = 0; r < this.rows.length; ++r) {
      const row = this.rows[r];
      const position = first + r;
      if (r >= needed) {
        row.hidden = true;
        continue;
      }
      row.hidden = false;
      const index = this.view.at(position);
      const call = index === undefined ? undefined : this.calls.call(index);
      row.style.transform = `translateY(${position * ROW_HEIGHT}px)`;
      row.dataset.position = String(position);
      if (call) row.dataset.call = String(index);
      else delete row.dataset.call;
      row.setAttribute("aria-rowindex", String(position + 2));
      const active = position === this.cursor;
      row.classList.toggle("active", active);
      row.setAttribute("aria-selected", active ? "true" : "false");
      if (active) row.id = "active-row"; else row.removeAttribute("id");
      if (!call) {
        missing = true;
        if (row.renderedCall !== undefined) this.clearRow(row);
        continue;
      }
      if (active && this.announce) {
        this.announce = false;
        this.bus.emit("cursor", index);
      }
      if (row.renderedCall === index) continue;
      row.renderedCall = index;
      for (let c = 0; c < columns.length; ++c) {
        const cell = row.children[c];
        const key = columns[c];
        if (key === STATUS) {
          const recording = hasRecording(call);
          const marked = isMarked(call);
          cell.innerHTML = (recording ? '<span class="icon rec" aria-hidden="true"></span>' : "")
            + (marked ? '<span class="icon mark" aria-hidden="true"></span>' : "");
          const words = [];
          if (recording) words.push(t("Has recording"));
          if (marked) words.push(t("Marked for long-term storage"));
          cell.setAttribute("aria-label", words.join(", ") || t("No recording"));
          cell.title = words.join("\n");
        } else if (key === NOTES) {
          const count = this.calls.noteCount(index);
          cell.firstChild.textContent = count ? count.toLocaleString() : "";
          cell.classList.add("notes-cell");
        } else {
          const text = formatValue(key, call[key]);
          cell.firstChild.textContent = text;
          cell.firstChild.dir = textDirection(text);
          if (key === "direction") cell.dataset.direction = String(call.direction ?? "").toLowerCase();
        }
      }
    }
    if (this.view.count) this.root.setAttribute("aria-activedescendant", "active-row");
    else this.root.removeAttribute("aria-activedescendant");
    if (missing) this.fetchRows(first, last);
  }

  // Asks the view for the rows in sight and draws them when they come.
  fetchRows(first, last) {
    const view = this.view;
    const waiting = view.want(first, last);
    if (!waiting) return;
    const done = waiting.then(() => {
      if (this.waiting === done) this.waiting = null;
      if (view === this.view) this.render();
    }, () => {
      if (this.waiting === done) this.waiting = null;
    });
    this.waiting = done;
  }

  clearRow(row) {
    row.renderedCall = undefined;
    for (const cell of row.children) {
      if (cell.firstChild && cell.firstChild.tagName === "BDI") cell.firstChild.textContent = "";
      else cell.textContent = "";
    }
  }
}
