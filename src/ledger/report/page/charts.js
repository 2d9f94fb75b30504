// Charts, drawn as SVG here.
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
function ageBand(collectedAt, today) {
  const age = today - dayNumber(collectedAt);
  if (!(age >= -1)) return UNKNOWN;  // a clock a day ahead still counts as recent
  return age <= 7 ? AGE_BANDS[0] : age <= 30 ? AGE_BANDS[1] : age <= 90 ? AGE_BANDS[2] : age <= 180 ? AGE_BANDS[3]
    : AGE_BANDS[4];
}
