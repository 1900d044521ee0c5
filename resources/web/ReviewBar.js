// The review's commands in the page's header: the same as the window's
// toolbar and shortcuts, which do the asking and the writing.
import { t } from "./i18n.js";

function commands() {
  return [
    { id: "review-save", text: t("Save review"), keys: "Ctrl+S", call: "requestSave" },
    { id: "review-open", text: t("Open review"), keys: "Ctrl+Shift+O", call: "requestOpen" },
    { id: "review-report", text: t("Export report"), keys: "Ctrl+P", call: "requestReport" },
    { id: "review-export", text: t("Export recordings"), keys: "", call: "requestExportRecordings" },
  ];
}

export class ReviewBar {
  // Goes before the given element of the header.
  constructor(before) {
    this.review = null;
    this.root = document.createElement("div");
    this.root.className = "review-bar";
    this.root.hidden = true;
    this.buttons = new Map();
    this.commands = commands();
    for (const command of this.commands) {
      const b = document.createElement("button");
      b.type = "button";
      b.className = "quiet";
      b.id = command.id;
      b.textContent = command.text;
      b.title = command.keys ? `${command.text} (${command.keys})` : command.text;
      b.addEventListener("click", () => {
        if (this.review && typeof this.review[command.call] === "function") this.review[command.call]();
      });
      this.buttons.set(command.id, b);
      this.root.append(b);
    }
    before.before(this.root);
  }

  attach(review) {
    if (!review) return;
    this.review = review;
    for (const command of this.commands) this.buttons.get(command.id).hidden = typeof review[command.call] !== "function";
    this.root.hidden = false;
    const save = this.buttons.get("review-save");
    const show = () => {
      const unsaved = !!review.bUnsaved;
      save.classList.toggle("unsaved", unsaved);
      save.setAttribute("aria-label", unsaved ? t("Save review (unsaved notes)") : t("Save review"));
    };
    if (review.unsavedChangedJs) review.unsavedChangedJs.connect(show);
    show();
  }
}
