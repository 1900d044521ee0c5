// Stable ascending orders of call indices by a key per call, quick for a
// million calls: every key becomes a 32-bit number that keeps the keys'
// order, and a radix sort (stable, so ties keep index order) arranges the
// indices in a few passes. A comparison function called twenty million
// times takes seconds.
const DIGIT = 11;
const BUCKETS = 1 << DIGIT;
const KEY_LIMIT = 4294967296; // 2^32

// Indices 0..n-1 by keys[i] (Uint32Array), ties in index order.
function radixOrder(keys) {
  const n = keys.length;
  let order = new Int32Array(n);
  for (let i = 0; i < n; ++i) order[i] = i;
  let other = new Int32Array(n);
  const count = new Int32Array(BUCKETS);
  for (let shift = 0; shift < 32; shift += DIGIT) {
    count.fill(0);
    for (let i = 0; i < n; ++i) count[(keys[i] >>> shift) & (BUCKETS - 1)]++;
    if (n === 0 || count[(keys[0] >>> shift) & (BUCKETS - 1)] === n) continue;
    let sum = 0;
    for (let d = 0; d < BUCKETS; ++d) {
      const c = count[d];
      count[d] = sum;
      sum += c;
    }
    for (let k = 0; k < n; ++k) {
      const i = order[k];
      other[count[(keys[i] >>> shift) & (BUCKETS - 1)]++] = i;
    }
    [order, other] = [other, order];
  }
  return order;
}

// Numbers (no NaN), as "a - b" orders them.
export function numberOrder(values) {
  const n = values.length;
  let whole = true;
  let low = Infinity;
  let high = -Infinity;
  for (let i = 0; i < n; ++i) {
    const v = values[i];
    if (v === -Infinity) continue;
    if (!Number.isInteger(v)) whole = false;
    if (v < low) low = v;
    if (v > high) high = v;
  }
  const keys = new Uint32Array(n);
  if (whole && !(high - low >= KEY_LIMIT - 2)) {
    // Whole numbers in a modest range are their own key; -Infinity comes first.
    for (let i = 0; i < n; ++i) keys[i] = values[i] === -Infinity ? 0 : values[i] - low + 1;
  } else {
    // Otherwise each value's rank among the distinct values is its key.
    const distinct = Float64Array.from(values).sort();
    let m = 0;
    for (let k = 0; k < n; ++k) if (m === 0 || distinct[k] !== distinct[m - 1]) distinct[m++] = distinct[k];
    for (let i = 0; i < n; ++i) {
      const v = values[i];
      let lo = 0;
      let hi = m - 1;
      while (lo < hi) {
        const mid = (lo + hi) >> 1;
        if (distinct[mid] < v) lo = mid + 1; else hi = mid;
      }
      keys[i] = lo;
    }
  }
  return radixOrder(keys);
}

// Texts, by their UTF-16 units as "<" compares them. The key is the first
// characters after the prefix every text shares, each as its rank among the
// characters seen there; texts that the key leaves tied and that go on
// beyond it are compared in full, within their tie only.
export function textOrder(texts) {
  const n = texts.length;
  if (n === 0) return new Int32Array(0);
  const first = texts[0];
  let shared = first.length;
  for (let i = 1; i < n && shared > 0; ++i) {
    const text = texts[i];
    let k = 0;
    const limit = Math.min(shared, text.length);
    while (k < limit && text.charCodeAt(k) === first.charCodeAt(k)) ++k;
    shared = k;
  }
  const SPAN = 16;
  const seen = new Uint8Array(65536);
  for (let i = 0; i < n; ++i) {
    const text = texts[i];
    const end = Math.min(text.length, shared + SPAN);
    for (let k = shared; k < end; ++k) seen[text.charCodeAt(k)] = 1;
  }
  // Rank 0 is "the text has ended", below every character.
  // Up to 65 536 characters and the end: more than 16 bits.
  const rank = new Uint32Array(65536);
  let symbols = 1;
  for (let c = 0; c < 65536; ++c) if (seen[c]) rank[c] = symbols++;
  let bits = 1;
  while ((1 << bits) < symbols) ++bits;
  const width = Math.min(SPAN, Math.floor(32 / bits));
  const base = 2 ** bits;
  const keys = new Uint32Array(n);
  for (let i = 0; i < n; ++i) {
    const text = texts[i];
    let key = 0;
    for (let k = shared; k < shared + width; ++k) key = key * base + (k < text.length ? rank[text.charCodeAt(k)] : 0);
    keys[i] = key;
  }
  const order = radixOrder(keys);
  // Runs of one key: equal texts unless some go on past the key.
  const covered = shared + width;
  const byText = (a, b) => (texts[a] < texts[b] ? -1 : texts[a] > texts[b] ? 1 : a - b);
  for (let start = 0; start < n;) {
    const key = keys[order[start]];
    let end = start + 1;
    let longer = texts[order[start]].length > covered;
    while (end < n && keys[order[end]] === key) {
      if (texts[order[end]].length > covered) longer = true;
      ++end;
    }
    if (longer && end - start > 1) order.subarray(start, end).sort(byText);
    start = end;
  }
  return order;
}
