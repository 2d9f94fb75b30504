'use strict';
// Renders the ledger's report from the data embedded in the page. Every text
// that came from a record file is put into the page as a text node, never as
// markup.
//
// The data is a few parts of JSON, one a line as "name:text", each compressed
// (zlib's format) and written in base 85 (five characters for four bytes, the
// digits below). The overview and the tables need "main" and "software"; the
// records of every PC ("records", most of the data) are inflated once the
// page is drawn, and a view that shows records waits for them.
let dataLoaded;
window.reportLoaded = new Promise((resolve, reject) => { dataLoaded = { resolve, reject }; });
(async function () {
  const DIGITS = '!#$%()*+,-./0123456789:;=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_abcdefghijklmnopqrstuvwxyz{|';
  const parts = new Map();
  for (const line of document.getElementById('report-data').textContent.split('\n')) {
    const at = line.indexOf(':');
    if (at > 0) parts.set(line.slice(0, at), line.slice(at + 1));
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
  async function readPart(name) {
    const stream = new Blob([bytesOf(parts.get(name) || '')]).stream().pipeThrough(new DecompressionStream('deflate'));
    const value = await new Response(stream).json();
    parts.delete(name);
    return value;
  }
  if (typeof DecompressionStream === 'undefined') {
    document.querySelector('main').textContent = 'このブラウザではレポートを表示できません。新しい版の Edge、Chrome、Firefox、Safari で開いてください。';
    dataLoaded.reject(new Error('DecompressionStream is missing'));
    return;
  }
  const D = Object.assign(...await Promise.all([readPart('main'), readPart('software')]));
  // Set once the records come: the texts, and the records by field (group,
  // item, subitem, contents, unit) as indices into them.
  let S = null, R = null, recordCount = 0, singleStart = null, byText = null, placeOf = null;
  // Numbers as Japanese readers write them: 100,000.
  const numberFormat = new Intl.NumberFormat('ja-JP');
  const fmt = v => (v == null || v === '' ? '' : numberFormat.format(v));

  // The columns of pcs.csv with its headings (from the ledger's one list of
  // them), then the register's further columns.
  const PC_COLUMNS = D.pcColumns.map(([title, width, numeric]) => numeric ? [title, width, 'num'] : [title, width]);
  const COL = { number: 0, surname: 1, givenName: 2, computer: 3, user: 4, os: 5, osVersion: 6, memory: 8, maker: 12,
    collectedAt: 19, fileName: D.pcColumns.length, extra: D.pcColumns.length + 1 };
  const pcs = D.pcs;
  const extraNames = parseList(D.extraColumns);
  const pcColumns = PC_COLUMNS.concat(extraNames.map(name => [name, 140]));
  // Each PC's row as shown: pcs.csv's columns and the register's extras.
  const pcRows = pcs.map(p => {
    const extra = parseList(p[COL.extra]);
    const row = p.slice(0, PC_COLUMNS.length);
    for (let i = 0; i < extraNames.length; ++i) row.push(extra[i] == null ? '' : String(extra[i]));
    return row;
  });
  let lastNew = 0;
  const newPcs = new Set(D.newPcs.map(step => (lastNew += step)));  // sent as differences
  // The catalogue's products: [product, publisher, kind, kind title, owned,
  // installed, balance, end of support]; the names and captions they cover.
  const L = D.licences || [];
  const LC = { product: 0, publisher: 1, kind: 2, kindTitle: 3, owned: 4, installed: 5, balance: 6, endOfSupport: 7 };
  const appProduct = new Map(D.appProducts || []);
  const osProduct = new Map(D.osProducts || []);

  function parseList(text) {
    if (text == null) return [];
    try {
      const list = JSON.parse(text);
      return Array.isArray(list) ? list : [];
    } catch (e) {
      return [];
    }
  }

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

  // ----- overview -----
  function card(label, value, note, share) {
    return el('div', { className: 'card' }, el('div', { className: 'label' }, label),
      el('div', { className: 'value' }, value), note == null ? null : el('div', { className: 'note' }, note),
      share == null ? null : el('div', { className: 'progress' },
        el('span', { style: 'width:' + Math.min(100, Math.round(share * 100)) + '%' })));
  }

  function renderOverview() {
    const last = D.lastImport;
    replace(document.getElementById('stamp'),
      '作成日時 ' + D.now + (last ? '　最終取り込み ' + text(last.startedAt) : ''));
    const reported = pcs.length;
    const cards = [D.expected == null
      ? card('報告済みのPC', fmt(reported) + ' 台', '台帳なし（--register で予定台数を表示）')
      : card('報告済みのPC', fmt(reported) + ' 台', '台帳の ' + fmt(D.expected) + ' 台中 ' +
        Math.round(reported * 100 / D.expected) + '%', reported / D.expected)];
    cards.push(card('前回の取り込みで新規', fmt(newPcs.size) + ' 台', last ? text(last.startedAt) : null));
    if (last) {
      cards.push(card('最終取り込み', fmt(last.filesRead) + ' ファイル',
        '新規 ' + fmt(last.newPcs) + '　更新 ' + fmt(last.updatedPcs) + '　取込不可 ' + fmt(last.rejected)));
    }
    const findingCount = D.findings.reduce((n, f) => n + f.items.length, 0);
    cards.push(card('検出事項', fmt(findingCount) + ' 件', fmt(D.findings.length) + ' 種類'));
    replace(document.getElementById('cards'), ...cards);
    replace(document.getElementById('asset-cards'), ...catalogueCards());

    const findings = document.getElementById('findings');
    if (!D.findings.length) replace(findings, el('p', { className: 'none' }, '検出事項はありません。'));
    else replace(findings, ...D.findings.map(findingDetails));

    replace(document.getElementById('per-day'),
      D.perDay.length ? columnChart(everyDay(D.perDay)) : el('p', { className: 'none' }, 'まだ報告がありません。'));
  }

  // A kind's items as a table; thousands of them (a large ledger's every PC)
  // as a grid like the PC table, made when first opened.
  const FINDING_HEADS = ['管理番号', 'ファイル', '詳細'];
  function findingDetails(f) {
    const details = el('details', { className: 'finding', 'data-kind': f.kind },
      el('summary', null, f.title, el('span', { className: 'n' }, fmt(f.items.length) + ' 件')));
    if (f.items.length <= 500) {
      details.append(plainTable(FINDING_HEADS, f.items.map(([number, file, detail]) =>
        [number == null ? '' : pcLink(number), text(file), text(detail)])));
      return details;
    }
    details.addEventListener('toggle', () => {
      if (!details.open || details.lastChild.tagName === 'DIV') return;
      const container = el('div', { className: 'grid list', style: 'height:600px' });
      details.append(container);
      new Grid(container, [[FINDING_HEADS[0], 130], [FINDING_HEADS[1], 300], [FINDING_HEADS[2], 400]],
        f.items.map(item => item.map(text)), r => {
          const k = pcIndex.get(f.items[r][0]);
          if (k !== undefined) showPc(k);
        }).render();
    });
    return details;
  }

  const pcIndex = new Map(pcs.map((p, i) => [p[COL.number], i]));
  function pcLink(number) {
    const i = pcIndex.get(number);
    if (i === undefined) return text(number);
    return el('a', { className: 'pc', onclick: () => showPc(i) }, number);
  }

  // ----- charts (SVG drawn here) -----
  const SVG = 'http://www.w3.org/2000/svg';
  function svg(tag, attrs, content) {
    const node = document.createElementNS(SVG, tag);
    for (const [k, v] of Object.entries(attrs || {})) node.setAttribute(k, v);
    if (content != null) node.textContent = String(content);
    return node;
  }

  // Horizontal bars, one per [label, count].
  function barChart(entries) {
    if (!entries.length) return el('p', { className: 'none' }, 'データがありません。');
    const max = Math.max(...entries.map(e => e[1]));
    const labelW = 200, barW = 260, rowH = 24, w = labelW + barW + 12 + textWidth(fmt(max) + ' 台');
    const chart = svg('svg', { width: w, height: entries.length * rowH + 4, viewBox: `0 0 ${w} ${entries.length * rowH + 4}`,
      role: 'img' });
    entries.forEach(([label, n], i) => {
      const y = i * rowH + 2;
      const shown = label.length > 28 ? label.slice(0, 27) + '…' : label;
      const t = svg('text', { x: labelW - 6, y: y + 16, 'text-anchor': 'end' }, shown);
      t.append(svg('title', null, label));
      chart.append(t);
      chart.append(svg('rect', { class: 'bar', x: labelW, y: y + 3, height: rowH - 8, width: Math.max(1, n / max * barW) }));
      chart.append(svg('text', { x: labelW + n / max * barW + 6, y: y + 16 }, fmt(n) + ' 台'));
    });
    return chart;
  }

  // The days between the first and the last report, those without one at 0
  // (up to two years; a longer span is shown as it is).
  function everyDay(days) {
    const first = dayNumber(days[0][0]), last = dayNumber(days[days.length - 1][0]);
    if (!(last - first < 731)) return days;
    const counts = new Map(days);
    const all = [];
    for (let d = first; d <= last; ++d) {
      const day = new Date(d * 86400000).toISOString().slice(0, 10);
      all.push([day, counts.get(day) || 0]);
    }
    return all;
  }

  // Width in pixels of a chart's label (12px text): about 7 for a digit or
  // a Latin letter, 12 for a kana or kanji; the axis makes room for it.
  const textWidth = t => [...t].reduce((w, c) => w + (c.charCodeAt(0) < 0x2E80 ? 7 : 12), 0);

  // Vertical bars over days, [day, count].
  function columnChart(days) {
    const max = Math.max(...days.map(d => d[1]));
    const top = fmt(max) + ' 件';
    const colW = Math.max(6, Math.min(40, Math.floor(900 / days.length))), h = 160, bottom = 36;
    const left = Math.max(48, textWidth(top) + 8);
    const w = left + days.length * colW + 10;
    const chart = svg('svg', { width: w, height: h + bottom, viewBox: `0 0 ${w} ${h + bottom}`, role: 'img' });
    chart.append(svg('line', { class: 'axis', x1: left, y1: h, x2: w, y2: h }));
    chart.append(svg('text', { x: left - 4, y: 16, 'text-anchor': 'end' }, top));
    const every = Math.ceil(days.length / Math.max(1, Math.floor((w - left) / 80)));
    days.forEach(([day, n], i) => {
      if (n) {
        const bh = Math.max(1, n / max * (h - 16));
        const bar = svg('rect', { class: 'bar', x: left + i * colW + 1, y: h - bh, width: colW - 2, height: bh });
        bar.append(svg('title', null, day + '　' + fmt(n) + ' 件'));
        chart.append(bar);
      }
      if (i % every === 0) {
        chart.append(svg('text', { x: left + i * colW + colW / 2, y: h + 16, 'text-anchor': 'middle' }, day.slice(5)));
      }
    });
    return chart;
  }

  function countBy(keyOf, order) {
    const counts = new Map();
    for (const p of pcs) {
      const k = keyOf(p);
      counts.set(k, (counts.get(k) || 0) + 1);
    }
    let entries = [...counts];
    if (order) entries.sort((a, b) => order.indexOf(a[0]) - order.indexOf(b[0]));
    else entries.sort((a, b) => b[1] - a[1] || (a[0] < b[0] ? -1 : 1));
    return entries;
  }
  // The most common values, the rest as one bar.
  function top(entries, n) {
    if (entries.length <= n) return entries;
    const rest = entries.slice(n - 1).reduce((s, e) => s + e[1], 0);
    return entries.slice(0, n - 1).concat([['その他', rest]]);
  }

  const UNKNOWN = '不明';
  // Visible memory is a little under the installed size, so the size is
  // rounded before it is put into a band. The record gives kilobytes.
  const MEMORY_BANDS = ['4 GB 以下', '4 GB 超 8 GB 以下', '8 GB 超 16 GB 以下', '16 GB 超 32 GB 以下', '32 GB 超', UNKNOWN];
  function memoryBand(value) {
    const raw = num(value);
    if (!(raw > 0)) return UNKNOWN;
    const unit = /([KMGT])B\s*$/i.exec(text(value));
    const kb = raw * ({ K: 1, M: 1024, G: 1024 * 1024, T: 1024 ** 3 }[unit ? unit[1].toUpperCase() : 'K']);
    const gb = Math.round(kb / 1024 / 1024);
    return gb <= 4 ? MEMORY_BANDS[0] : gb <= 8 ? MEMORY_BANDS[1] : gb <= 16 ? MEMORY_BANDS[2] : gb <= 32 ? MEMORY_BANDS[3]
      : MEMORY_BANDS[4];
  }
  const AGE_BANDS = ['7日以内', '8〜30日', '31〜90日', '91〜180日', '181日以上', UNKNOWN];
  const dayNumber = t => {
    const m = /^(\d{4})-(\d{2})-(\d{2})/.exec(text(t));
    return m ? Date.UTC(+m[1], +m[2] - 1, +m[3]) / 86400000 : NaN;
  };
  const today = dayNumber(D.now);
  function ageBand(collectedAt) {
    const age = today - dayNumber(collectedAt);
    if (!(age >= -1)) return UNKNOWN;  // a clock a day ahead still counts as recent
    return age <= 7 ? AGE_BANDS[0] : age <= 30 ? AGE_BANDS[1] : age <= 90 ? AGE_BANDS[2] : age <= 180 ? AGE_BANDS[3]
      : AGE_BANDS[4];
  }

  function renderCharts() {
    const orUnknown = v => (text(v).trim() === '' ? UNKNOWN : text(v));
    replace(document.getElementById('chart-os'), barChart(top(countBy(p => orUnknown(p[COL.os])), 10)));
    replace(document.getElementById('chart-memory'),
      barChart(countBy(p => memoryBand(p[COL.memory]), MEMORY_BANDS)));
    replace(document.getElementById('chart-maker'), barChart(top(countBy(p => orUnknown(p[COL.maker])), 10)));
    replace(document.getElementById('chart-age'), barChart(countBy(p => ageBand(p[COL.collectedAt]), AGE_BANDS)));
  }

  // ----- tables: sorted, filtered, only the visible rows in the DOM -----
  const ROW_H = 27; // 26px cell and its 1px border
  const collator = new Intl.Collator('ja', { numeric: true });

  // rows: arrays of cell texts; columns: [title, width, 'num'?].
  function Grid(container, columns, rows, onOpen) {
    this.container = container;
    container.grid = this;  // its rows in their order, for the page's tests
    this.columns = columns;
    this.rows = rows;
    this.onOpen = onOpen;
    this.order = rows.map((_, i) => i);
    this.shown = this.order;
    this.sortCol = -1;
    this.desc = false;
    this.haystack = null;
    this.only = null;
    const colgroup = el('colgroup', null, ...columns.map(c => el('col', { style: 'width:' + c[1] + 'px' })));
    this.head = el('tr', { 'aria-rowindex': 1 },
      ...columns.map((c, i) => opens(el('th', { title: c[0], 'aria-sort': 'none' }), () => this.sort(i), c[0])));
    // Where each column starts, for filling only the columns in view.
    this.edges = [0];
    for (const c of columns) this.edges.push(this.edges[this.edges.length - 1] + c[1]);
    // Only the rows in view are in the table, between two spacers of the
    // others' height; a row's element is kept while its row stays in view.
    const spacer = () => el('tr', { className: 'spacer', 'aria-hidden': 'true' }, el('td', { colspan: columns.length }));
    this.top = spacer();
    this.bottom = spacer();
    this.body = el('tbody', null, this.top, this.bottom);
    this.live = new Map(); // row index -> its element in the table
    this.spare = [];
    this.table = el('table', { style: 'width:' + this.edges[columns.length] + 'px' }, colgroup, el('thead', null, this.head), this.body);
    container.append(this.table);
    this.body.addEventListener('click', e => {
      const tr = e.target.closest('tr.row');
      if (tr) onOpen(Number(tr.dataset.i));
    });
    this.body.addEventListener('keydown', e => {
      const tr = e.target.closest('tr.row');
      if (tr && e.key === 'Enter') onOpen(Number(tr.dataset.i));
    });
    let pending = false;
    container.addEventListener('scroll', () => {
      if (pending) return;
      pending = true;
      requestAnimationFrame(() => { pending = false; this.render(); });
    });
  }
  Grid.prototype.sort = function (col) {
    this.desc = this.sortCol === col ? !this.desc : false;
    this.sortCol = col;
    this.order = orderBy(this.rank(col), this.desc);
    [...this.head.children].forEach((th, i) => {
      th.classList.toggle('sorted', i === col);
      th.classList.toggle('desc', i === col && this.desc);
      th.setAttribute('aria-sort', i !== col ? 'none' : this.desc ? 'descending' : 'ascending');
    });
    this.refilter();
  };
  // Each row's place in the column's order (equal values, equal places):
  // sorting by it, either way, takes no comparison. Making it takes the
  // collator's (about a second for 100,000 distinct texts), so the tables'
  // columns are ranked ahead while the page is idle (rankAhead), and a column
  // sorted before its turn is finished at once.
  Grid.prototype.rank = function (col) {
    const job = this.ranking(col);
    while (!job.next(true).done);  // in a hurry: no slices
    return this.ranks[col];
  };
  Grid.prototype.ranking = function (col) {
    this.ranks = this.ranks || [];
    this.jobs = this.jobs || [];
    return this.ranks[col] ? RANKED : this.jobs[col] || (this.jobs[col] = rankColumn(this, col));
  };
  const RANKED = [][Symbol.iterator]();  // a job with nothing left to do
  // The rows by rank, either way, equal ranks in the rows' order: a counting
  // sort, the ranks being places from 0 to n - 1.
  function orderBy(rank, desc) {
    const n = rank.length, start = new Int32Array(n + 1), key = desc ? i => n - 1 - rank[i] : i => rank[i];
    for (let i = 0; i < n; ++i) ++start[key(i) + 1];
    for (let k = 0; k < n; ++k) start[k + 1] += start[k];
    const order = new Array(n).fill(0);
    for (let i = 0; i < n; ++i) order[start[key(i)]++] = i;
    return order;
  }
  // Ranks a column's distinct values only (most columns repeat theirs: OS,
  // maker, model), yielding every few hundred steps.
  function* rankColumn(grid, col) {
    const numeric = grid.columns[col][2] === 'num', rows = grid.rows, ids = new Int32Array(rows.length);
    const seen = new Map(), values = [];
    for (let lo = 0; lo < rows.length; lo += 1024) {
      distinct(rows, col, numeric, lo, Math.min(rows.length, lo + 1024), seen, values, ids);
      yield;
    }
    // Distinct texts the collator finds equal (PC007 and PC7, Ａ and A) share
    // a place. A sort that is right whatever the values must have compared
    // the members of each set of equal values with one another, directly or
    // through others of the set, so the sets are gathered from the sort's
    // own comparisons that gave 0, joined as they come (a union-find).
    const compare = collator.compare, same = upTo(values.length);
    const find = x => { while (same[x] !== x) x = same[x] = same[same[x]]; return x; };
    const cmp = (a, b) => {
      const c = numeric ? (isNaN(values[a]) ? (isNaN(values[b]) ? 0 : 1) : isNaN(values[b]) ? -1 : values[a] - values[b])
        : compare(values[a], values[b]);
      if (c === 0) same[find(a)] = find(b);
      return c;
    };
    // Texts first in the order of their code units, which is cheap and often
    // the collator's order or near it (dates, fixed-width numbers, names in
    // one case): the collator's sort then meets long runs already in order.
    let order = upTo(values.length);
    if (!numeric) order = yield* sortInSteps(order, (a, b) => (values[a] < values[b] ? -1 : values[a] > values[b] ? 1 : 0));
    order = yield* sortInSteps(order, cmp);
    const place = new Int32Array(values.length);
    for (let k = 1; k < order.length; ++k) {
      place[order[k]] = find(order[k - 1]) === find(order[k]) ? place[order[k - 1]] : k;
      if ((k & 8191) === 0) yield;
    }
    const rank = new Int32Array(rows.length);
    for (let i = 0; i < rows.length; ++i) {
      rank[i] = place[ids[i]];
      if ((i & 8191) === 8191) yield;
    }
    grid.ranks[col] = rank;
    grid.jobs[col] = null;  // nor its texts held
  }
  const upTo = n => { const a = new Int32Array(n); for (let i = 0; i < n; ++i) a[i] = i; return a; };
  // Rows lo to hi: each one's value's number, a value met first numbered next.
  function distinct(rows, col, numeric, lo, hi, seen, values, ids) {
    for (let i = lo; i < hi; ++i) {
      const v = numeric ? num(rows[i][col]) : text(rows[i][col]);
      let id = seen.get(v);
      if (id === undefined) seen.set(v, id = values.push(v) - 1);
      ids[i] = id;
    }
  }
  // A merge sort of a that yields between steps of a few hundred comparisons:
  // runs of 256 sorted at once, then merged in pairs. Data often comes nearly
  // in order, so of two runs only the stretch where they interleave is merged
  // (found by halving), and nothing when they are already in order. Resumed
  // in a hurry (next(true)) before the merging, it sorts the rest at once.
  function* sortInSteps(a, cmp) {
    const n = a.length, RUN = 256;
    for (let lo = 0; lo < n; lo += RUN) {
      if (yield) return Int32Array.from(Array.from(a).sort(cmp));  // an array's sort takes runs in order as they are
      a.set(Array.from(a.subarray(lo, lo + RUN)).sort(cmp), lo);
    }
    let b = new Int32Array(n);
    for (let width = RUN; width < n; width *= 2) {
      for (let lo = 0; lo < n; lo += 2 * width) {
        const mid = Math.min(lo + width, n), hi = Math.min(lo + 2 * width, n);
        b.set(a.subarray(lo, hi), lo);
        if (mid === hi || cmp(a[mid - 1], a[mid]) <= 0) continue;
        // The left run's head up to the right's first, and the right run's
        // tail from the left's last, stay where they are.
        let i = lo, j = mid - 1;
        while (i < j) { const m = (i + j) >> 1; if (cmp(a[m], a[mid]) > 0) j = m; else i = m + 1; }
        let end = hi, from = mid;
        while (from < end) { const m = (from + end) >> 1; if (cmp(a[mid - 1], a[m]) <= 0) end = m; else from = m + 1; }
        let k = i;
        j = mid;
        while (i < mid && j < end) {
          b[k++] = cmp(a[i], a[j]) <= 0 ? a[i++] : a[j++];
          if ((k & 255) === 0) yield;
        }
        while (i < mid) b[k++] = a[i++];  // what is left of the right run is in its place already
        yield;
      }
      [a, b] = [b, a];
    }
    return a;
  }
  // The tables' columns ranked ahead, left to right, in slices of a few ms
  // run after whatever else the page has to do: a key typed meanwhile waits
  // for one slice at most. (An idle callback would give a slice a frame.)
  const inBackground = window.scheduler && scheduler.postTask
    ? task => scheduler.postTask(task, { priority: 'background' }) : task => setTimeout(task, 0);
  function rankAhead(grids) {
    const jobs = grids.flatMap(g => g.columns.map((_, col) => g.ranking(col)));
    const slice = () => {
      const end = performance.now() + 5;
      do if (jobs[0].next().done) jobs.shift(); while (jobs.length && performance.now() < end);
      if (jobs.length) inBackground(slice);
      else window.reportRanked = performance.now();
    };
    if (jobs.length) inBackground(slice);
  }
  // Every word typed must appear in some cell of the row; width and case of
  // letters are ignored (ＡＢＣ finds abc).
  Grid.prototype.prepare = function () {
    if (!this.haystack) this.haystack = this.rows.map(r => fold(r.join('\u0001')));
  };
  Grid.prototype.filter = function (query) {
    this.prepare();
    const folded = fold(query);
    // Typing on only drops rows: a query that extends the last one searches
    // the last one's rows.
    const from = this.folded != null && folded.startsWith(this.folded) ? this.shown : this.order;
    this.query = query;
    this.folded = folded;
    const words = folded.split(/\s+/).filter(w => w);
    const only = this.only;
    this.shown = !words.length && !only ? this.order : from.filter(i => {
      if (only && !only.has(i)) return false;
      const h = this.haystack[i];
      for (const w of words) if (h.indexOf(w) < 0) return false;
      return true;
    });
    this.container.scrollTop = 0;
    this.render();
  };
  // The same query again over a new order or a new choice of rows.
  Grid.prototype.refilter = function () {
    this.folded = null;
    this.filter(this.query || '');
  };
  // Fills the rows and columns in view: a keystroke in the filter changes
  // a screenful of cells, not the whole table. The other columns of those
  // rows are filled soon after (for reading aloud, finding and copying).
  Grid.prototype.render = function () {
    const total = this.shown.length, box = this.container, n = this.columns.length;
    const first = Math.max(0, Math.min(total, Math.floor(box.scrollTop / ROW_H) - 2));
    const last = Math.min(total, first + Math.ceil((box.clientHeight || 600) / ROW_H) + 4);
    const left = box.scrollLeft, right = left + (box.clientWidth || 1400);
    let lo = 0, hi = 0;
    while (lo < n - 1 && this.edges[lo + 1] <= left) ++lo;
    for (hi = lo; hi < n && this.edges[hi] < right;) ++hi;
    const wanted = new Set();
    for (let k = first; k < last; ++k) wanted.add(this.shown[k]);
    // Rows that left the view give their elements to those that came in,
    // refilled where they stand so that the table only changes texts.
    const freed = new Set();
    for (const [i, tr] of this.live) if (!wanted.has(i)) { freed.add(tr); this.live.delete(i); }
    let at = this.top.nextSibling;
    for (let k = first; k < last; ++k) {
      const i = this.shown[k];
      let tr = this.live.get(i);
      if (tr) {
        while (at !== tr && freed.has(at)) at = at.nextSibling;
      } else {
        tr = freed.has(at) ? at : freed.size ? freed.values().next().value : this.spare.pop() || this.newRow();
        freed.delete(tr);
        this.live.set(i, tr);
      }
      this.fill(tr, i, lo, hi);
      if (tr === at) at = at.nextSibling;
      else this.body.insertBefore(tr, at);
      tr.setAttribute('aria-rowindex', k + 2);
    }
    for (const tr of freed) { tr.remove(); this.spare.push(tr); }
    this.top.firstChild.style.height = first * ROW_H + 'px';
    this.bottom.firstChild.style.height = (total - last) * ROW_H + 'px';
    this.table.setAttribute('aria-rowcount', total + 1);
    if (this.onCount && this.counted !== total) { this.counted = total; this.onCount(total); }
    // Once the rows have stayed put for a moment: the rest of their columns,
    // within a second even when the page is never idle (ranking, a busy PC).
    clearTimeout(this.rest);
    if (lo > 0 || hi < n) {
      this.rest = setTimeout(() => requestIdleCallback(() => {
        for (const [i, tr] of this.live) this.fill(tr, i, 0, n);
      }, { timeout: 1000 }), 300);
    }
  };
  Grid.prototype.newRow = function () {
    const tr = el('tr', { className: 'row', tabindex: 0 });
    tr.texts = this.columns.map(c => {
      const t = document.createTextNode('');
      tr.append(el('td', c[2] === 'num' ? { className: 'num' } : null, t));
      return t;
    });
    return tr;
  };
  // Puts row i's texts into columns lo to hi of the element; another row's
  // texts in the others are cleared.
  Grid.prototype.fill = function (tr, i, lo, hi) {
    const r = this.rows[i], texts = tr.texts;
    if (tr.i !== i) {
      tr.i = i;
      tr.dataset.i = i;
      for (let j = 0; j < texts.length; ++j) if ((j < lo || j >= hi) && texts[j].data) texts[j].data = '';
    }
    for (let j = lo; j < hi; ++j) {
      const v = text(r[j]);
      if (texts[j].data !== v) texts[j].data = v;
    }
  };

  // ----- PCs -----
  const pcGrid = new Grid(document.getElementById('pc-grid'), pcColumns, pcRows, i => showPc(i));
  pcGrid.onCount = n => replace(document.getElementById('pc-count'), fmt(pcRows.length) + ' 台中 ' + fmt(n) + ' 台を表示');
  document.getElementById('pc-filter').addEventListener('input', e => pcGrid.filter(e.target.value));
  document.getElementById('pc-new-only').addEventListener('change', e => {
    pcGrid.only = e.target.checked ? newPcs : null;
    pcGrid.refilter();
  });

  const rec = (r, f) => S[R[f][r]];
  // The records, and where each PC's records met only once start.
  let recordsLoaded = null;
  function loadRecords() {
    recordsLoaded = recordsLoaded || readPart('records').then(({ records, ...part }) => {
      Object.assign(D, part);
      // Each column as the differences from the record before.
      R = records.map(deltas => {
        const column = new Int32Array(deltas.length);
        let v = 0;
        for (let i = 0; i < deltas.length; ++i) column[i] = v += deltas[i];
        return column;
      });
      recordCount = R[0].length;
      byText = part.byText;
      placeOf = new Int32Array(byText.length);
      byText.forEach((r, k) => { placeOf[r] = k; });
      singleStart = new Int32Array(pcs.length);
      let next = part.singlesFrom;
      part.pcRecords.forEach((s, k) => {
        singleStart[k] = next;
        for (let at = s.indexOf('*'); at >= 0; at = s.indexOf('*', at + 1)) ++next;
      });
      // A PC's own value is its cell in that PC's row: pc * 32 + column.
      S = part.strings.map(t => (typeof t === 'number' ? pcs[Math.floor(t / 32)][t % 32] : t));
    });
    return recordsLoaded;
  }
  // What shows records, called once they are there.
  const withRecords = show => (...args) => (R ? show(...args) : loadRecords().then(() => show(...args)));
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
  function recordsOf(pc) {
    const s = D.pcRecords[pc], out = [];
    let v = 0, single = singleStart[pc], place = -1;
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
  const isApplication = r => rec(r, 0) === 'Soft' && rec(r, 1) === 'Application';
  const APP_HEADS = ['名称', 'バージョン', '発行元・製品ID'];
  const appCells = r => [rec(r, 2), rec(r, 3), rec(r, 4)];

  const showPc = withRecords(i => {
    const p = pcs[i];
    const body = [el('h3', null, '管理番号 ' + p[COL.number] + (text(p[COL.computer]) ? '　' + text(p[COL.computer]) : '')),
      el('p', { className: 'note' }, '収集日時 ' + text(p[COL.collectedAt]) + '　ファイル ' + text(p[COL.fileName]))];
    body.push(el('h4', null, '前回の収集からの変更'));
    const change = D.changes[i];
    if (!change) {
      body.push(el('p', { className: 'none' }, 'この管理番号の収集は今回が初めてです。'));
    } else {
      const [at, values, added, removed] = change;
      body.push(el('p', null, '前回の収集日時 ' + at));
      const rows = [];
      for (let k = 0; k < values.length; k += 5) {
        const name = [S[values[k]], S[values[k + 1]], S[values[k + 2]]].join(' / ');
        rows.push([name, values[k + 3] < 0 ? '（なし）' : S[values[k + 3]], values[k + 4] < 0 ? '（なし）' : S[values[k + 4]]]);
      }
      body.push(rows.length ? plainTable(['項目', '前回', '今回'], rows) : el('p', { className: 'none' }, '値の変更はありません。'));
      body.push(el('p', { className: 'added' }, 'ソフトウェアの追加 ' + fmt(added.length) + ' 件'));
      if (added.length) body.push(plainTable(APP_HEADS, added.map(appCells)));
      body.push(el('p', { className: 'removed' }, 'ソフトウェアの削除 ' + fmt(removed.length) + ' 件'));
      if (removed.length) body.push(plainTable(APP_HEADS, removed.map(appCells)));
    }
    // The records as the file holds them, one section per group and item.
    body.push(el('h4', null, '収集データ'));
    const list = recordsOf(i);
    for (let k = 0; k < list.length;) {
      const g = rec(list[k], 0), it = rec(list[k], 1);
      let end = k;
      while (end < list.length && rec(list[end], 0) === g && rec(list[end], 1) === it) ++end;
      const part = list.slice(k, end);
      const app = isApplication(list[k]);
      body.push(el('h5', null, g + ' / ' + it + (app ? '（' + fmt(part.length) + ' 件）' : '')));
      body.push(app ? plainTable(APP_HEADS, part.map(appCells))
        : plainTable(['SubItem', 'Contents', 'Unit'], part.map(r => [rec(r, 2), rec(r, 3), rec(r, 4)])));
      k = end;
    }
    openDialog(body, 'pc');
  });

  // ----- software -----
  // Each row with its catalogue product and kind; shown grouped by product in
  // the catalogue's order, the rest after, most installed first within each.
  const productOfRow = D.software.map(s => (appProduct.has(s[0]) ? appProduct.get(s[0]) : -1));
  const swRows = D.software.map((s, i) => [s[0], s[1], s[2], s[3],
    ...(productOfRow[i] >= 0 ? [L[productOfRow[i]][LC.product], L[productOfRow[i]][LC.kindTitle]] : ['', ''])]);
  const swGrid = new Grid(document.getElementById('sw-grid'),
    [['名称', 340], ['バージョン', 130], ['発行元', 220], ['PC台数', 90, 'num'], ['製品', 200], ['種別', 70]], swRows,
    i => showSoftware(i));
  const grouped = i => (productOfRow[i] >= 0 ? productOfRow[i] : L.length);
  swGrid.order = swRows.map((_, i) => i).sort((a, b) => grouped(a) - grouped(b) || a - b);
  swGrid.shown = swGrid.order;
  swGrid.onCount = n => replace(document.getElementById('sw-count'), fmt(swRows.length) + ' 件中 ' + fmt(n) + ' 件を表示');
  document.getElementById('sw-filter').addEventListener('input', e => swGrid.filter(e.target.value));

  // The PCs whose current collection lists the application under this name
  // and version (as grouped by the ledger), with the version as each wrote it.
  const showSoftware = withRecords(i => {
    const [name, version, publisher] = swRows[i];
    const match = new Uint8Array(recordCount);
    for (let r = 0; r < match.length; ++r) match[r] = D.softwareOfRecord[r] === i;
    const holders = [];
    pcs.forEach((p, k) => {
      const versions = [];
      for (const r of recordsOf(k)) if (match[r] && !versions.includes(rec(r, 3))) versions.push(rec(r, 3));
      if (versions.length) holders.push([k, versions.join('、')]);
    });
    // Thousands of PCs may have it: the list is a grid like the PC table.
    const container = el('div', { className: 'grid list', style: 'height:' + Math.min(600, (holders.length + 1) * ROW_H + 4) + 'px' });
    openDialog([el('h3', null, name + ' ' + version), el('p', null, '発行元 ' + (publisher || '（なし）') + '　' + fmt(holders.length) + ' 台'),
      container], 'software');
    const rows = holders.map(([k, version]) => [pcs[k][COL.number], text(pcs[k][COL.surname]), text(pcs[k][COL.givenName]),
      text(pcs[k][COL.computer]), version]);
    new Grid(container, [['管理番号', 130], ['姓', 110], ['名', 110], ['コンピュータ名', 200], ['バージョン', 200]], rows,
      r => showPc(holders[r][0])).render();
  });

  // ----- catalogue products and licences -----
  // Each record's product, through its software row: its name as the ledger folded it.
  function recordProducts() {
    if (!recordProduct) {
      recordProduct = new Int32Array(recordCount).fill(-1);
      for (let r = 0; r < recordProduct.length; ++r) {
        const row = D.softwareOfRecord[r];
        if (row >= 0) recordProduct[r] = productOfRow[row];
      }
    }
    return recordProduct;
  }

  function productPcs(p) {
    recordProducts();
    const holders = [];
    pcs.forEach((pc, k) => {
      const names = [];
      if (osProduct.get(pc[COL.os]) === p) names.push(text(pc[COL.os]));
      for (const r of recordsOf(k)) if (recordProduct[r] === p && !names.includes(rec(r, 2))) names.push(rec(r, 2));
      if (names.length) holders.push([k, names.join(' / ')]);
    });
    return holders;
  }
  let recordProduct = null;

  function pcList(title, note, holders) {
    const container = el('div', { className: 'grid list', style: 'height:' + Math.min(600, (holders.length + 1) * ROW_H + 4) + 'px' });
    openDialog([el('h3', null, title), el('p', null, note), container], 'pcs');
    const rows = holders.map(([k, what]) => [pcs[k][COL.number], text(pcs[k][COL.surname]), text(pcs[k][COL.givenName]),
      text(pcs[k][COL.computer]), what]);
    new Grid(container, [['管理番号', 130], ['姓', 110], ['名', 110], ['コンピュータ名', 200], ['内容', 400]], rows,
      r => showPc(holders[r][0])).render();
  }

  // The rows of licence_installs.csv (the workbook's ライセンス明細) for one
  // product: each PC that has it, with each matching application's name and
  // version as the ledger folded them, or its OS caption.
  function productInstalls(p) {
    recordProducts();
    const rows = [];
    pcs.forEach((pc, k) => {
      const seen = new Set();
      if (osProduct.get(pc[COL.os]) === p) seen.add(text(pc[COL.os]) + '\t' + text(pc[COL.osVersion]));
      for (const r of recordsOf(k)) {
        const row = D.softwareOfRecord[r];
        if (recordProduct[r] === p && row >= 0) seen.add(D.software[row][0] + '\t' + D.software[row][1]);
      }
      const user = [text(pc[COL.surname]), text(pc[COL.givenName])].filter(x => x).join(' ');
      for (const app of [...seen].sort()) rows.push([k, pc[COL.number], text(pc[COL.computer]), user, ...app.split('\t')]);
    });
    return rows;
  }

  const showProduct = withRecords(p => {
    const l = L[p];
    const rows = productInstalls(p);
    const container = el('div', { className: 'grid list', style: 'height:' + Math.min(600, (rows.length + 1) * ROW_H + 4) + 'px' });
    openDialog([el('h3', null, l[LC.product]), el('p', null, [l[LC.kindTitle], l[LC.publisher] && '発行元 ' + l[LC.publisher],
      l[LC.owned] == null ? null : '保有 ' + fmt(l[LC.owned]), '導入 ' + fmt(new Set(rows.map(r => r[0])).size) + ' 台',
      '（licence_installs.csv・ブックのライセンス明細と同じ一覧）'].filter(x => x).join('　')), container], 'pcs');
    new Grid(container, [['管理番号', 130], ['コンピュータ名', 180], ['使用者', 160], ['ソフトウェア名', 300], ['バージョン', 140]],
      rows.map(r => r.slice(1)), i => showPc(rows[i][0])).render();
  });

  // The PCs of a kind of finding, each with its detail.
  function showFindingPcs(kind, title) {
    const f = D.findings.find(x => x.kind === kind);
    const holders = [];
    for (const [number, , detail] of f ? f.items : []) {
      const k = pcIndex.get(number);
      if (k !== undefined) holders.push([k, text(detail)]);
    }
    pcList(title, fmt(holders.length) + ' 件', holders);
  }

  function catalogueCards() {
    const items = kind => (D.findings.find(f => f.kind === kind) || { items: [] }).items;
    const pcCount = kind => new Set(items(kind).map(i => i[0])).size;
    const noCatalogue = L.length ? null : 'カタログなし（--catalogue で指定）';
    const linked = (node, kind, open) => {
      node.classList.add('link');
      node.dataset.kind = kind;
      if (items(kind).length) node.classList.add('alert');
      node.setAttribute('role', 'button');
      opens(node, open);
      return node;
    };
    const short = L.map((l, p) => p).filter(p => L[p][LC.balance] != null && L[p][LC.balance] < 0);
    const lacking = short.reduce((n, p) => n - L[p][LC.balance], 0);
    const byPc = (label, kind) => linked(card(label, fmt(pcCount(kind)) + ' 台', noCatalogue || fmt(items(kind).length) + ' 件'),
      kind, () => showFindingPcs(kind, label));
    return [
      linked(card('ライセンス不足', fmt(short.length) + ' 製品', noCatalogue || '不足 ' + fmt(lacking) + ' ライセンス'),
        'licence_shortage', withRecords(() => {
          const holders = [];
          for (const p of short) for (const [k, names] of productPcs(p)) holders.push([k, L[p][LC.product] + ': ' + names]);
          holders.sort((a, b) => a[0] - b[0]);
          pcList('ライセンス不足', short.map(p => L[p][LC.product] + '（保有 ' + fmt(L[p][LC.owned]) + '、導入 ' +
            fmt(L[p][LC.installed]) + '）').join('　'), holders);
        })),
      byPc('禁止ソフトウェア', 'forbidden_software'),
      byPc('必須ソフトウェアなし', 'required_missing'),
      linked(card('サポート終了', fmt(pcCount('end_of_support')) + ' 台', fmt(items('end_of_support').length) + ' 件'),
        'end_of_support', () => showFindingPcs('end_of_support', 'サポート終了')),
    ];
  }

  // Owned against installed per product, shortages first (the largest
  // first), then the catalogue's order; the bar shows both on one scale.
  function renderLicences() {
    const note = document.getElementById('lic-note');
    if (!L.length) {
      replace(note, 'カタログがありません。--catalogue でソフトウェアのカタログを指定すると、製品ごとの保有ライセンス数と導入台数を比べます。');
      return;
    }
    const order = L.map((l, p) => p).sort((a, b) => {
      const sa = L[a][LC.balance] != null && L[a][LC.balance] < 0, sb = L[b][LC.balance] != null && L[b][LC.balance] < 0;
      return (sb - sa) || (sa && sb ? L[a][LC.balance] - L[b][LC.balance] : 0) || a - b;
    });
    const scale = Math.max(1, ...L.map(l => Math.max(l[LC.owned] || 0, l[LC.installed])));
    const meter = l => el('div', { className: 'meter', title: '保有 ' + (l[LC.owned] == null ? '不明' : fmt(l[LC.owned])) + ' / 導入 ' + fmt(l[LC.installed]) },
      l[LC.owned] == null ? null : el('span', { className: 'owned', style: 'width:' + (l[LC.owned] / scale * 100) + '%' }),
      el('span', { className: 'installed', style: 'width:' + (l[LC.installed] / scale * 100) + '%' }));
    const cell = (v, cls) => el('td', cls ? { className: cls } : null, v == null ? '' : v);
    const rows = order.map(p => {
      const l = L[p];
      const short = l[LC.balance] != null && l[LC.balance] < 0;
      return opens(el('tr', { className: short ? 'short' : '', 'data-p': p }), () => showProduct(p),
        cell(l[LC.product]), cell(l[LC.publisher]), cell(l[LC.kindTitle]), cell(fmt(l[LC.owned]), 'num'),
        cell(fmt(l[LC.installed]), 'num'), cell(fmt(l[LC.balance]), short ? 'num lacking' : 'num'),
        cell(l[LC.endOfSupport], l[LC.installed] > 0 && dayNumber(l[LC.endOfSupport]) < today ? 'past' : null),
        el('td', null, meter(l)));
    });
    replace(note, fmt(L.length) + ' 製品　不足 ' + fmt(order.filter(p => L[p][LC.balance] < 0 && L[p][LC.balance] != null).length) + ' 製品');
    replace(document.getElementById('lic-table'), el('table', { className: 'plain licences' },
      el('thead', null, el('tr', null, ...['製品名', '発行元', '種別', '保有', '導入', '過不足', 'サポート終了日', '保有（枠）と導入（棒）']
        .map(h => el('th', null, h)))), el('tbody', null, ...rows)));
  }

  // ----- dialog and tabs -----
  const dialog = document.getElementById('dialog');
  function openDialog(children, kind) {
    const body = document.getElementById('dialog-body');
    body.dataset.kind = kind;
    replace(body, ...children);
    dialog.querySelector('.dialog-box').setAttribute('aria-label', children[0].textContent);
    // Closing it returns to what opened the first of a chain of dialogs.
    if (dialog.hidden) opener = document.activeElement;
    dialog.hidden = false;
    dialog.querySelector('.dialog-box').scrollTop = 0;
    document.getElementById('dialog-close').focus();
  }
  let opener = null;
  const closeDialog = () => {
    if (dialog.hidden) return;
    dialog.hidden = true;
    if (opener && opener.isConnected) opener.focus();
  };
  document.getElementById('dialog-close').addEventListener('click', closeDialog);
  dialog.addEventListener('click', e => { if (e.target === dialog) closeDialog(); });
  document.addEventListener('keydown', e => { if (e.key === 'Escape') closeDialog(); });

  let chartsDrawn = false;
  function show(view) {
    for (const b of document.querySelectorAll('#tabs button')) b.classList.toggle('active', b.dataset.view === view);
    for (const s of document.querySelectorAll('.view')) s.hidden = s.id !== 'view-' + view;
    if (view === 'charts' && !chartsDrawn) { renderCharts(); chartsDrawn = true; }
    if (view === 'pcs') pcGrid.render();
    if (view === 'software') swGrid.render();
    if (view === 'licences' && !licencesDrawn) { renderLicences(); licencesDrawn = true; }
  }
  let licencesDrawn = false;
  for (const b of document.querySelectorAll('#tabs button')) b.addEventListener('click', () => show(b.dataset.view));

  renderOverview();
  pcGrid.render();
  swGrid.render();
  window.reportReady = performance.now();
  // The filters' folded texts and the records, once the page is shown rather
  // than on the first key typed or the first PC opened.
  requestAnimationFrame(() => setTimeout(() => {
    pcGrid.prepare();
    swGrid.prepare();
    rankAhead([pcGrid, swGrid]);
    loadRecords().then(() => {
      window.reportComplete = performance.now();
      dataLoaded.resolve();
    }, dataLoaded.reject);
  }, 0));
})().catch(e => dataLoaded.reject(e));
