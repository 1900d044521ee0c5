// The review report as printed pages. The viewer loads this page off screen,
// calls vornReport(data) and prints once the title says the pages are laid
// out: {package, reviewer, date (ISO, UTC), calls: [{id, time_start, notes}]}.
import { t, loadCatalog, pageLocale, currentLocale } from "./i18n.js";
import { fieldLabel, formatValue, formatClock, textDirection, hasRecording } from "./CallModel.js";

const FIELD_ORDER = ["id", "time_start", "time_end", "direction", "caller", "callee", "agent", "duration"];
const HIDDEN_FIELDS = new Set(["voice", "flags"]);
const CATEGORIES = new Set(["finding", "follow-up", "ok", "redact"]);

function el(tag, className, text) {
  const element = document.createElement(tag);
  if (className) element.className = className;
  if (text !== undefined) {
    element.textContent = text;
    element.dir = textDirection(text) === "rtl" ? "rtl" : "auto";
  }
  return element;
}

function categoryLabel(category) {
  switch (category) {
    case "finding": return t("Finding");
    case "follow-up": return t("Follow-up");
    case "ok": return t("OK");
    case "redact": return t("Redact");
    default: return String(category);
  }
}

function categoryClass(category) {
  return CATEGORIES.has(category) ? "cat-" + category : "other";
}

function noteTime(note) {
  const start = formatClock(note.start_ms, true);
  return note.end_ms > note.start_ms ? `${start} – ${formatClock(note.end_ms, true)}` : start;
}

function recordingBase(call) {
  if (!call || typeof call.voice !== "string" || !call.voice) return null;
  const name = call.voice.replace(/^\/?app\/wave\//, "").replace(/^\/+/, "");
  const match = /^(.*)\.(wvc|wav)$/i.exec(name);
  return match ? match[1] : name;
}

// Length of the recording the waveform spans: the record's duration, never
// shorter than the notes on it.
function spanMs(call, notes) {
  let ms = typeof call.duration === "number" ? call.duration * 1000 : 0;
  const start = Date.parse(String(call.time_start || "").replace(" ", "T"));
  const end = Date.parse(String(call.time_end || "").replace(" ", "T"));
  if (!(ms > 0) && end > start) ms = end - start;
  for (const note of notes) ms = Math.max(ms, note.end_ms);
  return Math.max(ms, 1);
}

function fieldsTable(call) {
  const table = el("table", "fields");
  const keys = FIELD_ORDER.filter(key => key in call)
    .concat(Object.keys(call).filter(key => !FIELD_ORDER.includes(key) && !HIDDEN_FIELDS.has(key) && !key.startsWith("__")));
  for (const key of keys) {
    const value = formatValue(key, call[key]);
    if (value === "") continue;
    const row = el("tr");
    row.append(el("th", "", fieldLabel(key)), el("td", "", value));
    table.append(row);
  }
  return table;
}

function waveform(call, notes, images) {
  const figure = el("div", "wave");
  const image = el("img");
  image.alt = "";
  images.push(new Promise(resolve => {
    image.onload = () => resolve(true);
    image.onerror = () => resolve(false);
  }));
  image.src = "/app/wave/" + encodeURIComponent(recordingBase(call)) + ".svg";
  figure.append(image);
  const span = spanMs(call, notes);
  notes.forEach((note, index) => {
    const band = el("div", "band " + categoryClass(note.category));
    const left = (100 * note.start_ms) / span;
    band.style.left = left + "%";
    band.style.width = (100 * (note.end_ms - note.start_ms)) / span + "%";
    // Fixed left in both writing directions: the waveform runs left to right.
    const label = el("div", "band-label " + categoryClass(note.category), String(index + 1));
    label.style.left = Math.min(left + (50 * (note.end_ms - note.start_ms)) / span, 99) + "%";
    figure.append(band, label);
  });
  figure.dir = "ltr";
  return figure;
}

function noteRow(note, index) {
  const row = el("div", "note");
  row.append(el("div", "", String(index + 1)), el("div", "note-time", noteTime(note)),
             el("div", "note-category " + categoryClass(note.category), categoryLabel(note.category)),
             el("div", "note-text", String(note.text ?? "")));
  row.firstChild.dir = "ltr";
  row.children[1].dir = "ltr";
  return row;
}

// Blocks go onto fixed A4 pages one after the other; a block that no longer
// fits starts the next page, so a waveform is never cut.
class Pages {
  constructor(root) {
    this.root = root;
    this.bodies = [];
    this.newPage();
  }
  newPage() {
    const page = el("section", "page");
    this.body = el("div", "page-body");
    page.append(this.body, el("div", "page-foot"));
    this.root.append(page);
    this.bodies.push(this.body);
  }
  place(block) {
    this.body.append(block);
    if (this.body.scrollHeight > this.body.clientHeight + 1 && this.body.children.length > 1) {
      block.remove();
      this.newPage();
      this.body.append(block);
    }
  }
  number() {
    const total = this.bodies.length;
    this.bodies.forEach((body, index) => {
      body.nextSibling.textContent = t("Page {n} of {total}", { n: index + 1, total });
    });
  }
}

function findCall(id, timeStart) {
  const calls = typeof gCalls !== "undefined" && Array.isArray(gCalls) ? gCalls : [];
  return calls.find(call => call && call.id === id && call.time_start === timeStart);
}

async function render(data) {
  await loadCatalog(pageLocale());
  const root = document.getElementById("report");
  root.textContent = "";
  const pages = new Pages(root);
  const images = [];

  const head = el("div", "report-head");
  head.append(el("h1", "", t("Review report")));
  const meta = el("table", "meta");
  const date = new Date(data.date);
  const lang = (currentLocale() || "en").replace("_", "-");
  for (const [label, value] of [[t("Package"), data.package], [t("Reviewer"), data.reviewer || "—"],
                                [t("Date"), isNaN(date) ? String(data.date) : date.toLocaleString(lang)]]) {
    const row = el("tr");
    row.append(el("th", "", label), el("td", "", String(value ?? "")));
    meta.append(row);
  }
  head.append(meta);
  pages.place(head);

  for (const reviewed of data.calls || []) {
    const notes = (reviewed.notes || []).slice().sort((a, b) => a.start_ms - b.start_ms || a.end_ms - b.end_ms);
    const call = findCall(reviewed.id, reviewed.time_start);
    const block = el("div", "call-head");
    block.append(el("h2", "", t("Call {id}", { id: reviewed.id }) + " · " + reviewed.time_start));
    if (!call) {
      block.append(el("p", "missing", t("This call is not in the open package.")));
    } else {
      block.append(fieldsTable(call));
      if (hasRecording(call)) block.append(waveform(call, notes, images));
    }
    pages.place(block);
    notes.forEach((note, index) => pages.place(noteRow(note, index)));
  }
  const loaded = await Promise.all(images);
  pages.number();
  return loaded.every(Boolean);
}

window.vornReport = (data) => {
  render(data).then(
    complete => { document.title = complete ? "vorn-report-ready" : "vorn-report-ready-incomplete"; },
    error => { document.title = "vorn-report-failed: " + (error && error.message); });
};
