// The tables: sorted, filtered, only the visible rows in the DOM.
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
// The query is a phrase, found within one cell as typed ("Windows 10" is
// not "Windows 11" beside an address 10.x); phrases parted by 、 or , must
// each be found. Width and case of letters are ignored (ＡＢＣ finds abc),
// and a run of blanks is one blank.
const phrase = t => fold(t).replace(/\s+/g, ' ');
Grid.prototype.prepare = function () {
  if (!this.haystack) this.haystack = this.rows.map(r => phrase(r.join('\u0001')));
};
Grid.prototype.filter = function (query) {
  this.prepare();
  const folded = phrase(query);
  // Typing on only drops rows: a query that extends the last one searches
  // the last one's rows.
  const from = this.folded != null && folded.startsWith(this.folded) ? this.shown : this.order;
  this.query = query;
  this.folded = folded;
  const terms = folded.split(/[、,]/).map(t => t.trim()).filter(t => t);
  const only = this.only;
  this.shown = !terms.length && !only ? this.order : from.filter(i => {
    if (only && !only.has(i)) return false;
    const h = this.haystack[i];
    for (const t of terms) if (h.indexOf(t) < 0) return false;
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
