// The Windows 11 tab: PCs by verdict, department and model with their cost
// beside ESU's, and for one PC the facts behind its verdict. `plan` is the
// data's "win11"; `page` gives the PCs and the views' dialogs.
function win11Plan(plan, page) {
  const { pcs, COL, extraNames, currentOf, pcList, card, opens } = page;
  const VERDICTS = plan.verdicts;
  // A profile: [verdict, reasons, action, basis, TPM, firmware, Secure Boot,
  // memory, memory estimated, system drive, OS version, cost, cost note,
  // ESU, form, maker, model]; sizes in tenths of GiB.
  const P = { verdict: 0, reasons: 1, action: 2, basis: 3, tpm: 4, firmware: 5, secureBoot: 6, memory: 7, estimated: 8,
    drive: 9, osVersion: 10, cost: 11, costNote: 12, esu: 13, form: 14, maker: 15, model: 16 };
  const profileOf = i => (plan.pcs[i] >= 0 ? plan.profiles[plan.pcs[i]] : null);
  const yen = v => fmt(v) + ' 円';
  const gb = v => (v == null ? '不明' : (v / 10).toLocaleString('ja-JP', { maximumFractionDigits: 1 }) + ' GB');
  const costText = p => (p[P.cost] == null ? p[P.costNote] || '単価未設定' : yen(p[P.cost]));
  // The keys the store groups by: the register's department column, maker and model.
  const department = extraNames.indexOf(plan.totals.departmentColumn);
  const departmentOf = i => text(parseList(pcs[i][COL.extra])[department]);
  const modelOf = p => p[P.maker] + (p[P.model] ? (p[P.maker] ? ' ' : '') + p[P.model] : '');
  const planned = pcs.map((_, i) => i).filter(i => profileOf(i));

  function listPcs(title, which) {
    const holders = planned.filter(i => which(i, profileOf(i))).map(i => {
      const p = profileOf(i);
      return [i, [VERDICTS[p[P.verdict]], p[P.reasons], p[P.action] && '対処: ' + p[P.action], costText(p)].filter(x => x).join('　')];
    });
    pcList(title, fmt(holders.length) + ' 台', holders);
  }
  // A group's cost: the PCs without a price are left out and said so, never counted as 0.
  const costNote = g => yen(g[3]) + (g[4] ? '（単価未設定 ' + fmt(g[4]) + ' 台を除く）' : '');

  // [key, PCs, PCs by verdict, cost, unpriced PCs, ESU's PCs] a row, each opening its PCs.
  function groupTable(head, groups, which, kind) {
    return el('table', { className: 'plain win11-groups', 'data-kind': kind },
      el('thead', null, el('tr', null, ...[head, '台数', ...VERDICTS, '概算費用'].map(h => el('th', null, h)))),
      el('tbody', null, ...groups.map(g => opens(el('tr', null), () => listPcs(head + ' ' + (g[0] || '（空欄）'), i => which(i, g[0])),
        el('td', null, g[0] || '（空欄）'), el('td', { className: 'num' }, fmt(g[1])),
        ...g[2].map(n => el('td', { className: 'num' }, n ? fmt(n) : '')), el('td', { className: 'num' }, costNote(g))))));
  }

  function render() {
    const t = plan.totals, view = document.getElementById('win11');
    if (!planned.length) {
      replace(view, el('p', { className: 'none' }, 'Windows 11 移行の判定がありません（取り込みのたびに判定します）。'));
      return;
    }
    const cards = t.byVerdict.map((g, v) => {
      const c = card(VERDICTS[v], fmt(g[1]) + ' 台', g[1] ? costNote(g) : null);
      c.dataset.verdict = VERDICTS[v];
      return g[1] ? opens(c, () => listPcs(VERDICTS[v], (i, p) => p[P.verdict] === v)) : c;
    });
    cards.forEach((c, v) => t.byVerdict[v][1] && c.classList.add('link'));
    const all = t.all, esu = t.esuYen;
    const costRows = [['移行の概算費用（' + fmt(all[1]) + ' 台）', costNote(all)],
      ...[1, 2, 3].map(y => ['ESU ' + y + ' 年（' + fmt(all[5]) + ' 台）', esu[y - 1] == null ? '単価未設定' : yen(esu[y - 1])])];
    replace(view,
      el('h2', null, '判定別'), el('div', { className: 'cards' }, ...cards),
      el('h2', null, '費用と ESU'), el('p', { className: 'note' }, '単価未設定の PC は合計に含めません。ESU は Windows 10 の PC の延長サポート（2 年目は 1 年目の 2 倍、3 年目は 4 倍の累計）。'),
      plainTable(['', '金額'], costRows),
      el('h2', null, '部署別（' + (t.departmentColumn || '台帳なし') + '）'),
      department < 0 ? el('p', { className: 'none' }, '台帳に部署の列がありません。')
        : groupTable(t.departmentColumn, t.byDepartment, (i, key) => departmentOf(i) === key, 'department'),
      el('h2', null, '機種別'), groupTable('機種', t.byModel, (i, key) => modelOf(profileOf(i)) === key, 'model'));
  }

  // The verdict of the PC of row i and what decided it, for its dialog.
  function facts(i) {
    const p = profileOf(currentOf(i));
    if (!p) return [el('p', { className: 'none' }, '判定がありません。')];
    const row = pcs[currentOf(i)];
    return [plainTable(['項目', '値'], [
      ['判定', VERDICTS[p[P.verdict]]], ['理由', p[P.reasons] || '（なし）'], ['対処', p[P.action] || '（なし）'],
      ['根拠（CPU）', p[P.basis]], ['CPU', text(row[COL.cpu])],
      ['メモリ', gb(p[P.memory]) + (p[P.estimated] ? '（見えている容量からの推定）' : '')], ['システムドライブ', gb(p[P.drive])],
      ['TPM', p[P.tpm] || '不明'], ['ファームウェア', p[P.firmware] || '不明'], ['セキュアブート', p[P.secureBoot] || '不明'],
      ['OS', text(row[COL.os]) + (p[P.osVersion] ? '　' + p[P.osVersion] : '')], ['概算費用', costText(p)],
      ['ESU の対象', p[P.esu] ? 'はい' : 'いいえ']])];
  }

  return { render, facts, verdictOf: i => (profileOf(i) ? VERDICTS[profileOf(i)[P.verdict]] : '') };
}
