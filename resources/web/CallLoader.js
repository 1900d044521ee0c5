// The package's calls for the page. The calls script is read as it arrives
// and its array taken by the JSON reader a few hundred calls at a time: for
// a large list that is many times quicker than running the script, overlaps
// the transfer, and never holds the whole text. A script the JSON reader
// does not take runs as a script, as it always did.
const CALLS_SCRIPT = "/app/js/data/calls.js";
// "var gCalls=" as the package writers and the retention filter write it.
const PREFIX = /^\uFEFF?\s*var\s+gCalls\s*=\s*\[/;
// A "__proto__" key means something else to a script than to the JSON reader.
const PROTO = /__proto__|\\u00(?:5f|6f|7[024])/i;
const PIECE = 1 << 20;
const PART = 4 << 20;

// Reads "var gCalls=[...];" from pieces of UTF-8; take() gives the calls,
// or null when the text is not exactly that with JSON inside.
export class CallScriptReader {
  constructor() {
    this.calls = [];
    this.rest = "";
    this.open = false; // the "[" has been read
    this.failed = false;
    this.utf8 = new TextDecoder("utf-8");
    this.ascii = new TextDecoder("windows-1252");
    this.pending = false; // the last piece ended inside a UTF-8 sequence
    this.nextTry = PART; // text length at which elements are read next
  }

  // Pieces as they come are small: they are gathered to about PIECE bytes
  // before being turned into text.
  push(bytes) {
    if (this.failed) return;
    this.held = this.held || [];
    this.held.push(bytes);
    this.heldSize = (this.heldSize || 0) + bytes.length;
    if (this.heldSize >= PIECE) this.release();
  }

  release() {
    if (!this.heldSize) return;
    let bytes = this.held[0];
    if (this.held.length > 1) {
      bytes = new Uint8Array(this.heldSize);
      let at = 0;
      for (const piece of this.held) {
        bytes.set(piece, at);
        at += piece.length;
      }
    }
    this.held = [];
    this.heldSize = 0;
    this.rest += this.decode(bytes);
    if (!this.open) {
      const prefix = PREFIX.exec(this.rest);
      if (!prefix) {
        // Blanks and a short prefix may still be incomplete.
        if (this.rest.length > 4096 || /[^\s\uFEFF\w=]/.test(this.rest)) this.failed = true;
        return;
      }
      this.open = true;
      this.rest = this.rest.slice(prefix[0].length);
    }
    if (this.rest.length >= this.nextTry) this.readElements(false);
  }

  // Plain ASCII, the usual case, is read byte for byte, which the engine
  // does several times quicker than UTF-8.
  decode(bytes) {
    if (!this.pending) {
      let high = 0;
      const words = new Uint32Array(bytes.buffer, bytes.byteOffset, bytes.byteOffset % 4 ? 0 : bytes.length >> 2);
      for (let i = 0; i < words.length; ++i) high |= words[i];
      for (let i = words.length * 4; i < bytes.length; ++i) high |= bytes[i];
      if ((high & 0x80808080) === 0) return this.ascii.decode(bytes);
    }
    const text = this.utf8.decode(bytes, { stream: true });
    // Whether the decoder holds the start of a sequence for the next piece.
    let k = bytes.length - 1;
    while (k >= 0 && k >= bytes.length - 4 && (bytes[k] & 0xc0) === 0x80) --k;
    const lead = k >= 0 ? bytes[k] : 0;
    const length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
    this.pending = k >= 0 && bytes.length - k < length;
    return text;
  }

  // Takes the calls before the last "}," that parses as whole elements. A
  // cut inside a text or a nested value leaves a part that does not parse;
  // such a part waits for more text.
  readElements(last) {
    const rest = this.rest;
    if (PROTO.test(rest)) {
      this.failed = true;
      return;
    }
    let cut = rest.length;
    if (!last) {
      cut = rest.lastIndexOf(",");
      while (cut > 0) {
        let k = cut - 1;
        while (k > 0 && /\s/.test(rest[k])) --k;
        if (rest[k] === "}") break;
        cut = rest.lastIndexOf(",", k - 1);
      }
      if (cut <= 0) return;
    }
    let part;
    try {
      part = JSON.parse("[" + rest.slice(0, cut) + "]");
    } catch (error) {
      // Not again before the text has doubled, so that a text that never
      // parses in parts costs little more than one reading.
      if (last) this.failed = true;
      else this.nextTry = rest.length * 2;
      return;
    }
    this.nextTry = PART;
    for (let i = 0; i < part.length; ++i) this.calls.push(part[i]);
    this.rest = last ? "" : rest.slice(cut + 1);
  }

  take() {
    this.release();
    if (this.failed || !this.open) return null;
    this.rest += this.utf8.decode();
    // The end: "]", then at most a ";" and blanks.
    let end = this.rest.length;
    while (end > 0 && /\s/.test(this.rest[end - 1])) --end;
    if (this.rest[end - 1] === ";") --end;
    while (end > 0 && /\s/.test(this.rest[end - 1])) --end;
    if (this.rest[end - 1] !== "]") return null;
    this.rest = this.rest.slice(0, end - 1);
    if (this.rest.trim() === "" && this.calls.length === 0) return [];
    this.readElements(true);
    return this.failed ? null : this.calls;
  }
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

// started: the response of a fetch of the calls script begun earlier, if any.
export async function loadCalls(started) {
  try {
    const response = await (started || fetch(CALLS_SCRIPT));
    if (response.ok && response.body) {
      const reader = new CallScriptReader();
      const stream = response.body.getReader();
      for (;;) {
        const { done, value } = await stream.read();
        if (done) break;
        reader.push(value);
        if (reader.failed) {
          stream.cancel();
          break;
        }
      }
      performance.mark("vorn-calls-received");
      const calls = reader.take();
      performance.mark("vorn-calls-read");
      if (calls) return calls;
    }
  } catch (error) { /* the script below reports nothing either */ }
  return runScript();
}
