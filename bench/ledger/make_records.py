#!/usr/bin/env python3
"""Writes a folder of record files as the client delivers them, for the
ledger's benchmark: one `<number>.csv` per PC in code page 932 with CR LF,
40 to 60 hardware and network records, 50 to 400 applications and the three
asset records, and a few bad files (see BAD_KINDS).

    make_records.py OUT --pcs N [--seed S]

OUT gets `files/` (the record files), `floor-rows.csv` (the records of every
file the ledger takes, concatenated, in UTF-8: the input of the floor) and
`manifest.json` (counts, the bad files). Each PC's file depends only on the
seed and the PC's index, so a smaller set is the start of a larger one."""

import argparse
import json
import random
import sys
from datetime import date, timedelta
from pathlib import Path

import catalogue

HEADER = "Key,Group,Item,SubItem,Contents,Unit,Renewalday"

# One file in BAD_EVERY is bad, in turn each of these ways.
BAD_EVERY = 200
BAD_KINDS = ("cut_short", "wrong_header", "garbled", "name_mismatch", "duplicate_uuid")
REJECTED_KINDS = {"wrong_header", "garbled"}


def number_for(index):
    """Management numbers, unique per index: department, site, serial."""
    depts = catalogue.DEPARTMENTS
    site = (index // len(depts)) % 100
    serial = index // (len(depts) * 100)
    return f"{depts[index % len(depts)]}-{site:02d}-{serial:04d}"


def enc(text):
    return text.encode("cp932")


def record(fields):
    """The fields as the client writes them: quotes and commas dropped,
    blanks trimmed, joined by commas."""
    return ",".join(f.replace('"', "").replace(",", "").strip(" ") for f in fields)


def uuid_for(rng):
    h = f"{rng.getrandbits(128):032X}"
    return "{" + f"{h[:8]}-{h[8:12]}-{h[12:16]}-{h[16:20]}-{h[20:]}" + "}"


def mac_for(oui, index, adapter):
    """Unique per PC and adapter, as real addresses are: (index, adapter)
    scrambled by an odd multiplier, a bijection on 24 bits."""
    n = ((index * 4 + adapter) * 0x9E3779) & 0xFFFFFF
    return f"{oui}-{n >> 16:02X}-{(n >> 8) & 255:02X}-{n & 255:02X}"


def hardware(rng, number, index, today):
    """(Group, Item, SubItem, Contents, Unit) of the run's records before the
    applications, in the order the run writes them."""
    c = catalogue
    model = rng.choice(c.MODELS)
    maker, model_name, chassis, board = model
    laptop = chassis in ("Notebook", "Laptop", "Portable")
    collected = today - timedelta(days=int(rng.expovariate(1 / 60)) % 700)
    clock = f"{rng.randrange(8, 19):02d}:{rng.randrange(60):02d}:{rng.randrange(60):02d}"
    day = collected.strftime("%Y/%m/%d")
    rows = [("Create", "DateTime", day, clock, "")]
    site = index // len(c.DEPARTMENTS) % 100
    adapters = rng.choice((2, 3)) if laptop else rng.choice((1, 1, 1, 2))
    keyboards = 2 if adapters == 1 else rng.choice((1, 2))  # a docked or spare keyboard besides
    for a in range(adapters):
        item = "Adapter" if a == 0 else f"Adapter{a + 1}"
        ip = f"10.{site}.{rng.randrange(1, 255)}.{rng.randrange(2, 254)}"
        v6 = f"fe80::{rng.getrandbits(16):x}:{rng.getrandbits(16):x}:{rng.getrandbits(16):x}:{rng.getrandbits(16):x}"
        gateway = f"10.{site}.0.1"
        rows += [("LAN", item, "ゲートウェイ", gateway, ""),
                 ("LAN", item, "DHCPServer", f"10.{site}.0.10", ""),
                 ("LAN", item, "PrimaryDNS", "10.0.0.53", ""),
                 ("LAN", item, "SecondaryDNS", "10.0.1.53", ""),
                 ("LAN", item, "IPアドレス", f"{ip} {v6}", ""),
                 ("LAN", item, "サブネットマスク", "255.255.0.0 64", ""),
                 ("LAN", item, "MACアドレス", mac_for(rng.choice(c.OUIS), index, a), ""),
                 ("LAN", item, "PrimaryWINS", "", ""),
                 ("LAN", item, "SecondaryWINS", "", "")]
    cpu = rng.choice(c.CPUS)
    rows.append(("Hard", "CPU", "NameString", cpu, ""))
    bios_serial = "".join(rng.choice("0123456789ABCDEFGHJKLMNPQRSTUVWXYZ") for _ in range(7))
    release = date(2016, 1, 1) + timedelta(days=rng.randrange(2900))
    rows += [("WMI", "BIOS", "Caption", f"{rng.randrange(1, 3)}.{rng.randrange(20)}.{rng.randrange(10)}", ""),
             ("WMI", "BIOS", "Vendor", maker, ""),
             ("WMI", "BIOS", "ReleaseDate", release.strftime("%Y/%m/%d"), ""),
             ("WMI", "BIOS", "SerialNo", bios_serial, ""),
             ("WMI", "BIOS", "Version", f"{maker.split()[0].upper()} - {rng.randrange(1000000, 9999999)}", "")]
    dept = number.split("-")[0]
    computer = f"PC-{dept.upper()}{site:02d}-{index % 100000:05d}"
    user = rng.choice(c.ACCOUNTS)
    domain = rng.random() < 0.8
    rows += [("LAN", "LAN", "コンピュータ名", computer, ""),
             ("LAN", "LAN", "ドメイン", "corp.example.co.jp" if domain else "WORKGROUP", ""),
             ("WMI", "System", "Vendor", maker, ""),
             ("WMI", "System", "Model", model_name, ""),
             ("LAN", "LAN", "ユーザー名", f"CORP\\{user}" if domain else user, ""),
             ("LAN", "LAN", "ワークグループ", "" if domain else "WORKGROUP", "")]
    os_name, os_version = rng.choice(c.OSES)
    memory_gib = rng.choice((4, 8, 8, 16, 16, 16, 32))
    rows += [("Soft", "OS", "Version", f"{os_name} 64 ビット", ""),
             ("LAN", "LAN", "コンピュータの説明", rng.choice(c.DESCRIPTIONS), ""),
             ("Soft", "OS", "ProductID", f"00330-{rng.randrange(80000, 81000)}-{rng.randrange(100000):05d}-AA{rng.randrange(1000):03d}", ""),
             ("Soft", "OS", "SystemPath", "C:\\WINDOWS\\system32", ""),
             ("Hard", "SystemHDD", "Drive", "C:", ""),
             ("Hard", "メモリ", "全容量", str(memory_gib * 1048576 - rng.randrange(200000, 700000)), "KB")]
    disk = rng.choice((238472, 476802, 953867))
    extra = rng.choice((0, 0, 0, 953867))
    rows += [("Hard", "SystemHDD", "空容量", str(rng.randrange(disk // 20, disk * 3 // 4)), "MB"),
             ("Hard", "SystemHDD", "全容量", str(disk), "MB"),
             ("Hard", "Hard Disk", "合計量", str(disk + extra), "MB"),
             ("WMI", "System", "PC_Type", chassis, ""),
             ("WMI", "MotherBoard", "Vendor", maker, ""),
             ("WMI", "MotherBoard", "Product", board, ""),
             ("WMI", "MotherBoard", "SerialNo", f"/{bios_serial}/CN{rng.randrange(10**12):012d}/", ""),
             ("WMI", "MotherBoard", "Device_ID", uuid_for(rng), ""),
             ("Hard", "画面", "解像度", rng.choice(c.SCREENS_LAPTOP if laptop else c.SCREENS_DESKTOP), ""),
             *[("Hard", "Keyboard", "キーボード", k, "") for k in rng.sample(c.KEYBOARDS, keyboards)],
             ("Hard", "Printer", "デフォルトプリンタ", *rng.choice(c.PRINTERS))]
    return day, os_version, rows


def assets(rng, number):
    return [("資産", "管理情報", "姓", rng.choice(catalogue.SURNAMES), ""),
            ("資産", "管理情報", "名", rng.choice(catalogue.GIVEN_NAMES), ""),
            ("資産", "管理情報", "管理番号", number, "")]


class Writer:
    def __init__(self, seed, bad_every=BAD_EVERY):
        self.seed = seed
        self.bad_every = bad_every
        self.today = date(2026, 12, 1)
        self.apps = catalogue.applications(random.Random(f"{seed}:catalogue"))
        # The applications' middle parts, encoded once: ",Soft,Application,name,version,unit,"
        self.app_bytes = [enc("," + record(("Soft", "Application", n, v, u)) + ",") for n, v, u in self.apps]
        by_name = sorted(range(len(self.apps)), key=lambda k: self.apps[k][0])
        self.rank = [0] * len(by_name)
        for position, k in enumerate(by_name):
            self.rank[k] = position
        self.previous_uuid = None

    def pick_apps(self, rng):
        """The applications of one PC, as indexes, the popular ones likelier."""
        count = rng.randint(50, 400)
        chosen = set(range(min(20, count)))  # what every PC of the company has
        size = len(self.apps)
        draw = rng.random
        while len(chosen) < count:
            chosen.add(int(size * draw() ** 2.2))
        return sorted(chosen, key=self.rank.__getitem__)

    def file(self, index):
        """(file name, content, bad kind or None) of the PC at index."""
        rng = random.Random(f"{self.seed}:{index}")
        number = number_for(index)
        day, _, hard = hardware(rng, number, index, self.today)
        kind = None
        if index % self.bad_every == self.bad_every // 2:
            kind = BAD_KINDS[(index // self.bad_every) % len(BAD_KINDS)]
        if kind == "duplicate_uuid" and self.previous_uuid:
            hard = [r if r[2] != "Device_ID" else r[:3] + (self.previous_uuid,) + r[4:] for r in hard]
        self.previous_uuid = next(r[3] for r in hard if r[2] == "Device_ID")
        apps = self.pick_apps(rng)
        # Every line is Key, the record's middle, Renewalday: joined once per block.
        join = lambda rows: "".join(f"{number},{record(r)},{day}\r\n" for r in rows)  # noqa: E731
        key_b, day_b = enc(number), enc(day)
        data = b"".join((enc(HEADER + "\r\n" + join(hard)),
                         key_b, (day_b + b"\r\n" + key_b).join(self.app_bytes[k] for k in apps), day_b, b"\r\n",
                         enc(join(assets(rng, number)))))
        name = number
        if kind in ("cut_short", "wrong_header", "garbled"):
            lines = data.split(b"\r\n")[:-1]
            if kind == "cut_short":
                lines = lines[:rng.randrange(len(hard) + 10, len(lines) - 3)]
            elif kind == "wrong_header":
                lines[0] = enc("管理番号,氏名,部署,備考")
            else:
                at = rng.randrange(len(hard) + 5, len(lines) - 5)
                lines[at] = lines[at][:20] + b"\x81\x7f" + lines[at][20:] + b"\x82"  # no trail byte before CR
            data = b"\r\n".join(lines) + b"\r\n"
        elif kind == "name_mismatch":
            name = number_for(index + 10_000_000)
        return name + ".csv", data, kind


def generate(out, pcs, seed=12, bad_every=BAD_EVERY):
    out = Path(out)
    files = out / "files"
    files.mkdir(parents=True, exist_ok=True)
    writer = Writer(seed, bad_every)
    bad, rows, records_bytes = [], 0, 0
    with open(out / "floor-rows.csv", "wb") as floor:
        for index in range(pcs):
            name, data, kind = writer.file(index)
            (files / name).write_bytes(data)
            records_bytes += len(data)
            if kind:
                bad.append({"file": name, "kind": kind})
            if kind not in REJECTED_KINDS:
                body = data[data.index(b"\r\n") + 2:]
                floor.write(body.decode("cp932").replace("\r\n", "\n").encode())
                rows += body.count(b"\r\n")
    manifest = {"pcs": pcs, "seed": seed, "files": pcs, "rows": rows, "bytes": records_bytes,
                "rejected": sum(b["kind"] in REJECTED_KINDS for b in bad), "bad": bad}
    (out / "manifest.json").write_text(json.dumps(manifest, indent=1, ensure_ascii=False))
    return manifest


def main(argv=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("out", type=Path)
    parser.add_argument("--pcs", type=int, required=True)
    parser.add_argument("--seed", type=int, default=12)
    args = parser.parse_args(argv)
    manifest = generate(args.out, args.pcs, args.seed)
    print(f"{manifest['files']:,} files, {manifest['rows']:,} rows taken, {manifest['bytes']:,} bytes,"
          f" {len(manifest['bad'])} bad")
    return 0


if __name__ == "__main__":
    sys.exit(main())
