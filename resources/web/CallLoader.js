// The package's calls for the page. The calls script is fetched as text and
// its array read by the JSON reader: for a large list that is several times
// quicker than running the script, and leaves no compiled copy of it behind.
// A script the JSON reader does not take runs as a script, as it always did.
const CALLS_SCRIPT = "/app/js/data/calls.js";
// "var gCalls=" as the package writers and the retention filter write it.
const PREFIX = /^\uFEFF?\s*var\s+gCalls\s*=\s*(?=\[)/;

// The calls of a script "var gCalls=[...];", or null when the text is not
// exactly that with JSON inside. A "__proto__" key would mean something
// else to the script than to the JSON reader, so such texts run as scripts.
export function parseCallScript(text) {
  const prefix = PREFIX.exec(text);
  if (!prefix) return null;
  let end = text.length;
  while (end > 0 && /\s/.test(text[end - 1])) --end;
  if (text[end - 1] === ";") --end;
  if (text.includes("__proto__") || /\\u00(?:5f|6f|7[024])/i.test(text)) return null;
  try {
    const calls = JSON.parse(text.slice(prefix[0].length, end));
    return Array.isArray(calls) ? calls : null;
  } catch (error) {
    return null;
  }
}

// Text of UTF-8 bytes. Plain ASCII, the usual case, is read as single
// bytes, which the engine does several times quicker.
function decode(buffer) {
  const words = new Uint32Array(buffer, 0, buffer.byteLength >> 2);
  let high = 0;
  for (let i = 0; i < words.length; ++i) high |= words[i];
  const bytes = new Uint8Array(buffer, words.length * 4);
  for (let i = 0; i < bytes.length; ++i) high |= bytes[i];
  return new TextDecoder((high & 0x80808080) === 0 ? "windows-1252" : "utf-8").decode(buffer);
}

function runScript() {
  return new Promise(resolve => {
    const script = document.createElement("script");
    script.src = CALLS_SCRIPT;
    script.onload = script.onerror = () => {
      resolve(typeof gCalls !== "undefined" && Array.isArray(gCalls) ? gCalls : []);
    };
    document.head.appendChild(script);
  });
}

export async function loadCalls() {
  try {
    const response = await fetch(CALLS_SCRIPT);
    if (response.ok) {
      // The engine turns a body of a few hundred MB into text far quicker
      // through a buffer than through text().
      const body = await response.arrayBuffer();
      performance.mark("vorn-calls-received");
      const text = decode(body);
      performance.mark("vorn-calls-decoded");
      const calls = parseCallScript(text);
      performance.mark("vorn-calls-read");
      if (calls) return calls;
    }
  } catch (error) { /* the script below reports nothing either */ }
  return runScript();
}
