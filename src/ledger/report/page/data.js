// The report's data as the ledger writes it into the page: a few parts of
// JSON, one a line as "name:text", each compressed (zlib's format) and
// written in base 85 (five characters for four bytes, the digits below).
// The overview and the tables need "main" and "software"; the records of
// every PC ("records", most of the data) are inflated once the page is
// drawn, and a view that shows records waits for them.
const DIGITS = '!#$%()*+,-./0123456789:;=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_abcdefghijklmnopqrstuvwxyz{|';
// The data's parts by name, as their texts.
function dataParts() {
  const parts = new Map();
  for (const line of document.getElementById('report-data').textContent.split('\n')) {
    const at = line.indexOf(':');
    if (at > 0) parts.set(line.slice(0, at), line.slice(at + 1));
  }
  return parts;
}
function bytesOf(t) {
  const value = new Uint8Array(128);
  for (let i = 0; i < 85; ++i) value[DIGITS.charCodeAt(i)] = i;
  const tail = t.length % 5, whole = t.length - tail;
  const out = new Uint8Array(whole / 5 * 4 + (tail ? tail - 1 : 0));
  const group = (i, o, bytes) => {
    let v = 0;
    for (let k = i; k < i + 5; ++k) v = v * 85 + (k < t.length ? value[t.charCodeAt(k)] : 84);
    for (let b = 0; b < bytes; ++b) out[o + b] = v / 2 ** (24 - 8 * b) & 255;
  };
  let o = 0;
  for (let i = 0; i < whole; i += 5, o += 4) {
    const v = (((value[t.charCodeAt(i)] * 85 + value[t.charCodeAt(i + 1)]) * 85 + value[t.charCodeAt(i + 2)]) * 85 +
      value[t.charCodeAt(i + 3)]) * 85 + value[t.charCodeAt(i + 4)];
    out[o] = v / 16777216;
    out[o + 1] = v >>> 16;
    out[o + 2] = v >>> 8;
    out[o + 3] = v;
  }
  if (tail) group(whole, o, tail - 1);  // a short last group: padded with the top digit
  return out;
}
// A part as its JSON value; its text is let go.
async function readPart(parts, name) {
  const stream = new Blob([bytesOf(parts.get(name) || '')]).stream().pipeThrough(new DecompressionStream('deflate'));
  const value = await new Response(stream).json();
  parts.delete(name);
  return value;
}
function parseList(text) {
  if (text == null) return [];
  try {
    const list = JSON.parse(text);
    return Array.isArray(list) ? list : [];
  } catch (e) {
    return [];
  }
}

// A column sent as the differences from the value before.
function undelta(deltas) {
  const column = new Int32Array(deltas.length);
  let v = 0;
  for (let i = 0; i < deltas.length; ++i) column[i] = v += deltas[i];
  return column;
}
// A PC's record indices, sent as base-32 digits: "0-9a-v" before the last
// digit of each index, "A-Z!#$%()" for the last; "*" for the next of the
// records met only once, which the PCs name in the order of their indices;
// "wxyz-._~:;=?@[]^" for the record 1 to 16 places after the list's last
// one in the order of the records' texts (D.byText).
const DIGIT = new Int8Array(128).fill(-1), LAST = new Int8Array(128).fill(-1);
[...'0123456789abcdefghijklmnopqrstuv'].forEach((c, i) => { DIGIT[c.charCodeAt(0)] = i; });
[...'ABCDEFGHIJKLMNOPQRSTUVWXYZ!#$%()'].forEach((c, i) => { LAST[c.charCodeAt(0)] = i; });
const STEP = new Int8Array(128);
[...'wxyz-._~:;=?@[]^'].forEach((c, i) => { STEP[c.charCodeAt(0)] = i + 1; });
// A PC's list: `single` is the index of its first record met only once,
// placeOf[r] the place of record r in byText (for those met more often).
function decodeIds(s, single, byText, placeOf) {
  const out = [];
  let v = 0, place = -1;
  for (let k = 0; k < s.length; ++k) {
    const c = s.charCodeAt(k);
    if (c === 42) out.push(single++);
    else if (STEP[c]) out.push(byText[place += STEP[c]]);
    else if (LAST[c] >= 0) {
      const r = v * 32 + LAST[c];
      out.push(r);
      if (r < placeOf.length) place = placeOf[r];
      v = 0;
    } else v = v * 32 + DIGIT[c];
  }
  return out;
}
