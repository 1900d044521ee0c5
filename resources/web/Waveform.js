// The recording's waveform image with a playhead: a click seeks, a drag
// selects a passage to zoom into. Times here are milliseconds of the whole
// recording; the zoom segment maps them onto the image.
import { t } from "./i18n.js";
import { formatClock } from "./CallModel.js";

const DRAG_THRESHOLD = 5;

export class Waveform {
  constructor(root, bus) {
    this.root = root;
    this.bus = bus;
    this.total = 0;
    this.zoom = null;
    root.classList.add("waveform");
    root.setAttribute("role", "slider");
    root.setAttribute("aria-label", t("Waveform: click to seek, drag to zoom"));
    root.setAttribute("aria-valuemin", "0");
    root.tabIndex = -1;

    this.image = document.createElement("img");
    this.image.alt = "";
    this.image.draggable = false;
    this.image.className = "waveform-image";
    this.selection = document.createElement("div");
    this.selection.className = "waveform-selection";
    this.selection.hidden = true;
    this.playhead = document.createElement("div");
    this.playhead.className = "waveform-playhead";
    this.hover = document.createElement("div");
    this.hover.className = "waveform-hover";
    this.hover.hidden = true;
    this.message = document.createElement("p");
    this.message.className = "waveform-message";
    this.axis = document.createElement("div");
    this.axis.className = "waveform-axis";
    this.axis.setAttribute("aria-hidden", "true");
    const stage = document.createElement("div");
    stage.className = "waveform-stage";
    stage.append(this.image, this.selection, this.playhead, this.hover, this.message);
    root.append(stage, this.axis);
    this.stage = stage;

    this.image.addEventListener("load", () => { root.classList.remove("loading"); this.message.textContent = ""; });
    this.image.addEventListener("error", () => {
      root.classList.remove("loading");
      this.message.textContent = t("The waveform could not be shown.");
    });
    stage.addEventListener("mousedown", event => this.startDrag(event));
    stage.addEventListener("mousemove", event => this.showHover(event));
    stage.addEventListener("mouseleave", () => { this.hover.hidden = true; });
  }

  // Whole-recording duration (ms), used until the player reports its own.
  setTotal(ms) {
    this.total = ms > 0 ? ms : 0;
    this.drawAxis();
  }

  show(src, zoom) {
    this.zoom = zoom;
    this.root.classList.add("loading");
    this.root.classList.toggle("zoomed", !!zoom);
    this.message.textContent = "";
    this.image.src = src;
    this.drawAxis();
  }

  clear(text) {
    this.image.removeAttribute("src");
    this.root.classList.remove("loading", "zoomed");
    this.message.textContent = text || "";
    this.playhead.hidden = true;
    this.axis.textContent = "";
  }

  range() {
    if (this.zoom) return [this.zoom.start, this.zoom.end];
    return [0, this.total];
  }

  timeAt(clientX) {
    const box = this.stage.getBoundingClientRect();
    const fraction = Math.max(0, Math.min(1, (clientX - box.left) / (box.width || 1)));
    const [start, end] = this.range();
    return start + fraction * (end - start);
  }

  // Position of the playhead in ms of the whole recording.
  setPosition(ms) {
    const [start, end] = this.range();
    if (!(end > start)) { this.playhead.hidden = true; return; }
    const fraction = Math.max(0, Math.min(1, (ms - start) / (end - start)));
    this.playhead.hidden = false;
    this.playhead.style.left = (fraction * 100).toFixed(3) + "%";
    this.root.setAttribute("aria-valuemax", String(Math.round(end)));
    this.root.setAttribute("aria-valuenow", String(Math.round(ms)));
    this.root.setAttribute("aria-valuetext", formatClock(ms));
  }

  showHover(event) {
    const [start, end] = this.range();
    if (!(end > start)) return;
    const box = this.stage.getBoundingClientRect();
    this.hover.hidden = false;
    this.hover.style.left = (event.clientX - box.left) + "px";
    const [from, to] = this.range();
    this.hover.textContent = formatClock(this.timeAt(event.clientX), to - from < 20000);
  }

  startDrag(event) {
    if (event.button !== 0) return;
    event.preventDefault();
    const box = this.stage.getBoundingClientRect();
    const x0 = event.clientX;
    let dragging = false;
    const move = e => {
      if (!dragging && Math.abs(e.clientX - x0) < DRAG_THRESHOLD) return;
      dragging = true;
      const a = Math.max(box.left, Math.min(x0, e.clientX));
      const b = Math.min(box.right, Math.max(x0, e.clientX));
      this.selection.hidden = false;
      this.selection.style.left = (a - box.left) + "px";
      this.selection.style.width = (b - a) + "px";
    };
    const up = e => {
      window.removeEventListener("mousemove", move);
      window.removeEventListener("mouseup", up);
      this.selection.hidden = true;
      // A quick drag may arrive with its moves folded into the release.
      if (!dragging && Math.abs(e.clientX - x0) >= DRAG_THRESHOLD) dragging = true;
      if (dragging) {
        const a = this.timeAt(Math.min(x0, e.clientX));
        const b = this.timeAt(Math.max(x0, e.clientX));
        if (b - a >= 100) this.bus.emit("zoom", { start: Math.floor(a), end: Math.floor(b) });
      } else {
        this.bus.emit("seek", this.timeAt(e.clientX));
      }
    };
    window.addEventListener("mousemove", move);
    window.addEventListener("mouseup", up);
  }

  drawAxis() {
    const [start, end] = this.range();
    this.axis.textContent = "";
    if (!(end > start)) return;
    for (let k = 0; k <= 4; ++k) {
      const tick = document.createElement("span");
      tick.style.left = k * 25 + "%";
      tick.textContent = formatClock(start + (end - start) * k / 4, end - start < 20000);
      this.axis.appendChild(tick);
    }
  }
}
