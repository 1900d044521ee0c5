// Texts of the page in the reader's language.
//
// Every visible text is written in English in the page's sources and passed
// through t() (or tn() when it depends on a count); the English text is the
// key into the "<locale>.ui.mo" catalog (binary gettext format) of the locale
// that the "lang" query item names. A missing catalog, a damaged one or a
// missing entry leaves the English text in place.
//
//   await loadCatalog(pageLocale());
//   t("Play")                                   -> "Wiedergabe"
//   t("Call {id}", {id: 7})                     -> "Anruf 7"
//   tn("{n} call", "{n} calls", 5)              -> "5 Anrufe"
//   translateDocument(document)   // elements marked data-i18n, data-i18n-title,
//                                 // data-i18n-aria-label, data-i18n-placeholder
//
// Only literal strings inside t("...") / tn("...", "...") and the English
// content of data-i18n elements are collected for the catalogs
// (scripts/i18n-extract), so keep the English text literal at the call.

const LE_MAGIC = 0x950412de;
const BE_MAGIC = 0xde120495;
const RTL_LANGUAGES = new Set(["ar", "fa", "he", "ur"]);
// Locale codes as the locale menu writes them; anything else never reaches a URL.
const LOCALE_PATTERN = /^[a-z]{2,3}(_[A-Z]{2})?$/;

let gMessages = new Map();
let gPluralIndex = (n) => (n === 1 ? 0 : 1);
let gLocale = "";

// Parses a gettext .mo catalog: returns {messages: Map(msgid -> [forms]),
// pluralIndex: function} or throws Error on a damaged file. Lengths and
// offsets come from the file, so every one is checked against its size.
export function parseMo(buffer) {
  const view = new DataView(buffer);
  if (view.byteLength < 20) throw new Error("catalog too short");
  let little;
  const magic = view.getUint32(0, true);
  if (magic === LE_MAGIC) little = true;
  else if (magic === BE_MAGIC) little = false;
  else throw new Error("not a gettext catalog");
  const u32 = (offset) => {
    if (offset < 0 || offset + 4 > view.byteLength) throw new Error("catalog truncated");
    return view.getUint32(offset, little);
  };
  const major = u32(4) >>> 16;
  if (major > 1) throw new Error("unknown catalog revision");
  const count = u32(8);
  const originals = u32(12);
  const translations = u32(16);
  if (count > (view.byteLength - 20) / 16) throw new Error("catalog count out of range");
  const decoder = new TextDecoder("utf-8");
  const bytes = new Uint8Array(buffer);
  const text = (table, index) => {
    const length = u32(table + index * 8);
    const offset = u32(table + index * 8 + 4);
    if (offset + length > bytes.length) throw new Error("catalog string out of range");
    return decoder.decode(bytes.subarray(offset, offset + length));
  };
  const messages = new Map();
  let pluralIndex = null;
  for (let i = 0; i < count; i++) {
    const original = text(originals, i);
    const forms = text(translations, i).split("\0");
    if (original === "") {
      pluralIndex = pluralRule(forms[0]);
      continue;
    }
    // A plural entry is keyed by its singular English text.
    messages.set(original.split("\0")[0], forms);
  }
  return { messages, pluralIndex: pluralIndex || ((n) => (n === 1 ? 0 : 1)) };
}

// The "Plural-Forms" header's C expression, evaluated by a small parser of
// its own: the catalog is data, never code for eval().
export function pluralRule(header) {
  const match = /plural\s*=\s*([^;\n]+)/.exec(header || "");
  if (!match) return null;
  const tokens = match[1].match(/\d+|n|\|\||&&|[=!<>]=|[-+*/%<>?:()!]/g);
  if (!tokens || tokens.join("") !== match[1].replace(/\s+/g, "")) return null;
  let expr;
  try {
    expr = parseExpression(tokens);
  } catch (e) {
    return null;
  }
  return (n) => {
    const value = Number(expr(n));
    return Number.isFinite(value) ? value : 0;
  };
}

function parseExpression(tokens) {
  let pos = 0;
  const peek = () => tokens[pos];
  const take = (expected) => {
    if (expected !== undefined && tokens[pos] !== expected) throw new Error("bad plural rule");
    return tokens[pos++];
  };
  const binary = [
    ["||"], ["&&"], ["==", "!="], ["<", ">", "<=", ">="], ["+", "-"], ["*", "/", "%"],
  ];
  const apply = (op, a, b) => {
    switch (op) {
      case "||": return a || b ? 1 : 0;
      case "&&": return a && b ? 1 : 0;
      case "==": return a === b ? 1 : 0;
      case "!=": return a !== b ? 1 : 0;
      case "<": return a < b ? 1 : 0;
      case ">": return a > b ? 1 : 0;
      case "<=": return a <= b ? 1 : 0;
      case ">=": return a >= b ? 1 : 0;
      case "+": return a + b;
      case "-": return a - b;
      case "*": return a * b;
      case "/": return b === 0 ? 0 : Math.trunc(a / b);
      default: return b === 0 ? 0 : a % b;
    }
  };
  const primary = () => {
    const token = take();
    if (token === "(") {
      const inner = ternary();
      take(")");
      return inner;
    }
    if (token === "!") {
      const operand = primary();
      return (n) => (operand(n) ? 0 : 1);
    }
    if (token === "n") return (n) => n;
    if (/^\d+$/.test(token || "")) {
      const value = Number(token);
      return () => value;
    }
    throw new Error("bad plural rule");
  };
  const level = (index) => {
    if (index === binary.length) return primary();
    let left = level(index + 1);
    while (binary[index].includes(peek())) {
      const op = take();
      const a = left;
      const b = level(index + 1);
      left = (n) => apply(op, a(n), b(n));
    }
    return left;
  };
  const ternary = () => {
    const condition = level(0);
    if (peek() !== "?") return condition;
    take("?");
    const yes = ternary();
    take(":");
    const no = ternary();
    return (n) => (condition(n) ? yes(n) : no(n));
  };
  const result = ternary();
  if (pos !== tokens.length) throw new Error("bad plural rule");
  return result;
}

// The locale the page was opened for ("lang" query item), or "" when none
// or a malformed one was given.
export function pageLocale(search = window.location.search) {
  const lang = new URLSearchParams(search).get("lang") || "";
  return LOCALE_PATTERN.test(lang) ? lang : "";
}

export function currentLocale() {
  return gLocale;
}

export function isRightToLeft(lang) {
  return RTL_LANGUAGES.has(String(lang).split("_")[0]);
}

// Catalogs are embedded resources named "<locale>.ui.mo"; the server looks
// them up by the last path component, so the folder is only for order.
export function catalogPath(lang) {
  return `/app/i18n/${lang}.ui.mo`;
}

// Loads the catalog of lang and sets the document's language and direction.
// Resolves to true when a catalog was loaded; on any failure the page keeps
// speaking English (and says so on the console) rather than showing nothing.
// started: { lang, response } of a fetch of a catalog begun earlier, if any.
export async function loadCatalog(lang, started) {
  gMessages = new Map();
  gPluralIndex = (n) => (n === 1 ? 0 : 1);
  gLocale = LOCALE_PATTERN.test(lang || "") ? lang : "";
  const root = document.documentElement;
  root.lang = gLocale ? gLocale.replace("_", "-") : "en";
  root.dir = isRightToLeft(gLocale) ? "rtl" : "ltr";
  if (!gLocale) return false;
  try {
    const response = await (started && started.lang === gLocale ? started.response : fetch(catalogPath(gLocale)));
    if (!response.ok) throw new Error(`HTTP ${response.status}`);
    const catalog = parseMo(await response.arrayBuffer());
    gMessages = catalog.messages;
    gPluralIndex = catalog.pluralIndex;
    return true;
  } catch (error) {
    console.warn(`No catalog for ${gLocale}, texts stay English: ${error.message}`);
    return false;
  }
}

// For tests and tools that already hold the catalog's bytes.
export function useCatalog(buffer, lang = "") {
  const catalog = parseMo(buffer);
  gMessages = catalog.messages;
  gPluralIndex = catalog.pluralIndex;
  gLocale = lang;
}

function fill(text, params) {
  if (!params) return text;
  return text.replace(/\{(\w+)\}/g, (whole, name) =>
    Object.prototype.hasOwnProperty.call(params, name) ? String(params[name]) : whole);
}

export function t(msgid, params) {
  const forms = gMessages.get(msgid);
  return fill(forms && forms[0] ? forms[0] : msgid, params);
}

// Count-dependent text; {n} in either form is replaced by the count.
export function tn(singular, plural, count, params) {
  const forms = gMessages.get(singular);
  let text;
  if (forms) {
    const index = gPluralIndex(count);
    text = forms[index] || forms[forms.length - 1];
  }
  if (!text) text = count === 1 ? singular : plural;
  return fill(text, Object.assign({ n: count }, params));
}

// Translates the English texts written into the markup: the content of
// elements marked data-i18n, and attributes whose English text is written
// in data-i18n-<attr> (data-i18n-title="Play" sets title). The English
// originals stay on the element, so the page can be translated again after
// a language switch.
const ATTRIBUTES = ["title", "aria-label", "placeholder", "alt"];

export function translateDocument(root = document) {
  for (const element of root.querySelectorAll("[data-i18n]")) {
    if (!element.dataset.i18nSource) element.dataset.i18nSource = element.textContent.trim();
    element.textContent = t(element.dataset.i18nSource);
  }
  for (const attribute of ATTRIBUTES) {
    const marker = `data-i18n-${attribute}`;
    for (const element of root.querySelectorAll(`[${marker}]`)) {
      element.setAttribute(attribute, t(element.getAttribute(marker)));
    }
  }
}
