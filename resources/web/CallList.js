// The call list: a grid whose header sorts and whose body draws only the
// rows in sight, so a million calls scroll as smoothly as 100. The rows of
// a view may arrive later than its count (the native index sends windows):
// a row is drawn once its call is there.
import { t } from "./i18n.js";
import { STATUS, NOTES, fieldLabel, formatValue, textDirection, hasRecording, isMarked } from "./CallModel.js";

const ROW_HEIGHT = 34;
const OVERSCAN = 6;
// The engine lays out nothing taller than about 33 million pixels (a
// million calls): a longer list gets a canvas this tall, whose scroll range
// stands for the whole list's.
const MAX_HEIGHT = 30000000;

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
    this.maxHeight = MAX_HEIGHT;

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
    this.canvas.style.height = Math.min(view.count * ROW_HEIGHT, this.maxHeight) + "px";
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
    const scrolled = this.listTop(this.root.scrollTop);
    if (top < scrolled) this.root.scrollTop = this.scrollTopFor(top, Math.floor);
    else if (top + ROW_HEIGHT > scrolled + visible) this.root.scrollTop = this.scrollTopFor(top + ROW_HEIGHT - visible, Math.ceil);
  }

  // Scroll range of the canvas and of the whole list, the part in sight
  // taken off both; equal unless the list is taller than the canvas.
  ranges() {
    const visible = this.root.clientHeight - this.header.offsetHeight;
    return [Math.min(this.view.count * ROW_HEIGHT, this.maxHeight) - visible, this.view.count * ROW_HEIGHT - visible];
  }

  // The list's pixel at the top of the part in sight, for a scroll position.
  listTop(scrollTop) {
    if (this.view.count * ROW_HEIGHT <= this.maxHeight) return scrollTop;
    const [canvas, list] = this.ranges();
    return Math.round(scrollTop * list / canvas);
  }

  // The scroll position that shows the list's pixel at the top, rounded
  // the way that keeps the wanted row wholly in sight.
  scrollTopFor(top, round) {
    if (this.view.count * ROW_HEIGHT <= this.maxHeight) return top;
    const [canvas, list] = this.ranges();
    return round(top * canvas / list);
  }

  schedule() {
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => { this.pending = false; this.render(); });
  }

  // A row keeps its cells for good; what each shows is remembered, so a
  // frame writes only what changed.
  makeRow() {
    const row = document.createElement("div");
    row.className = "list-row";
    row.setAttribute("role", "row");
    row.position = -1;
    row.active = undefined;
    row.renderedCall = undefined;
    row.texts = [];
    this.calls.columns.forEach((key, c) => {
      const cell = document.createElement("div");
      cell.className = "list-cell";
      cell.setAttribute("role", "gridcell");
      cell.setAttribute("aria-colindex", String(c + 1));
      if (key === STATUS) {
        cell.classList.add("status");
        for (const kind of ["rec", "mark"]) {
          const icon = document.createElement("span");
          icon.className = "icon " + kind;
          icon.setAttribute("aria-hidden", "true");
          icon.hidden = true;
          cell.appendChild(icon);
        }
      } else {
        // Numbers and names keep their own direction inside a right-to-left page.
        const bdi = document.createElement("bdi");
        bdi.appendChild(document.createTextNode(""));
        cell.appendChild(bdi);
        if (key === NOTES) cell.classList.add("notes-cell");
      }
      row.appendChild(cell);
      row.texts.push(undefined);
    });
    this.canvas.appendChild(row);
    return row;
  }

  // Rows in sight and a few either way. The span keeps one length while
  // scrolling, so the same rows are reused and none is hidden or shown.
  render() {
    const height = this.root.clientHeight || 600;
    const span = Math.ceil(height / ROW_HEIGHT) + 1 + 2 * OVERSCAN;
    // Rows are drawn this much higher than their place in the list when
    // the canvas is shorter than the list.
    const scrollTop = this.root.scrollTop;
    const shift = this.listTop(scrollTop) - scrollTop;
    const first = Math.max(0, Math.min(Math.floor((scrollTop + shift) / ROW_HEIGHT) - OVERSCAN, this.view.count - span));
    const last = Math.min(this.view.count, first + span);
    while (this.rows.length < last - first) this.rows.push(this.makeRow());
    // The row of a position is fixed while the pool keeps its size: rows
    // scrolled out at one end come back at the other with new calls, and
    // the others stay as they are.
    const pool = this.rows.length;
    let missing = false;
    for (const row of this.rows) row.inUse = false;
    for (let position = first; position < last; ++position) {
      const row = this.rows[position % pool];
      row.inUse = true;
      if (!this.drawRow(row, position, position * ROW_HEIGHT - shift)) missing = true;
    }
    for (const row of this.rows) {
      if (row.inUse || row.hidden) continue;
      row.hidden = true;
      row.position = -1;
      row.top = undefined;
    }
    if (this.view.count) {
      if (this.root.getAttribute("aria-activedescendant") !== "active-row") this.root.setAttribute("aria-activedescendant", "active-row");
    } else this.root.removeAttribute("aria-activedescendant");
    if (missing) this.fetchRows(first, last);
    else this.fetchAhead(first, last);
  }

  // Draws the call at a position into a row, top pixels down the canvas;
  // false while the call is still coming.
  drawRow(row, position, top) {
    if (row.hidden) row.hidden = false;
    const index = this.view.at(position);
    const call = index === undefined ? undefined : this.calls.call(index);
    if (row.top !== top) {
      row.top = top;
      row.style.transform = `translateY(${top}px)`;
    }
    if (row.position !== position) {
      row.position = position;
      row.dataset.position = String(position);
      row.setAttribute("aria-rowindex", String(position + 2));
    }
    const active = position === this.cursor;
    if (row.active !== active) {
      row.active = active;
      row.classList.toggle("active", active);
      row.setAttribute("aria-selected", active ? "true" : "false");
      if (active) row.id = "active-row"; else row.removeAttribute("id");
    }
    if (!call) {
      if (row.dataset.call !== undefined) delete row.dataset.call;
      if (row.renderedCall !== undefined) this.clearRow(row);
      return false;
    }
    const text = String(index);
    if (row.dataset.call !== text) row.dataset.call = text;
    if (active && this.announce) {
      this.announce = false;
      this.bus.emit("cursor", index);
    }
    if (row.renderedCall === index) return true;
    row.renderedCall = index;
    const columns = this.calls.columns;
    for (let c = 0; c < columns.length; ++c) {
      const key = columns[c];
      if (key === STATUS) {
        const recording = hasRecording(call);
        const marked = isMarked(call);
        const state = (recording ? 1 : 0) + (marked ? 2 : 0);
        if (row.texts[c] === state) continue;
        row.texts[c] = state;
        const cell = row.children[c];
        cell.children[0].hidden = !recording;
        cell.children[1].hidden = !marked;
        const words = [];
        if (recording) words.push(t("Has recording"));
        if (marked) words.push(t("Marked for long-term storage"));
        cell.setAttribute("aria-label", words.join(", ") || t("No recording"));
        cell.title = words.join("\n");
      } else if (key === NOTES) {
        const count = this.calls.noteCount(index);
        this.setText(row, c, count ? count.toLocaleString() : "");
      } else {
        const value = call[key];
        this.setText(row, c, formatValue(key, value));
        if (key === "direction") {
          const kind = String(value ?? "").toLowerCase();
          const cell = row.children[c];
          if (cell.dataset.direction !== kind) cell.dataset.direction = kind;
        }
      }
    }
    return true;
  }

  // Writes a cell's text if it changed; true when it did.
  setText(row, c, text) {
    if (row.texts[c] === text) return false;
    row.texts[c] = text;
    const bdi = row.children[c].firstChild;
    bdi.firstChild.data = text;
    const dir = textDirection(text);
    if (bdi.dir !== dir) bdi.dir = dir;
    return true;
  }

  // Asks for the rows a little beyond those in sight, in the direction of
  // the scroll, so that they are there when they come into sight.
  fetchAhead(first, last) {
    const down = first >= (this.lastFirst ?? 0);
    this.lastFirst = first;
    const ahead = 2 * (last - first);
    if (down && last < this.view.count) this.view.want(last, Math.min(this.view.count, last + ahead));
    else if (!down && first > 0) this.view.want(Math.max(0, first - ahead), first);
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
    this.calls.columns.forEach((key, c) => {
      if (key === STATUS) {
        row.texts[c] = undefined;
        const cell = row.children[c];
        cell.children[0].hidden = cell.children[1].hidden = true;
      } else this.setText(row, c, "");
    });
  }
}
