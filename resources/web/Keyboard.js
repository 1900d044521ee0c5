// Every shortcut of the page, in one place. The same table fills the
// visible shortcut list, so what is shown is what works.
import { t } from "./i18n.js";

export function shortcutTable() {
  return [
    { keys: ["/"], text: t("Search the calls") },
    { keys: ["↑", "↓"], text: t("Previous or next call") },
    { keys: ["PgUp", "PgDn", "Home", "End"], text: t("Move through the list by pages, to the first or last call") },
    { keys: ["Enter"], text: t("Open the selected call") },
    { keys: ["Esc"], text: t("Back to the list, or leave the search box") },
    { keys: [t("Space")], text: t("Play or pause") },
    { keys: ["←", "→"], text: t("Back or forward 5 seconds (with Shift: 1 second)") },
    { keys: ["B"], text: t("Back 5 seconds") },
    { keys: ["S"], text: t("Stop") },
    { keys: ["M"], text: t("Mute or unmute") },
    { keys: ["Z"], text: t("Show the whole call again after zooming") },
    { keys: ["<", ">"], text: t("Slower or faster playback") },
    { keys: ["L"], text: t("Loop the passage") },
    { keys: ["D"], text: t("Save the recording as WAV") },
    { keys: ["N"], text: t("Add a note at the playhead, or on the passage when one is selected") },
    { keys: ["[", "]"], text: t("Previous or next note") },
    { keys: ["Ctrl+S"], text: t("Save the review") },
    { keys: ["Ctrl+Shift+O"], text: t("Open a review") },
    { keys: ["Ctrl+P"], text: t("Export the report (PDF or CSV)") },
    { keys: ["?"], text: t("Show or hide this list") },
  ];
}

function typing(target) {
  if (!target || !target.tagName) return false;
  const tag = target.tagName;
  if (tag === "TEXTAREA" || tag === "SELECT" || target.isContentEditable) return true;
  return tag === "INPUT" && !["checkbox", "radio", "range", "button"].includes(target.type);
}

export class Keyboard {
  // app offers: mode() ("list" | "call"), list, filters, callView, bus, help.
  constructor(app) {
    this.app = app;
    document.addEventListener("keydown", event => this.handle(event));
  }

  handle(event) {
    const app = this.app;
    const bus = app.bus;
    const key = event.key;
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    const target = event.target;
    let done = true;

    if (app.help.open) {
      if (key === "Escape" || key === "?") app.toggleHelp();
      else done = false;
    } else if (typing(target)) {
      // In the search box the arrows still walk the list, Enter opens.
      const inSearch = target.id === "search";
      if (key === "Escape") {
        if (inSearch && target.value) { target.value = ""; target.dispatchEvent(new Event("input")); }
        app.focusMain();
      } else if (inSearch && app.mode() === "list" && key === "ArrowDown") app.list.moveBy(1);
      else if (inSearch && app.mode() === "list" && key === "ArrowUp") app.list.moveBy(-1);
      else if (inSearch && app.mode() === "list" && key === "Enter") app.openCurrent();
      else done = false;
    } else if (key === "/") {
      app.focusSearch();
    } else if (key === "?") {
      app.toggleHelp();
    } else if ((key === "Enter" || key === " ") && (target.tagName === "BUTTON" || target.tagName === "A")) {
      // Buttons keep their own Enter and Space.
      done = false;
    } else if (app.mode() === "list") {
      const list = app.list;
      switch (key) {
        case "ArrowDown": list.moveBy(1); break;
        case "ArrowUp": list.moveBy(-1); break;
        case "PageDown": list.moveBy(list.pageSize()); break;
        case "PageUp": list.moveBy(-list.pageSize()); break;
        case "Home": list.moveTo(0); break;
        case "End": list.moveTo(list.count() - 1); break;
        case "Enter": app.openCurrent(); break;
        case " ": app.openCurrent(true); break;
        default: done = false;
      }
    } else {
      // The time line runs left to right in every language.
      const step = event.shiftKey ? 1000 : 5000;
      const slider = target.tagName === "INPUT" && target.type === "range";
      switch (key) {
        case "Escape": app.closeCall(); break;
        case " ": bus.emit("play-toggle"); break;
        case "Enter": done = false; break;
        case "ArrowLeft": if (slider) done = false; else bus.emit("seek-by", -step); break;
        case "ArrowRight": if (slider) done = false; else bus.emit("seek-by", step); break;
        case "ArrowUp": if (slider) done = false; else bus.emit("step", -1); break;
        case "ArrowDown": if (slider) done = false; else bus.emit("step", 1); break;
        case "b": case "B": bus.emit("seek-by", -5000); break;
        case "s": case "S": bus.emit("stop"); break;
        case "m": case "M": bus.emit("mute-toggle"); break;
        case "z": case "Z": bus.emit("zoom", null); break;
        case "l": case "L": bus.emit("loop-toggle"); break;
        case "<": case ",": bus.emit("speed-step", -1); break;
        case ">": case ".": bus.emit("speed-step", 1); break;
        case "d": case "D": bus.emit("download"); break;
        case "n": case "N": bus.emit("note-add"); break;
        case "[": bus.emit("note-step", -1); break;
        case "]": bus.emit("note-step", 1); break;
        default: done = false;
      }
    }
    if (done) {
      event.preventDefault();
      event.stopPropagation();
    }
  }
}
