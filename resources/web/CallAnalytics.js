// Lanes under the waveform: when each party speaks, silences and overtalk as
// bands, the call's figures beside them. A click on a band seeks to its
// start. The activity comes from the native "Analytics" channel object.
import { t } from "./i18n.js";
import { formatClock } from "./CallModel.js";

function el(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

export class CallAnalytics {
  constructor(root, bus) {
    this.root = root;
    this.bus = bus;
    this.native = null;
    this.path = null;
    this.data = null;
    this.range = { start: 0, end: 0 };
    root.className = "call-analytics";
    root.hidden = true;
    this.lanes = el("div", "analytics-lanes");
    this.figures = el("div", "analytics-figures");
    this.figures.id = "analytics-figures";
    const label = el("label", "analytics-threshold", t("Silence from (s)") + " ");
    this.threshold = el("input");
    this.threshold.type = "number";
    this.threshold.id = "silence-threshold";
    this.threshold.min = "1";
    this.threshold.max = "600";
    this.threshold.step = "1";
    this.threshold.value = "2";
    label.append(this.threshold);
    const side = el("div", "analytics-side");
    side.append(this.figures, label);
    root.append(this.lanes, side);
    this.threshold.addEventListener("change", () => this.request());
    this.lanes.addEventListener("click", event => {
      const band = event.target.closest(".band");
      if (band) this.bus.emit("seek", Number(band.dataset.start));
    });
  }

  attach(native) {
    this.native = native || null;
    if (this.path) this.request();
  }

  show(path) {
    this.path = path;
    this.data = null;
    this.root.hidden = true;
    this.request();
  }

  clear() {
    this.path = null;
    this.data = null;
    this.root.hidden = true;
  }

  setRange(start, end) {
    this.range = { start, end };
    this.render();
  }

  thresholdMs() {
    const seconds = Number(this.threshold.value);
    return Math.round((seconds > 0 ? seconds : 2) * 1000);
  }

  request() {
    if (!this.native || !this.path || typeof this.native.activity !== "function") return;
    const path = this.path;
    this.native.activity(path, this.thresholdMs(), result => {
      if (this.path !== path) return;
      this.data = result && result.ok ? result : null;
      this.render();
    });
  }

  lane(name, spans, kind) {
    const row = el("div", "analytics-lane " + kind);
    row.dataset.lane = kind;
    row.append(el("span", "lane-name", name));
    const track = el("div", "lane-track");
    const { start, end } = this.range;
    const length = end - start;
    for (const [from, to] of spans) {
      if (!(length > 0) || to <= start || from >= end) continue;
      const band = el("div", "band " + kind);
      band.dataset.start = String(Math.max(from, start));
      band.dataset.end = String(Math.min(to, end));
      band.style.left = ((Math.max(from, start) - start) / length * 100) + "%";
      band.style.width = ((Math.min(to, end) - Math.max(from, start)) / length * 100) + "%";
      band.title = formatClock(from) + " – " + formatClock(to);
      track.append(band);
    }
    row.append(track);
    return row;
  }

  render() {
    const data = this.data;
    this.root.hidden = !data;
    if (!data) return;
    if (!(this.range.end > this.range.start)) this.range = { start: 0, end: data.duration };
    const stereo = data.channels >= 2;
    this.lanes.textContent = "";
    if (stereo) {
      this.lanes.append(this.lane(t("Agent"), data.speech[0], "agent"), this.lane(t("Customer"), data.speech[1], "customer"));
    } else {
      this.lanes.append(this.lane(t("Speech"), data.speech[0], "agent"));
    }
    const gaps = this.lane(t("Silence"), data.silences, "silence");
    for (const band of this.lane("", data.overtalk, "overtalk").querySelectorAll(".band"))
      gaps.querySelector(".lane-track").append(band);
    this.lanes.append(gaps);

    const f = data.figures;
    const summary = (count, total, longest) =>
      t("{count}× {total}, longest {longest}", { count: String(count), total: formatClock(total), longest: formatClock(longest) });
    const lines = [];
    if (stereo) {
      lines.push([t("Agent"), formatClock(f.agent_talk_ms)], [t("Customer"), formatClock(f.customer_talk_ms)]);
    } else {
      lines.push([t("Speech"), formatClock(f.talk_ms)]);
    }
    lines.push([t("Silence"), summary(f.silence_count, f.silence_total_ms, f.silence_longest_ms)]);
    if (stereo) lines.push([t("Overtalk"), f.overtalk_count + "× " + formatClock(f.overtalk_total_ms)]);
    this.figures.textContent = "";
    for (const [name, value] of lines) {
      const line = el("div", "figure");
      line.append(el("span", "figure-name", name + ": "), el("bdi", "", value));
      this.figures.append(line);
    }
  }
}
