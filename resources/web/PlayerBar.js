// Transport controls of the call view: play/pause, stop, back 5 s, the
// position slider with time and duration, mute, and (when the player offers
// them) speed and loop. The buttons only announce requests on the bus.
import { t } from "./i18n.js";
import { formatClock } from "./CallModel.js";

export const SPEEDS = [0.5, 0.75, 1, 1.25, 1.5, 2];

function button(id, label, icon, shortcut) {
  const b = document.createElement("button");
  b.type = "button";
  b.id = id;
  b.className = "icon-button";
  b.setAttribute("aria-label", label);
  b.title = shortcut ? `${label} (${shortcut})` : label;
  b.innerHTML = `<span class="glyph ${icon}" aria-hidden="true"></span>`;
  return b;
}

export class PlayerBar {
  constructor(root, bus) {
    this.bus = bus;
    root.classList.add("player-bar");
    root.setAttribute("role", "group");
    root.setAttribute("aria-label", t("Player"));

    this.play = button("play", t("Play"), "play", t("Space"));
    this.stop = button("stop", t("Stop"), "stop", "S");
    this.back = button("back5", t("Back 5 seconds"), "back", "B");
    this.mute = button("mute", t("Mute"), "volume", "M");
    this.mute.setAttribute("aria-pressed", "false");

    this.slider = document.createElement("input");
    this.slider.type = "range";
    this.slider.id = "position";
    this.slider.min = "0";
    this.slider.max = "0";
    this.slider.step = "10";
    this.slider.value = "0";
    this.slider.setAttribute("aria-label", t("Position"));
    this.time = document.createElement("span");
    this.time.className = "time";
    this.time.id = "time";

    this.speed = document.createElement("select");
    this.speed.id = "speed";
    this.speed.setAttribute("aria-label", t("Playback speed"));
    this.speed.title = t("Playback speed") + " (< >)";
    for (const value of SPEEDS) this.speed.add(new Option(value.toLocaleString() + "×", String(value)));
    this.speed.value = "1";
    this.loop = button("loop", t("Loop"), "loop", "L");
    this.loop.setAttribute("aria-pressed", "false");
    this.extras = document.createElement("span");
    this.extras.className = "player-extras";
    this.extras.append(this.speed, this.loop);
    this.extras.hidden = true;

    const sliderBox = document.createElement("div");
    sliderBox.className = "slider-box";
    sliderBox.append(this.slider, this.time);
    root.append(this.play, this.stop, this.back, sliderBox, this.mute, this.extras);

    this.play.addEventListener("click", () => bus.emit("play-toggle"));
    this.stop.addEventListener("click", () => bus.emit("stop"));
    this.back.addEventListener("click", () => bus.emit("seek-by", -5000));
    this.mute.addEventListener("click", () => bus.emit("mute-toggle"));
    this.dragging = false;
    this.slider.addEventListener("input", () => {
      this.dragging = true;
      this.showTime(Number(this.slider.value));
    });
    this.slider.addEventListener("change", () => {
      this.dragging = false;
      bus.emit("seek", Number(this.slider.value));
    });
    this.speed.addEventListener("change", () => bus.emit("speed", Number(this.speed.value)));
    this.loop.addEventListener("click", () => bus.emit("loop-toggle"));
    this.start = 0;
    this.end = 0;
  }

  setRange(start, end) {
    this.start = start;
    this.end = end;
    this.slider.min = String(Math.floor(start));
    this.slider.max = String(Math.floor(end));
  }

  showTime(ms) {
    this.time.textContent = `${formatClock(ms)} / ${formatClock(this.end)}`;
    this.slider.setAttribute("aria-valuetext", formatClock(ms));
  }

  setPosition(ms) {
    if (!this.dragging) this.slider.value = String(Math.round(ms));
    if (!this.dragging) this.showTime(ms);
  }

  setState(state) {
    const playing = state.loaded && !state.paused;
    this.play.querySelector(".glyph").className = "glyph " + (playing ? "pause" : "play");
    this.play.setAttribute("aria-label", playing ? t("Pause") : t("Play"));
    this.play.title = (playing ? t("Pause") : t("Play")) + ` (${t("Space")})`;
    this.play.classList.toggle("playing", playing);
    this.mute.querySelector(".glyph").className = "glyph " + (state.muted ? "muted" : "volume");
    this.mute.setAttribute("aria-pressed", state.muted ? "true" : "false");
    this.mute.setAttribute("aria-label", state.muted ? t("Unmute") : t("Mute"));
    this.mute.title = (state.muted ? t("Unmute") : t("Mute")) + " (M)";
    for (const control of [this.play, this.stop, this.back, this.mute, this.slider]) control.disabled = !state.available;
  }

  // Speed and loop appear only with a player that offers them.
  setExtras(supported, speed, looping) {
    this.extras.hidden = !supported;
    if (speed !== undefined) this.speed.value = String(speed);
    this.loop.setAttribute("aria-pressed", looping ? "true" : "false");
  }
}
