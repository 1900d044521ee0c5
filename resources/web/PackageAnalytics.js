// "Analyse recordings" above the list: runs the native analysis over every
// call with a recording in the background, shows its progress, then a small
// table of the figures that sorts by talk ratio, longest silence or overtalk
// and filters by them. A row opens its call at its longest silence.
import { t } from "./i18n.js";
import { formatClock } from "./CallModel.js";

function el(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

function numberInput(id) {
  const input = el("input");
  input.type = "number";
  input.id = id;
  input.min = "0";
  input.step = "1";
  return input;
}

const SORTS = {
  talk_ratio: row => row.talk_ratio ?? -1,
  silence_longest_ms: row => row.silence_longest_ms ?? -1,
  overtalk_total_ms: row => row.overtalk_total_ms ?? -1,
};

export class PackageAnalytics {
  constructor(root, calls, bus) {
    this.root = root;
    this.calls = calls;
    this.bus = bus;
    this.native = null;
    this.rows = null;
    this.sort = "silence_longest_ms";
    root.className = "package-analytics";
    root.hidden = true;

    const bar = el("div", "analytics-bar");
    this.start = el("button", "", t("Analyse recordings"));
    this.start.type = "button";
    this.start.id = "analyse-recordings";
    this.progress = el("progress");
    this.progress.id = "analysis-progress";
    this.progress.hidden = true;
    this.status = el("span", "analysis-status");
    this.status.id = "analysis-status";
    this.cancel = el("button", "", t("Cancel"));
    this.cancel.type = "button";
    this.cancel.id = "analysis-cancel";
    this.cancel.hidden = true;
    this.save = el("button", "", t("Save figures (CSV)"));
    this.save.type = "button";
    this.save.id = "analysis-save";
    this.save.hidden = true;
    bar.append(this.start, this.progress, this.status, this.cancel, this.save);

    this.filterBar = el("div", "analytics-filters");
    this.filterBar.hidden = true;
    const silenceLabel = el("label", "", t("Longest silence at least (s)") + " ");
    this.minSilence = numberInput("filter-min-silence");
    silenceLabel.append(this.minSilence);
    const overtalkLabel = el("label", "", t("Overtalk at least (s)") + " ");
    this.minOvertalk = numberInput("filter-min-overtalk");
    overtalkLabel.append(this.minOvertalk);
    this.filterBar.append(silenceLabel, overtalkLabel);

    this.table = el("table", "analytics-table");
    this.table.id = "analytics-table";
    this.table.hidden = true;
    root.append(bar, this.filterBar, this.table);

    this.start.addEventListener("click", () => this.run());
    this.cancel.addEventListener("click", () => this.native && this.native.cancelAnalysis());
    this.save.addEventListener("click", () => this.native && this.native.saveCsv());
    for (const input of [this.minSilence, this.minOvertalk]) input.addEventListener("input", () => this.render());
  }

  attach(native) {
    if (!native || typeof native.analyseAll !== "function") return;
    this.native = native;
    this.root.hidden = !this.calls.total;
    native.progressJs.connect((done, total, msLeft) => this.showProgress(done, total, msLeft));
    native.finishedJs.connect(rows => this.finished(rows));
    native.saveFailedJs.connect(() => { this.status.textContent = t("The CSV could not be saved."); });
  }

  run() {
    if (!this.native) return;
    this.native.analyseAll(started => {
      if (!started) return;
      this.start.disabled = true;
      this.cancel.hidden = false;
      this.progress.hidden = false;
    });
  }

  showProgress(done, total, msLeft) {
    this.progress.max = Math.max(1, total);
    this.progress.value = done;
    this.status.textContent = t("{done} of {total} calls, {left} left",
      { done: String(done), total: String(total), left: msLeft >= 0 ? formatClock(msLeft) : "–" });
  }

  finished(rows) {
    this.rows = rows;
    this.start.disabled = false;
    this.cancel.hidden = true;
    this.progress.hidden = true;
    this.save.hidden = !rows.length;
    this.filterBar.hidden = false;
    this.table.hidden = false;
    this.render();
  }

  render() {
    if (!this.rows) return;
    const minSilence = Number(this.minSilence.value) * 1000 || 0;
    const minOvertalk = Number(this.minOvertalk.value) * 1000 || 0;
    const key = SORTS[this.sort];
    const rows = this.rows
      .filter(row => (row.silence_longest_ms ?? 0) >= minSilence && (row.overtalk_total_ms ?? 0) >= minOvertalk)
      .sort((a, b) => key(b) - key(a));
    this.table.textContent = "";
    const head = el("tr");
    const headings = [["id", t("Call ID")], ["talk_ratio", t("Talk ratio")],
      ["silence_longest_ms", t("Longest silence")], ["overtalk_total_ms", t("Overtalk")]];
    for (const [column, label] of headings) {
      const th = el("th");
      th.dataset.column = column;
      if (SORTS[column]) {
        const button = el("button", "", label + (column === this.sort ? " ▼" : ""));
        button.type = "button";
        button.addEventListener("click", () => { this.sort = column; this.render(); });
        th.append(button);
      } else {
        th.textContent = label;
      }
      head.append(th);
    }
    this.table.append(head);
    for (const row of rows) {
      const tr = el("tr", "analytics-row");
      tr.dataset.index = String(row.index);
      tr.tabIndex = 0;
      const ratio = row.talk_ratio === undefined ? "" : Math.round(row.talk_ratio * 100) + " %";
      const overtalk = row.overtalk_total_ms === undefined ? "" :
        (row.channels >= 2 ? row.overtalk_count + "× " + formatClock(row.overtalk_total_ms) : "");
      for (const text of [row.id, ratio, row.silence_longest_ms === undefined ? "" : formatClock(row.silence_longest_ms), overtalk])
        tr.append(el("td", "", String(text)));
      tr.addEventListener("click", () => this.openRow(row));
      tr.addEventListener("keydown", event => { if (event.key === "Enter") { event.stopPropagation(); this.openRow(row); } });
      this.table.append(tr);
    }
  }

  openRow(row) {
    // The seek waits for the call view to show the call.
    this.bus.emit("open", { index: row.index, seek: row.silence_longest_start_ms });
  }
}
