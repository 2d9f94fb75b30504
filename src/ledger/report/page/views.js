// The report's views, drawn from the data once it is read.
let dataLoaded;
window.reportLoaded = new Promise((resolve, reject) => { dataLoaded = { resolve, reject }; });
(async function () {
  const parts = dataParts();
  if (typeof DecompressionStream === 'undefined') {
    document.querySelector('main').textContent = 'このブラウザではレポートを表示できません。新しい版の Edge、Chrome、Firefox、Safari で開いてください。';
    dataLoaded.reject(new Error('DecompressionStream is missing'));
    return;
  }
  const D = Object.assign(...await Promise.all(['main', 'software', 'win11'].map(name => readPart(parts, name))));
  // Set once the records come: the texts, and the records by field (group,
  // item, subitem, contents, unit) as indices into them.
  let S = null, R = null, recordCount = 0, singleStart = null, byText = null, placeOf = null;

  // The columns of pcs.csv with its headings (from the ledger's one list of
  // them), then the register's further columns.
  const PC_COLUMNS = D.pcColumns.map(([title, width, numeric]) => numeric ? [title, width, 'num'] : [title, width]);
  const COL = { number: 0, surname: 1, givenName: 2, computer: 3, user: 4, os: 5, osVersion: 6, cpu: 7, memory: 8, maker: 12,
    collectedAt: 19, fileName: D.pcColumns.length, extra: D.pcColumns.length + 1 };
  const pcs = D.pcs;
  const extraNames = parseList(D.extraColumns);
  const pcColumns = PC_COLUMNS.concat(extraNames.map(name => [name, 140]), [['Win11判定', 110]]);
  let lastNew = 0;
  const newPcs = new Set(D.newPcs.map(step => (lastNew += step)));  // sent as differences
  // An older number of a PC now reported under another is that PC: counted
  // once, under the number it is reported under now.
  const currentRow = new Map(D.older || []);
  const currentOf = i => (currentRow.has(i) ? currentRow.get(i) : i);
  const pcCountOf = rows => new Set([...rows].map(currentOf)).size;
  const win11 = win11Plan(D.win11, { pcs, COL, extraNames, currentOf, pcList, card, opens });
  // Each PC's row as shown: pcs.csv's columns, the register's extras and its
  // Windows 11 verdict.
  const pcRows = pcs.map((p, i) => {
    const extra = parseList(p[COL.extra]);
    const row = p.slice(0, PC_COLUMNS.length);
    for (let k = 0; k < extraNames.length; ++k) row.push(extra[k] == null ? '' : String(extra[k]));
    row.push(win11.verdictOf(i));
    return row;
  });
  // The catalogue's products: [product, publisher, kind, kind title, owned,
  // installed, balance, end of support]; the names and captions they cover.
  const L = D.licences || [];
  const LC = { product: 0, publisher: 1, kind: 2, kindTitle: 3, owned: 4, installed: 5, balance: 6, endOfSupport: 7 };
  const appProduct = new Map(D.appProducts || []);
  const osProduct = new Map(D.osProducts || []);

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
    // The register's share: its numbers some PC reported, each PC once.
    const reported = pcs.length - currentRow.size, ofRegister = D.reportedOfRegister;
    const cards = [D.expected == null
      ? card('報告済みのPC', fmt(reported) + ' 台', '台帳なし（--register で予定台数を表示）')
      : card('報告済みのPC', fmt(reported) + ' 台', '台帳の ' + fmt(D.expected) + ' 台中 ' + fmt(ofRegister) + ' 台（' +
        Math.round(ofRegister * 100 / D.expected) + '%）', ofRegister / D.expected)];
    cards.push(card('前回の取り込みで新規', fmt(pcCountOf(newPcs)) + ' 台', last ? text(last.startedAt) : null));
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

    replace(document.getElementById('departments'), departmentTable());
    replace(document.getElementById('per-day'),
      D.perDay.length ? columnChart(everyDay(D.perDay)) : el('p', { className: 'none' }, 'まだ報告がありません。'));
  }

  // A kind's items as a table; thousands of them (a large ledger's every PC)
  // as a grid like the PC table, made when first opened.
  // Those that set the ledger's exit status (4) are marked 要対応; numbers
  // no PC reported show the register's columns, to find the PC by.
  const FINDING_HEADS = ['管理番号', 'ファイル', '詳細'];
  function findingDetails(f) {
    const details = el('details', { className: 'finding', 'data-kind': f.kind },
      el('summary', null, f.title, el('span', { className: 'n' }, fmt(f.items.length) + ' 件'),
        f.attention ? el('span', { className: 'attention' }, '要対応') : null));
    const unreported = f.kind === 'not_reported';
    const heads = unreported ? [FINDING_HEADS[0], ...extraNames, FINDING_HEADS[2]] : FINDING_HEADS;
    const cells = ([number, file, detail, extra]) => (unreported
      ? [number, ...extraNames.map((_, k) => text(parseList(extra)[k])), text(detail)] : [number, text(file), text(detail)]);
    if (f.items.length <= 500) {
      details.append(plainTable(heads, f.items.map(item => {
        const row = cells(item);
        row[0] = item[0] == null ? '' : pcLink(item[0]);
        return row;
      })));
      return details;
    }
    details.addEventListener('toggle', () => {
      if (!details.open || details.lastChild.tagName === 'DIV') return;
      const container = el('div', { className: 'grid list', style: 'height:600px' });
      details.append(container);
      new Grid(container, heads.map((h, k) => [h, k ? (k === heads.length - 1 ? 400 : 300) : 130]),
        f.items.map(item => cells(item).map(text)), r => {
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

  // The register's numbers by its department column, the PCs that reported
  // under them and those not reported; then the PCs under numbers it lacks.
  function departmentTable() {
    if (!D.departments) return el('p', { className: 'none' }, '台帳がないか、台帳に部署の列がありません。');
    return el('table', { className: 'plain departments' },
      el('thead', null, el('tr', null, ...[D.departmentColumn, '台帳の台数', '報告済み', '未報告'].map(h => el('th', null, h)))),
      el('tbody', null, ...D.departments.map(([name, registered, reported, missing]) => el('tr', null,
        el('td', null, name == null ? '（台帳にない管理番号）' : name === '' ? '（空欄）' : name),
        el('td', { className: 'num' }, registered < 0 ? '' : fmt(registered)), el('td', { className: 'num' }, fmt(reported)),
        el('td', { className: missing ? 'num missing' : 'num' }, registered < 0 ? '' : fmt(missing))))));
  }

  // ----- charts -----
  // PCs by a value, an older number of a PC not counted again.
  function countBy(keyOf, order) {
    const counts = new Map();
    for (const [i, p] of pcs.entries()) {
      if (currentRow.has(i)) continue;
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

  const today = dayNumber(D.now);
  function renderCharts() {
    const orUnknown = v => (text(v).trim() === '' ? UNKNOWN : text(v));
    replace(document.getElementById('chart-os'), barChart(top(countBy(p => orUnknown(p[COL.os])), 10)));
    replace(document.getElementById('chart-memory'),
      barChart(countBy(p => memoryBand(p[COL.memory]), MEMORY_BANDS)));
    replace(document.getElementById('chart-maker'), barChart(top(countBy(p => orUnknown(p[COL.maker])), 10)));
    replace(document.getElementById('chart-age'), barChart(countBy(p => ageBand(p[COL.collectedAt], today), AGE_BANDS)));
  }

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
    recordsLoaded = recordsLoaded || readPart(parts, 'records').then(({ records, ...part }) => {
      Object.assign(D, part);
      // Each column as the differences from the record before.
      R = records.map(undelta);
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
  const recordsOf = pc => decodeIds(D.pcRecords[pc], singleStart[pc], byText, placeOf);
  const isApplication = r => rec(r, 0) === 'Soft' && rec(r, 1) === 'Application';
  const APP_HEADS = ['名称', 'バージョン', '発行元・製品ID'];
  const appCells = r => [rec(r, 2), rec(r, 3), rec(r, 4)];

  const showPc = withRecords(i => {
    const p = pcs[i];
    const body = [el('h3', null, '管理番号 ' + p[COL.number] + (text(p[COL.computer]) ? '　' + text(p[COL.computer]) : '')),
      el('p', { className: 'note' }, '収集日時 ' + text(p[COL.collectedAt]) + '　ファイル ' + text(p[COL.fileName]))];
    body.push(el('h4', null, '前回の収集からの変更'));
    const change = D.changes[i];
    if (currentRow.has(i)) {
      body.push(el('p', { className: 'note' }, 'このPCは現在、管理番号 ' + pcs[currentRow.get(i)][COL.number] + ' で報告されています。'));
    }
    if (!change) {
      body.push(el('p', { className: 'none' }, 'この管理番号の収集は今回が初めてです。'));
    } else if (change[1] === false) {
      body.push(el('p', { className: 'none' }, 'この管理番号の前回の収集（' + change[0] + '）は別のPCのものです。変更として比べません。'));
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
    body.push(el('h4', null, 'Windows 11 移行の判定'), ...win11.facts(i));
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
      l[LC.owned] == null ? null : '保有 ' + fmt(l[LC.owned]), '導入 ' + fmt(pcCountOf(rows.map(r => r[0]))) + ' 台',
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
    const pcCount = kind => new Set(items(kind).map(([number]) => (pcIndex.has(number) ? currentOf(pcIndex.get(number)) : number))).size;
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
    if (view === 'win11' && !win11Drawn) { win11.render(); win11Drawn = true; }
  }
  let licencesDrawn = false, win11Drawn = false;
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
