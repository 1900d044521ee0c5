// The search texts of all calls, lowercased, held as one string per block of
// calls with each call's start in it. A term is looked for in the whole block
// and the call told from where it occurs, so a rare term (a caller's number)
// costs one scan of the text, not one search per call; and a million calls
// hold a few hundred strings rather than a million.
const BLOCK = 2048;
const GAP = "\n"; // between calls; search terms never hold blanks

export class SearchIndex {
  // textOf(call) gives a call's search text before lowercasing; no term can
  // match across the "\u0001" it puts between values.
  constructor(calls, textOf) {
    this.calls = calls;
    this.textOf = textOf;
    this.blocks = [];
    this.starts = new Int32Array(calls.length);
    this.built = 0;
  }

  ready() { return this.built >= this.calls.length; }

  // Builds blocks until done, or until deadline() says to stop between blocks.
  build(deadline) {
    const calls = this.calls;
    const n = calls.length;
    while (this.built < n) {
      const first = this.built;
      const last = Math.min(n, first + BLOCK);
      const texts = new Array(last - first);
      let position = 0;
      for (let i = first; i < last; ++i) {
        const text = this.textOf(calls[i] || {});
        texts[i - first] = text;
        this.starts[i] = position;
        position += text.length + 1;
      }
      let block = texts.join(GAP).toLowerCase();
      // Lowercasing one block is quicker than a call at a time; where it
      // changed a length (a few letters lowercase to two) it goes call by call.
      if (block.length !== position - 1) {
        position = 0;
        for (let k = 0; k < texts.length; ++k) {
          texts[k] = texts[k].toLowerCase();
          this.starts[first + k] = position;
          position += texts[k].length + 1;
        }
        block = texts.join(GAP);
      }
      this.blocks.push(block);
      this.built = last;
      if (deadline && deadline()) return this.ready();
    }
    return true;
  }

  // Marks the calls whose text holds every term (lowercase, non-empty, no
  // blanks); with previous, only calls it marks can match.
  match(terms, previous) {
    this.build();
    const n = this.calls.length;
    const match = new Uint8Array(n);
    const level = new Int32Array(BLOCK);
    const starts = this.starts;
    for (let b = 0; b < this.blocks.length; ++b) {
      const text = this.blocks[b];
      const base = b * BLOCK;
      const count = Math.min(BLOCK, n - base);
      const end = k => (k + 1 < count ? starts[base + k + 1] - 1 : text.length);
      if (previous) {
        let candidates = 0;
        for (let k = 0; k < count; ++k) candidates += previous[base + k];
        if (candidates === 0) continue;
        // Few candidates: each is looked at on its own.
        if (candidates < count / 32) {
          for (let k = 0; k < count; ++k) {
            if (!previous[base + k]) continue;
            const own = text.slice(starts[base + k], end(k));
            if (terms.every(term => own.includes(term))) match[base + k] = 1;
          }
          continue;
        }
      }
      // level[k]: how many terms call k has passed so far.
      level.fill(0);
      for (let t = 0; t < terms.length; ++t) {
        const term = terms[t];
        let k = 0;
        let at = text.indexOf(term);
        while (at >= 0) {
          while (k + 1 < count && starts[base + k + 1] <= at) ++k;
          if (level[k] === t) level[k] = t + 1;
          if (k + 1 >= count) break;
          at = text.indexOf(term, starts[base + k + 1]);
        }
      }
      for (let k = 0; k < count; ++k)
        if (level[k] === terms.length && (!previous || previous[base + k])) match[base + k] = 1;
    }
    return match;
  }
}
