// A date field in the page's language. The engine's own date input writes
// the date in the engine's locale, whatever the page's language; this one
// is a text field that reads and writes the order and separators of the
// page's language (31/12/2026, 31.12.2026, 12/31/2026, 2026. 12. 31.),
// while the filters keep ISO dates ("2026-12-31").
import { t, currentLocale } from "./i18n.js";

const BIDI_MARKS = /[\u200e\u200f\u061c]/g;

// The parts of a date in the language's order: "day", "month", "year" and
// the literal texts between them. ISO for a page without a language.
const gLayouts = new Map();

export function dateLayout(locale) {
  // Asking the engine for a format costs tens of milliseconds: once a language.
  if (!gLayouts.has(locale)) gLayouts.set(locale, readLayout(locale));
  return gLayouts.get(locale);
}

function readLayout(locale) {
  const iso = [{ type: "year" }, { type: "literal", value: "-" }, { type: "month" }, { type: "literal", value: "-" }, { type: "day" }];
  if (!locale) return iso;
  try {
    // Gregorian and Latin digits in every language, as in the call records.
    const format = new Intl.DateTimeFormat(locale.replace("_", "-") + "-u-ca-gregory-nu-latn",
      { year: "numeric", month: "2-digit", day: "2-digit", timeZone: "UTC" });
    const parts = format.formatToParts(new Date(Date.UTC(2026, 11, 31)))
      .map(p => (p.type === "literal" ? { type: "literal", value: p.value.replace(BIDI_MARKS, "") } : { type: p.type }))
      .filter(p => p.type !== "literal" || p.value);
    const fields = parts.filter(p => p.type !== "literal").map(p => p.type);
    return fields.length === 3 && ["day", "month", "year"].every(f => fields.includes(f)) ? parts : iso;
  } catch (error) {
    return iso;
  }
}

export function formatDate(iso, layout) {
  const match = /^(\d{4})-(\d{2})-(\d{2})$/.exec(iso || "");
  if (!match) return "";
  const values = { year: match[1], month: match[2], day: match[3] };
  return layout.map(p => (p.type === "literal" ? p.value : values[p.type])).join("");
}

// The ISO date of a text written in the layout's order (or as an ISO date),
// "" for an empty text and null for one that is no date.
export function parseDate(text, layout) {
  const trimmed = String(text).trim();
  if (!trimmed) return "";
  const numbers = trimmed.split(/\D+/).filter(Boolean);
  if (numbers.length !== 3 || numbers.some(n => n.length > 4)) return null;
  const order = numbers[0].length === 4 ? ["year", "month", "day"] : layout.filter(p => p.type !== "literal").map(p => p.type);
  const values = {};
  order.forEach((field, i) => { values[field] = Number(numbers[i]); });
  if (String(numbers[order.indexOf("year")]).length === 2) values.year += 2000;
  else if (String(numbers[order.indexOf("year")]).length !== 4) return null;
  const date = new Date(Date.UTC(values.year, values.month - 1, values.day));
  if (date.getUTCFullYear() !== values.year || date.getUTCMonth() !== values.month - 1 || date.getUTCDate() !== values.day) return null;
  return date.toISOString().slice(0, 10);
}

export class DateField {
  constructor(id) {
    this.layout = dateLayout(currentLocale());
    const input = document.createElement("input");
    input.type = "text";
    input.id = id;
    input.className = "date-field";
    input.inputMode = "numeric";
    input.autocomplete = "off";
    input.spellcheck = false;
    // Digits run left to right in every language, as in the list.
    input.dir = "ltr";
    const names = { day: t("DD"), month: t("MM"), year: t("YYYY") };
    input.placeholder = this.layout.map(p => (p.type === "literal" ? p.value : names[p.type])).join("");
    input.size = Math.max(10, input.placeholder.length);
    // Written the language's way once the reader is done with it.
    input.addEventListener("change", () => {
      const iso = parseDate(input.value, this.layout);
      input.setAttribute("aria-invalid", iso === null ? "true" : "false");
      if (iso) input.value = formatDate(iso, this.layout);
    }, { capture: true });
    this.element = input;
  }

  // The ISO date, or "" when the field is empty or holds no date.
  get value() { return parseDate(this.element.value, this.layout) || ""; }

  set value(iso) {
    this.element.value = formatDate(iso, this.layout);
    this.element.setAttribute("aria-invalid", "false");
  }
}
