// The call list: a grid whose header sorts and whose body draws only the
// rows in sight, so 100 000 calls scroll as smoothly as 100.
import { t } from "./i18n.js";
import { STATUS, NOTES, fieldLabel, formatValue, textDirection } from "./CallModel.js";

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
  constructor(root, model, bus) {
    this.root = root;
    this.model = model;
    this.bus = bus;
    this.view = new Int32Array(0);
    this.cursor = 0;
    this.sortColumn = "time_start";
    this.sortDescending = true;
    this.rows = [];

    root.setAttribute("role", "grid");
    root.setAttribute("aria-label", t("Calls"));
    root.setAttribute("aria-colcount", String(model.columns.length));
    root.tabIndex = 0;
    const widths = model.columns.map(columnWidth);
    root.style.setProperty("--columns", widths.join(" "));
    // Header and rows share one width, so every row lines up with the header
    // whatever its contents.
    const minimum = widths.reduce((sum, w) => sum + parseFloat(w.replace("minmax(", "")), 0);
    root.style.setProperty("--row-min", minimum + "em");

    this.header = document.createElement("div");
    this.header.className = "list-header";
    this.header.setAttribute("role", "row");
    this.header.setAttribute("aria-rowindex", "1");
    model.columns.forEach((key, c) => {
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
      if (row) this.bus.emit("open", this.view[Number(row.dataset.position)]);
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

  // Shows a new result; the cursor stays on the same call when it is still there.
  setView(view, keepCall) {
    const previous = keepCall !== undefined ? keepCall : this.currentCall();
    this.view = view;
    let position = 0;
    if (previous !== undefined && previous >= 0) {
      const found = view.indexOf(previous);
      if (found >= 0) position = found;
    }
    this.cursor = Math.min(position, Math.max(0, view.length - 1));
    this.canvas.style.height = view.length * ROW_HEIGHT + "px";
    this.root.setAttribute("aria-rowcount", String(view.length + 1));
    this.empty.hidden = view.length > 0;
    this.empty.textContent = this.model.calls.length ? t("No call matches the search and filters.") : t("This package holds no calls.");
    this.render();
    this.ensureVisible();
  }

  // Values changed under the same calls (notes): every row is drawn again.
  redraw() {
    for (const row of this.rows) row.renderedCall = undefined;
    this.render();
  }

  currentCall() {
    return this.view.length ? this.view[this.cursor] : undefined;
  }

  moveTo(position) {
    if (!this.view.length) return;
    this.cursor = Math.max(0, Math.min(this.view.length - 1, position));
    this.ensureVisible();
    this.render();
    this.bus.emit("cursor", this.currentCall());
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
    this.model.columns.forEach((key, c) => {
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
    const last = Math.min(this.view.length, Math.ceil((this.root.scrollTop + height) / ROW_HEIGHT) + OVERSCAN);
    const needed = Math.max(0, last - first);
    while (this.rows.length < needed) this.rows.push(this.makeRow());
    const columns = this.model.columns;
    const calls = this.model.calls;
    for (let r = 0; r < this.rows.length; ++r) {
      const row = this.rows[r];
      const position = first + r;
      if (r >= needed) {
        row.hidden = true;
        continue;
      }
      row.hidden = false;
      const index = this.view[position];
      row.style.transform = `translateY(${position * ROW_HEIGHT}px)`;
      row.dataset.position = String(position);
      row.dataset.call = String(index);
      row.setAttribute("aria-rowindex", String(position + 2));
      const active = position === this.cursor;
      row.classList.toggle("active", active);
      row.setAttribute("aria-selected", active ? "true" : "false");
      if (active) row.id = "active-row"; else row.removeAttribute("id");
      if (row.renderedCall === index) continue;
      row.renderedCall = index;
      const call = calls[index] || {};
      for (let c = 0; c < columns.length; ++c) {
        const cell = row.children[c];
        const key = columns[c];
        if (key === STATUS) {
          const recording = this.model.recording[index];
          const marked = this.model.marked[index];
          cell.innerHTML = (recording ? '<span class="icon rec" aria-hidden="true"></span>' : "")
            + (marked ? '<span class="icon mark" aria-hidden="true"></span>' : "");
          const words = [];
          if (recording) words.push(t("Has recording"));
          if (marked) words.push(t("Marked for long-term storage"));
          cell.setAttribute("aria-label", words.join(", ") || t("No recording"));
          cell.title = words.join("\n");
        } else if (key === NOTES) {
          const count = this.model.noteCounts[index];
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
    if (this.view.length) this.root.setAttribute("aria-activedescendant", "active-row");
    else this.root.removeAttribute("aria-activedescendant");
  }
}
