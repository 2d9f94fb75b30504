#!/usr/bin/env python3
"""The report at scale: a ledger of N PCs, its report.html, and the page in
headless Chromium.

    report_bench.py --write-report BIN --schema src/ledger/store/schema [--pcs 1000,10000] [--json FILE]

For each size: the ledger is generated (40-60 hardware and network records
and 50-400 applications per PC from a pool with a long tail, Japanese names,
one PC in five with an earlier collection), write_report writes the page
(timed), and Chromium opens it. Figures: file size, time to write, time to
first render (from navigation start to the page's first rendered table),
time to filter (typing into the PC and the software filters until the next
frame), the same for sorting both (once the page has ranked its columns),
a column's first sort right after the first render and after 2 s idle (the
page opened again for each), and for the list of PCs of the most
installed application. The
floor, measured in the same run: the same file whose script only parses the
embedded data (what any page with this data must do), so first render is also
given as a ratio to it. A report, not a test: it exits 0 whatever the figures.
"""

import argparse
import hashlib
import inspect
import json
import os
import random
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "ledger" / "report"))

from chromium import Chromium  # noqa: E402

GOALS = {"first_render_ms": 2000, "filter_ms": 100, "file_mib": 50}
SURNAMES = "佐藤 鈴木 高橋 田中 伊藤 渡辺 山本 中村 小林 加藤 吉田 山田 佐々木 山口 松本 井上 木村 林 清水 山崎".split()
GIVEN = "一郎 花子 太郎 次郎 恵子 健 誠 陽子 直樹 美咲 大輔 彩 翔 優子 拓也".split()
OSES = ["Windows 11 Pro 64 ビット", "Windows 10 Pro 64 ビット", "Windows 11 Enterprise 64 ビット",
        "Windows 10 Enterprise 64 ビット", "Windows 10 Home 64 ビット"]
MAKERS = [("LENOVO", "ThinkPad X1"), ("Dell Inc.", "Latitude 5440"), ("HP", "EliteBook 840"),
          ("FUJITSU", "LIFEBOOK U9"), ("Panasonic", "CF-SV"), ("NEC", "VersaPro"), ("Microsoft", "Surface Pro")]
MEMORY_KB = [4_194_304, 8_388_608, 16_777_216, 33_554_432]
PUBLISHERS = ["Microsoft Corporation", "Adobe Inc.", "Google LLC", "株式会社ジャストシステム", "Oracle", "Zoom",
              "Mozilla", "Apple Inc.", "株式会社サンプル", "Intel Corporation"]


def application_pool(rng, size=3000):
    pool = []
    for i in range(size):
        name = rng.choice(["業務アプリ", "Tool", "Viewer", "Driver", "Runtime", "Suite", "ユーティリティ"]) + f" {i}"
        pool.append((name, f"{rng.randint(1, 20)}.{rng.randint(0, 9)}.{rng.randint(0, 999)}", rng.choice(PUBLISHERS)))
    return pool


def hardware(rng, pc, number, day, when):
    """About 50 records, in the order a run writes them."""
    maker, model = MAKERS[pc % len(MAKERS)]
    mac = "00-1A-2B-%02X-%02X-%02X" % (pc >> 16 & 255, pc >> 8 & 255, pc & 255)
    out = [("Create", "DateTime", day.replace("-", "/"), when, "")]
    for a, item in enumerate(["Adapter", "Adapter2"][: rng.randint(1, 2)]):
        out += [("LAN", item, "MACアドレス", mac[:-1] + str(a), ""), ("LAN", item, "IPアドレス", f"10.{pc >> 8 & 255}.{pc & 255}.{a + 10}", ""),
                ("LAN", item, "サブネットマスク", "255.255.255.0", ""), ("LAN", item, "ゲートウェイ", "10.0.0.1", ""),
                ("LAN", item, "DHCPServer", "10.0.0.2", ""), ("LAN", item, "PrimaryDNS", "10.0.0.3", "")]
    out += [("Hard", "CPU", "NameString", rng.choice(["Intel(R) Core(TM) i5-1245U", "Intel(R) Core(TM) i7-1365U",
                                                       "AMD Ryzen 5 PRO 7530U"]), ""),
            ("WMI", "BIOS", "Vendor", maker, ""), ("WMI", "BIOS", "Version", f"N3{rng.randint(10, 99)}ET", ""),
            ("WMI", "BIOS", "ReleaseDate", "2024/05/01", ""), ("WMI", "BIOS", "SerialNo", f"SN{pc:08d}", ""),
            ("WMI", "System", "Vendor", maker, ""), ("WMI", "System", "Model", model, ""),
            ("LAN", "LAN", "コンピュータ名", f"PC{pc:05d}", ""), ("LAN", "LAN", "ドメイン", "corp.example", ""),
            ("LAN", "LAN", "ユーザー名", f"CORP\\user{pc:05d}", ""),
            ("Soft", "OS", "Version", rng.choice(OSES), ""), ("Soft", "OS", "ProductID", f"00330-{pc:05d}-00000-AA", ""),
            ("Hard", "メモリ", "全容量", str(rng.choice(MEMORY_KB)), "KB"),
            ("Hard", "SystemHDD", "Drive", "C:", ""), ("Hard", "SystemHDD", "全容量", "476940", "MB"),
            ("Hard", "SystemHDD", "空容量", str(rng.randint(10_000, 400_000)), "MB"),
            ("Hard", "Hard Disk", "合計量", "476940", "MB"), ("WMI", "System", "PC_Type", "Notebook", ""),
            ("WMI", "MotherBoard", "Vendor", maker, ""), ("WMI", "MotherBoard", "SerialNo", f"MB{pc:08d}", ""),
            ("WMI", "MotherBoard", "Device_ID", "{%08X-0000-4000-8000-%012X}" % (pc, pc), ""),
            ("Hard", "画面", "解像度", "1920 x 1080 32Bit", ""), ("Hard", "Keyboard", "キーボード", "日本語 PS/2 キーボード", ""),
            ("Hard", "Printer", "デフォルトプリンタ", "複合機 3F", "IP_10.0.0.50")]
    while len(out) < rng.randint(40, 60):
        out.append(("Hard", "Keyboard", "キーボード", "USB 入力デバイス", ""))
    return out


def make_ledger(path, schema, pcs, seed=13):
    rng = random.Random(seed)
    pool = application_pool(rng)
    weights = [1 / (i + 1) for i in range(len(pool))]  # a few applications everywhere, a long tail
    con = sqlite3.connect(path)
    for migration in sorted(schema.glob("*.sql")):  # the schema's migrations in order
        con.executescript(migration.read_text(encoding="utf-8"))
    con.execute("INSERT INTO imports VALUES(1, '2026-11-02 09:00:00', ?, ?, 0, 0)", (pcs, pcs))
    con.execute("INSERT INTO imports VALUES(2, '2026-12-01 09:00:00', ?, 0, ?, 0)", (pcs // 5, pcs // 5))
    file_id = 0
    records, collections, files, current = [], [], [], []
    for pc in range(pcs):
        number = "%s-%02d-%04d" % ("abcdefghij"[pc // 10000 % 10] * 3, pc // 10000 % 100, pc % 10000)
        apps = rng.choices(pool, weights, k=rng.randint(50, 400))
        for history in ([True, False] if pc % 5 == 0 else [False]):
            file_id += 1
            day = "2026-11-%02d" % rng.randint(1, 30) if history else "2026-12-%02d" % rng.randint(1, 6)
            when = "%02d:%02d:%02d" % (rng.randint(8, 18), rng.randint(0, 59), rng.randint(0, 59))
            lines = hardware(rng, pc, number, day, when)
            lines += [("Soft", "Application", *a) for a in (apps[: len(apps) - 3] if history else apps)]
            sei, mei = rng.choice(SURNAMES), rng.choice(GIVEN)
            lines += [("資産", "管理情報", "姓", sei, ""), ("資産", "管理情報", "名", mei, ""), ("資産", "管理情報", "管理番号", number, "")]
            files.append((file_id, f"h{file_id}", f"SAVE/{number}.csv", f"{number}.csv", 40_000, 2 if history is False and pc % 5 == 0 else 1))
            value = {(g, i, s): c for g, i, s, c, u in lines}
            collections.append((file_id, file_id, number, f"{day} {when}", day.replace("-", "/"), value[("LAN", "LAN", "コンピュータ名")],
                                value[("WMI", "MotherBoard", "Device_ID")], value[("LAN", "Adapter", "MACアドレス")], sei, mei,
                                value[("LAN", "LAN", "ユーザー名")], value[("Soft", "OS", "Version")], "10.0.22631",
                                value[("Hard", "CPU", "NameString")], value[("Hard", "メモリ", "全容量")], "476940",
                                value[("Hard", "SystemHDD", "空容量")], "476940", value[("WMI", "System", "Vendor")],
                                value[("WMI", "System", "Model")], "Notebook", value[("WMI", "MotherBoard", "SerialNo")],
                                value[("LAN", "Adapter", "IPアドレス")], value[("WMI", "BIOS", "SerialNo")]))
            records += [(file_id, line + 2, *r) for line, r in enumerate(lines)]
        current.append((number, file_id))
        if len(records) > 200_000:
            con.executemany("INSERT INTO records VALUES(?,?,?,?,?,?,?)", records)
            records.clear()
    con.executemany("INSERT INTO records VALUES(?,?,?,?,?,?,?)", records)
    con.executemany("INSERT INTO files(id, sha256, path, name, size, import_id) VALUES(?,?,?,?,?,?)", files)
    con.executemany("INSERT INTO collections(id, file_id, number, collected_at, renewalday, computer_name, system_uuid, macs,"
                    " surname, given_name, user_name, os, os_version, cpu, memory, system_disk_size, system_disk_free,"
                    " total_disk, maker, model, chassis, board_serial, ip_addresses, bios_serial)"
                    " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", collections)
    con.executemany("INSERT INTO pcs VALUES(?,?)", current)
    con.executemany("INSERT INTO findings(kind, number, file, detail) VALUES('stale', ?, ?, '30日以上前の収集')",
                    [(n, f"SAVE/{n}.csv") for n, _ in current[::50]])
    con.commit()
    con.close()


# Times inside the page, from performance.now(): the overview and tables
# drawn, and every PC's records read as well (inflated after the first).
READY = "window.reportLoaded.then(() => [window.reportReady, window.reportComplete])"
# The next frame after the change is when the user sees it.
NEXT_FRAME = "new Promise(r => requestAnimationFrame(() => requestAnimationFrame(() => r(performance.now()))))"
FILTER = """(async (id, q) => { const f = document.getElementById(id); const t0 = performance.now();
  f.value = q; f.dispatchEvent(new Event('input')); const ts = performance.now(); const t1 = await %s;
  return [t1 - t0, ts - t0]; })""" % NEXT_FRAME
SORT = """(async (grid, col) => { const t0 = performance.now(); document.querySelectorAll('#' + grid + ' th')[col].click();
  const t1 = await %s; return t1 - t0; })""" % NEXT_FRAME
# The floor for the figures above: the next frame after changing one text.
FRAME = """(async () => { const t0 = performance.now();
  document.getElementById('pc-count').textContent = String(Math.random());
  const t1 = await %s; return t1 - t0; })()""" % NEXT_FRAME
SOFTWARE = """(async () => { document.querySelector('#tabs button[data-view=software]').click(); await %s;
  const t0 = performance.now(); document.querySelector('#sw-grid tr.row').click();
  const t1 = await %s; const n = parseInt(document.querySelector('#dialog-body p').innerText.split('　')[1].replace(/,/g, ''));
  document.getElementById('dialog-close').click(); return [t1 - t0, n]; })()""" % (NEXT_FRAME, NEXT_FRAME)
# Per page: its filter, what is typed into it one key at a time (each prefix
# one filter over every row, then deleted back), and the columns sorted (a
# text and a number, each twice: ascending, then descending).
PAGES = {"pcs": ("pc-filter", "pc-grid", ["佐", "佐藤", "佐藤 w", "佐藤 windows", "佐藤 windows 11", "佐藤", "", "think",
                                         "thinkpad", ""], [3, 3, 8, 8]),
         "software": ("sw-filter", "sw-grid", ["t", "to", "too", "tool", "tool 1", "tool", "", "業務", "業務アプリ 2", ""],
                      [0, 0, 3, 3])}


# A column's first sort: the page ranks its tables' columns ahead while idle
# and a column sorted before its turn is ranked at once. Measured on a page
# opened again, right after its first render and after two seconds with
# nothing asked: a text column sorted, the other way, then another one.
FIRST_RENDER = "new Promise(r => { const c = () => window.reportReady ? r() : setTimeout(c, 1); c(); })"
RANKED = "new Promise(r => { const c = () => window.reportRanked ? r(window.reportRanked) : setTimeout(c, 10); c(); })"
FIRST_SORTS = {"pcs": [3, 3, 19], "software": [0, 0, 2]}


def first_sorts(browser, page, idle_ms):
    browser.open(page)
    browser.evaluate(FIRST_RENDER)
    browser.evaluate(f"new Promise(r => setTimeout(r, {idle_ms}))")
    out = {}
    for name, columns in FIRST_SORTS.items():
        browser.evaluate(f"document.querySelector('#tabs button[data-view={name}]').click(); {NEXT_FRAME}")
        out[name] = [browser.evaluate(SORT + f"({json.dumps(PAGES[name][1])}, {column})") for column in columns]
    return out


def page_figures(browser, page, repeats):
    first, completes, frames, lists, ranked, typed_while_ranking = [], [], [], [], [], 0
    by_page = {name: {"firsts": [], "filters": [], "scripts": [], "sorts": [], "open": [], "idle": []} for name in PAGES}
    for _ in range(repeats):
        for when, idle_ms in (("open", 0), ("idle", 2000)):
            for name, times in first_sorts(browser, page, idle_ms).items():
                by_page[name][when].append(times)
        browser.open(page)
        ready, complete = browser.evaluate(READY)
        first.append(ready)
        completes.append(complete)
        typed_while_ranking += browser.evaluate("window.reportRanked === undefined")
        for name, (field, grid, typed, sorted_columns) in PAGES.items():
            # Shown first, as a user sees the page before typing into it.
            browser.evaluate(f"document.querySelector('#tabs button[data-view={name}]').click(); {NEXT_FRAME}")
            figures = by_page[name]
            # The first key after opening apart: it also pays for what the
            # browser does once (a key that changes nothing took 120 ms once).
            for k, query in enumerate(typed):
                shown, script = browser.evaluate(FILTER + f"({json.dumps(field)}, {json.dumps(query)})")
                figures["filters" if k else "firsts"].append(shown)
                figures["scripts"].append(script)
            ranked.append(browser.evaluate(RANKED))
            for column in sorted_columns:
                figures["sorts"].append(browser.evaluate(SORT + f"({json.dumps(grid)}, {column})"))
        browser.evaluate(f"document.querySelector('#tabs button[data-view=pcs]').click(); {NEXT_FRAME}")
        for _ in range(3):
            frames.append(browser.evaluate(FRAME))
        ms, holders = browser.evaluate(SOFTWARE)
        lists.append(ms)
    out = {"first_render_ms": statistics.median(first), "records_ready_ms": statistics.median(completes), "software_list_ms": statistics.median(lists),
           "software_list_pcs": holders, "frame_floor_ms": statistics.median(frames), "ranked_ms": statistics.median(ranked),
           "typed_while_ranking": typed_while_ranking}
    for name, figures in by_page.items():
        for when in ("open", "idle"):  # each sort's median over the openings
            out[f"{name}_first_sorts_{when}_ms"] = [statistics.median(t) for t in zip(*figures[when])]
        out.update({f"{name}_filter_ms": statistics.median(figures["filters"]), f"{name}_filter_max_ms": max(figures["filters"]),
                    f"{name}_first_key_ms": max(figures["firsts"]), f"{name}_filter_samples": figures["filters"],
                    f"{name}_filter_script_ms": statistics.median(figures["scripts"]),
                    f"{name}_sort_ms": statistics.median(figures["sorts"]), f"{name}_sort_max_ms": max(figures["sorts"])})
    return out


def floor_page(page, out):
    """The same file whose script only reads the embedded data: the page's own
    reading of it (every part inflated and parsed), then nothing."""
    html = page.read_text(encoding="utf-8")
    start = html.rindex("<script>") + len("<script>")
    end = html.rindex("</script>")
    script = html[start:end]
    reading = script[:script.index("  if (typeof DecompressionStream")]
    out.write_text(html[:start] + reading + "  await Promise.all([...parts.keys()].map(name => readPart(parts, name)));\n"
                   "  window.reportReady = window.reportComplete = performance.now();\n  dataLoaded.resolve();\n})();"
                   + html[end:], encoding="utf-8")


def measure(write_report, schema, pcs, work, browser, repeats, keep):
    # A kept ledger is made again when the generator or the schema changes
    # (100,000 PCs take several minutes to make).
    made_by = hashlib.sha256(("".join(inspect.getsource(f) for f in (make_ledger, hardware, application_pool)) +
                              "".join(m.read_text(encoding="utf-8") for m in sorted(schema.glob("*.sql"))))
                             .encode()).hexdigest()[:12]
    db = (keep or work) / f"ledger-{pcs}-{made_by}.sqlite"
    t = time.monotonic()
    if not (keep and db.exists()):
        db.unlink(missing_ok=True)
        partial = db.with_suffix(".partial")
        partial.unlink(missing_ok=True)
        make_ledger(partial, schema, pcs)
        partial.rename(db)
    made_s = time.monotonic() - t
    page = work / f"report-{pcs}.html"
    writes = []
    for _ in range(repeats):
        t = time.monotonic()
        subprocess.run([str(write_report), str(db), str(page), "2026-12-07 12:00:00"], check=True)
        writes.append((time.monotonic() - t) * 1000)
    # The floor for writing: Debian's sqlite3 printing the same records.
    reads = []
    for _ in range(repeats):
        t = time.monotonic()
        subprocess.run(["sqlite3", str(db), "SELECT r.* FROM pcs p JOIN records r ON r.collection_id = p.collection_id"
                        " ORDER BY r.collection_id, r.line"], check=True, stdout=subprocess.DEVNULL)
        reads.append((time.monotonic() - t) * 1000)
    floor = work / f"floor-{pcs}.html"
    floor_page(page, floor)
    floors = []
    for _ in range(repeats):
        browser.open(floor)
        floors.append(browser.evaluate(READY)[0])
    figures = page_figures(browser, page, repeats)
    figures.update({"pcs": pcs, "repeats": repeats, "ledger_made_s": made_s, "file_bytes": page.stat().st_size,
                    "write_ms": statistics.median(writes), "floor_write_ms": statistics.median(reads),
                    "floor_first_render_ms": statistics.median(floors)})
    figures["first_render_ratio"] = figures["first_render_ms"] / figures["floor_first_render_ms"]
    return figures


def aligned(rows):
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
    return ["  ".join(c.ljust(w) for c, w in zip(row, widths)) for row in rows]


def table(results):
    rows = [("PCs", "file size", "write (ms)", "floor: sqlite3 reads (ms)", "first render (ms)", "floor: reading only (ms)",
             "ratio", "records read (ms)", "software's PCs (ms)")]
    for r in results:
        rows.append((f"{r['pcs']:,}", f"{r['file_bytes'] / 1024 / 1024:.1f} MiB", f"{r['write_ms']:.0f}",
                     f"{r['floor_write_ms']:.0f}",
                     f"{r['first_render_ms']:.0f}", f"{r['floor_first_render_ms']:.0f}", f"{r['first_render_ratio']:.2f}",
                     f"{r['records_ready_ms']:.0f}", f"{r['software_list_ms']:.0f} ({r['software_list_pcs']:,} PCs)"))
    lines = aligned(rows) + [""]
    rows = [("PCs", "page", "first key shown (ms, max)", "filter shown (ms, median / max)", "keys over the goal",
             "of it script (ms)",
             "sort once ranked (ms, median / max)", "floor: next frame (ms)")]
    for r in results:
        for name in PAGES:
            rows.append((f"{r['pcs']:,}", name, f"{r[name + '_first_key_ms']:.1f}",
                         f"{r[name + '_filter_ms']:.1f} / {r[name + '_filter_max_ms']:.1f}",
                         f"{sum(t > GOALS['filter_ms'] for t in r[name + '_filter_samples'])} of {len(r[name + '_filter_samples'])}",
                         f"{r[name + '_filter_script_ms']:.1f}", f"{r[name + '_sort_ms']:.1f} / {r[name + '_sort_max_ms']:.1f}",
                         f"{r['frame_floor_ms']:.1f}"))
    lines += aligned(rows) + [""]
    rows = [("PCs", "page", "columns", "first sorts at first render (ms: first, reversed, another)",
             "the same after 2 s idle (ms)", "every column ranked (ms from opening)", "typing began while ranking")]
    for r in results:
        for name in PAGES:
            rows.append((f"{r['pcs']:,}", name, ", ".join(map(str, FIRST_SORTS[name])),
                         " / ".join(f"{t:.0f}" for t in r[f"{name}_first_sorts_open_ms"]),
                         " / ".join(f"{t:.0f}" for t in r[f"{name}_first_sorts_idle_ms"]),
                         f"{r['ranked_ms']:.0f}", f"{r['typed_while_ranking']} of {r['repeats']} openings"))
    lines += aligned(rows)
    biggest = max(results, key=lambda r: r["pcs"])
    lines.append(f"load average while measured: {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")
    slowest = max(max(biggest[name + "_filter_max_ms"], biggest[name + "_first_key_ms"]) for name in PAGES)
    lines.append(f"goals at {biggest['pcs']:,} PCs: file <= {GOALS['file_mib']} MiB "
                 f"(measured {biggest['file_bytes'] / 1024 / 1024:.1f}), first render <= {GOALS['first_render_ms']} ms "
                 f"(measured {biggest['first_render_ms']:.0f}), filter <= {GOALS['filter_ms']} ms "
                 f"(measured {slowest:.1f} at most)")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--write-report", type=Path, required=True)
    parser.add_argument("--schema", type=Path, required=True)
    parser.add_argument("--pcs", default="1000,10000")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--json", type=Path)
    parser.add_argument("--keep", type=Path, help="folder keeping the generated ledgers between runs")
    args = parser.parse_args()
    if args.keep:
        args.keep.mkdir(parents=True, exist_ok=True)
    results = []
    with tempfile.TemporaryDirectory(prefix="report-bench-") as tmp, Chromium() as browser:
        for pcs in [int(n) for n in args.pcs.split(",")]:
            print(f"report bench: {pcs:,} PCs", flush=True)
            try:
                results.append(measure(args.write_report, args.schema, pcs, Path(tmp), browser, args.repeats, args.keep))
            except Exception as error:  # a report goes on without the figure
                print(f"report bench: {pcs:,} PCs not measured: {error}")
    if results:
        print(table(results))
    if args.json:
        args.json.write_text(json.dumps(results, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
