// Notch filter, amplification and balance. Each change is announced as
// "effects"; the call view reloads the recording and the waveform with the
// matching query items.
import { t } from "./i18n.js";

export const NO_EFFECTS = Object.freeze({ notch: false, notchFrequency: 50, qFactor: 0.5, amplify: false, amplifyRatio: 1, balance: 0 });

function field(labelText, control, extra) {
  const label = document.createElement("label");
  label.className = "effect-field";
  const caption = document.createElement("span");
  caption.textContent = labelText;
  label.append(caption, control);
  if (extra) label.append(extra);
  return label;
}

function number(id, min, max, step) {
  const input = document.createElement("input");
  input.type = "number";
  input.id = id;
  input.min = String(min);
  input.max = String(max);
  input.step = String(step);
  return input;
}

export class Effects {
  constructor(root, bus) {
    this.bus = bus;
    root.classList.add("effects");
    const title = document.createElement("h3");
    title.textContent = t("Sound");
    title.id = "effects-title";
    root.setAttribute("role", "group");
    root.setAttribute("aria-labelledby", title.id);

    this.notch = document.createElement("input");
    this.notch.type = "checkbox";
    this.notch.id = "notch";
    const notchLabel = document.createElement("label");
    notchLabel.className = "effect-switch";
    notchLabel.append(this.notch, document.createTextNode(t("Notch filter (hum)")));
    this.frequency = number("notch-frequency", 20, 8000, 1);
    this.q = number("notch-q", 0.1, 50, 0.1);
    const presets = document.createElement("span");
    presets.className = "presets";
    for (const hz of [50, 60]) {
      const b = document.createElement("button");
      b.type = "button";
      b.className = "chip";
      b.textContent = `${hz} Hz`;
      b.setAttribute("aria-label", t("Filter {hz} Hz hum", { hz }));
      b.addEventListener("click", () => {
        this.notch.checked = true;
        this.frequency.value = String(hz);
        this.changed();
      });
      presets.append(b);
    }

    this.amplify = document.createElement("input");
    this.amplify.type = "range";
    this.amplify.id = "amplify";
    this.amplify.min = "0.25";
    this.amplify.max = "8";
    this.amplify.step = "0.25";
    this.amplifyValue = document.createElement("output");
    this.amplifyValue.htmlFor = "amplify";

    this.balance = document.createElement("input");
    this.balance.type = "range";
    this.balance.id = "balance";
    this.balance.min = "-100";
    this.balance.max = "100";
    this.balance.step = "5";
    this.balanceValue = document.createElement("output");
    this.balanceValue.htmlFor = "balance";
    this.balanceField = field(t("Balance (stereo)"), this.balance, this.balanceValue);

    this.reset = document.createElement("button");
    this.reset.type = "button";
    this.reset.id = "effects-reset";
    this.reset.className = "quiet";
    this.reset.textContent = t("Reset sound");

    const notchRow = document.createElement("div");
    notchRow.className = "effect-row";
    notchRow.append(notchLabel, field(t("Frequency (Hz)"), this.frequency), field(t("Q factor"), this.q), presets);
    root.append(title, notchRow, field(t("Amplify"), this.amplify, this.amplifyValue), this.balanceField, this.reset);

    for (const control of [this.notch, this.frequency, this.q, this.amplify, this.balance])
      control.addEventListener("change", () => this.changed());
    this.amplify.addEventListener("input", () => this.showValues());
    this.balance.addEventListener("input", () => this.showValues());
    this.reset.addEventListener("click", () => { this.set(NO_EFFECTS); this.changed(); });
    this.set(NO_EFFECTS);
  }

  showValues() {
    this.amplifyValue.textContent = `×${Number(this.amplify.value).toLocaleString()}`;
    const b = Number(this.balance.value);
    this.balanceValue.textContent = b === 0 ? t("Centre") : b < 0 ? t("Left {value}", { value: -b }) : t("Right {value}", { value: b });
  }

  // Balance only acts on recordings with two channels.
  setStereo(stereo) {
    this.balance.disabled = !stereo;
    this.balanceField.classList.toggle("disabled", !stereo);
    this.balanceField.title = stereo ? "" : t("Only for stereo recordings");
  }

  set(effects) {
    this.notch.checked = effects.notch;
    this.frequency.value = String(effects.notchFrequency);
    this.q.value = String(effects.qFactor);
    this.amplify.value = String(effects.amplify ? effects.amplifyRatio : 1);
    this.balance.value = String(effects.balance);
    this.showValues();
  }

  get() {
    const ratio = Number(this.amplify.value) || 1;
    const frequency = Math.round(Number(this.frequency.value));
    return {
      notch: this.notch.checked && frequency > 0,
      notchFrequency: frequency > 0 ? frequency : 50,
      qFactor: Number(this.q.value) > 0 ? Number(this.q.value) : 0.5,
      amplify: ratio !== 1,
      amplifyRatio: ratio,
      balance: this.balance.disabled ? 0 : Math.max(-100, Math.min(100, Math.round(Number(this.balance.value) || 0))),
    };
  }

  changed() {
    this.showValues();
    this.bus.emit("effects", this.get());
  }
}
