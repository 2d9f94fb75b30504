// Elements and the texts put into them. Every text that came from a record
// file goes into the page as a text node, never as markup.
// Numbers as Japanese readers write them: 100,000.
const numberFormat = new Intl.NumberFormat('ja-JP');
const fmt = v => (v == null || v === '' ? '' : numberFormat.format(v));
// Builds an element; plain strings and numbers become text nodes.
function el(tag, props, ...children) {
  const node = document.createElement(tag);
  if (props) {
    for (const [k, v] of Object.entries(props)) {
      if (k === 'className') node.className = v;
      else if (k === 'onclick') node.addEventListener('click', v);
      else node.setAttribute(k, v);
    }
  }
  for (const child of children) {
    if (child == null) continue;
    node.append(typeof child === 'object' ? child : document.createTextNode(String(child)));
  }
  return node;
}
function text(v) { return v == null ? '' : String(v); }
// Opened by a click, or by Enter or the space bar once reached with Tab.
function opens(node, open, ...children) {
  node.append(...children);
  node.tabIndex = 0;
  node.addEventListener('click', open);
  node.addEventListener('keydown', e => {
    if (e.target === node && (e.key === 'Enter' || e.key === ' ')) { e.preventDefault(); open(); }
  });
  return node;
}
function num(v) {
  const m = /^\s*(-?\d+(?:\.\d+)?)/.exec(text(v).replace(/,/g, ''));
  return m ? Number(m[1]) : NaN;
}
function plainTable(heads, rows) {
  return el('table', { className: 'plain' },
    el('thead', null, el('tr', null, ...heads.map(h => el('th', null, h)))),
    el('tbody', null, ...rows.map(r => el('tr', null, ...r.map(c => el('td', null, c))))));
}
function replace(node, ...children) {
  node.textContent = '';
  for (const c of children) if (c != null) node.append(c);
}
const fold = s => s.normalize('NFKC').toLowerCase();
// A date's day (days since 1970), from its leading YYYY-MM-DD.
const dayNumber = t => {
  const m = /^(\d{4})-(\d{2})-(\d{2})/.exec(text(t));
  return m ? Date.UTC(+m[1], +m[2] - 1, +m[3]) / 86400000 : NaN;
};
