"""What the ledger's exports must hold, worked out from the record files
themselves (the e2e test's oracle): one collection per number, so each is
the number's current one."""

import datetime
import re
import unicodedata

HEADER = "Key,Group,Item,SubItem,Contents,Unit,Renewalday"
PCS_HEADER = ("管理番号", "姓", "名", "コンピュータ名", "ユーザー名", "OS", "OSバージョン", "CPU", "メモリ(KB)",
              "システムディスク容量(MB)", "システムディスク空き(MB)", "ディスク合計(MB)", "メーカー", "モデル",
              "筐体", "ボードシリアル", "システムUUID", "MACアドレス", "IPアドレス", "収集日時", "製造番号")

# (Group, Item, SubItem) -> column of pcs.csv; the first record of each counts.
COLUMNS = {
    ("資産", "管理情報", "姓"): "姓", ("資産", "管理情報", "名"): "名",
    ("LAN", "LAN", "コンピュータ名"): "コンピュータ名", ("LAN", "LAN", "ユーザー名"): "ユーザー名",
    ("Soft", "OS", "Version"): "OS", ("Hard", "CPU", "NameString"): "CPU",
    ("Hard", "メモリ", "全容量"): "メモリ(KB)", ("Hard", "SystemHDD", "全容量"): "システムディスク容量(MB)",
    ("Hard", "SystemHDD", "空容量"): "システムディスク空き(MB)", ("Hard", "Hard Disk", "合計量"): "ディスク合計(MB)",
    ("WMI", "System", "Vendor"): "メーカー", ("WMI", "System", "Model"): "モデル",
    ("WMI", "System", "PC_Type"): "筐体", ("WMI", "MotherBoard", "SerialNo"): "ボードシリアル",
    ("WMI", "MotherBoard", "Device_ID"): "システムUUID", ("WMI", "BIOS", "SerialNo"): "製造番号",
}


def records(data):
    """The records of a record file's bytes, each a list of seven fields."""
    text = data.decode("cp932")
    lines = text[:-2].split("\r\n")
    assert lines[0] == HEADER, lines[0]
    return [line.split(",") for line in lines[1:]]


def pc_row(rows):
    row = {}
    for r in rows:
        column = COLUMNS.get(tuple(r[1:4]))
        if column and column not in row:
            row[column] = r[4]
    os_text = row.get("OS", "")
    if os_text.endswith(")") and " (" in os_text:  # "... (Service Pack 1)": the version within the OS
        row["OS"], row["OSバージョン"] = os_text[:-1].rsplit(" (", 1)
    adapters = [r for r in rows if r[1] == "LAN" and r[2].startswith("Adapter") and r[4]]
    row["MACアドレス"] = " ".join(r[4] for r in adapters if r[3] == "MACアドレス")
    row["IPアドレス"] = " ".join(r[4] for r in adapters if r[3] == "IPアドレス")
    row["収集日時"] = collected(rows)
    row["管理番号"] = rows[0][0]
    return [row.get(c, "") for c in PCS_HEADER]


def cpu_supported(vendor, identifier):
    """The processor rule for what a test machine's CPU may be: True, False,
    or None where the record cannot tell (no identifier, a stepping that
    needs the platform id Wine does not give, another vendor)."""
    found = re.search(r"Family (\d+) Model (\d+) Stepping (\d+)", identifier)
    if not found:
        return None
    family, model, stepping = map(int, found.groups())
    if vendor == "GenuineIntel":
        if family != 6:
            return family > 6 and family != 15
        if model in (142, 158) and stepping == 9:
            return None
        return model == 85 or model > 95
    if vendor == "AuthenticAMD":
        return family > 23 or (family == 23 and model not in (1, 17))
    return None


def win11_verdict(number, parsed, register):
    """pcs.csv's Win11判定 for files delivered under Wine. An older number of
    a PC (its system UUID under another number that is in the register where
    this one is not, or else collected later) has no plan. Wine
    answers neither the firmware nor Secure Boot and finds no TPM: with no
    server or Windows 11 to set it aside, the host's processor decides (an
    unsupported one is 買い替え, a supported one needs its TPM switched on),
    plenty of memory assumed of the host; a record without the Platform lines
    is 不明."""
    def uuid(n):
        return next((r[4] for r in parsed[n] if r[1:4] == ["WMI", "MotherBoard", "Device_ID"]), "")
    def rank(n):
        return n in register, collected(parsed[n]), n
    if any(uuid(n) == uuid(number) and rank(n) > rank(number) for n in parsed):
        return ""
    os_text = next((r[4] for r in parsed[number] if r[1:4] == ["Soft", "OS", "Version"]), "")
    if "Server" in os_text:
        return "対象外"
    if "Windows 11" in os_text:
        return "Windows 11済"
    platform = {tuple(r[2:4]): r[4] for r in parsed[number] if r[1] == "Platform"}
    supported = cpu_supported(platform.get(("CPU", "Vendor"), ""), platform.get(("CPU", "Identifier"), ""))
    if supported is False:
        return "買い替え"
    if supported and platform.get(("TPM", "Version")) == "none":
        return "設定変更で可"
    return "不明"


def collected(rows):
    """The collection's time, 'YYYY-MM-DD HH:MM:SS'."""
    created = next(r for r in rows if r[1:3] == ["Create", "DateTime"])
    return created[3].replace("/", "-") + " " + created[4]


def fold(text):
    """A name as the ledger groups it: NFKC, blanks trimmed."""
    return unicodedata.normalize("NFKC", text).strip(" \t\r\n")


def applications(rows):
    """(number, name, version, unit) of each application, folded."""
    return [(rows[0][0], fold(r[3]), fold(r[4]), fold(r[5])) for r in rows if r[1:3] == ["Soft", "Application"]]


def field(value):
    """As a spreadsheet must read it: no formula (also behind blanks or in
    full-width signs), quoted when needed."""
    if (value[:1] in ("\t", "\r") or fold(value[:64])[:1] in ("=", "+", "-", "@")) and not negative_number(value):
        value = "'" + value
    if any(c in value for c in ',"\r\n'):
        value = '"' + value.replace('"', '""') + '"'
    return value


def negative_number(value):
    return len(value) > 1 and value[0] == "-" and value[1:].isdigit()


def csv_bytes(rows):
    return "\ufeff".encode() + "".join(",".join(map(field, r)) + "\r\n" for r in rows).encode()


def exports(files, register_columns=(), register=None):
    """{export name: bytes} for record files {number: bytes} and the register
    {number: [further values]}."""
    register = register or {}
    parsed = {number: records(data) for number, data in files.items()}
    pcs = [pc_row(rows) + list(register.get(n, [""] * len(register_columns))) + [win11_verdict(n, parsed, register)]
           for n, rows in sorted(parsed.items())]
    installs = sorted({a for rows in parsed.values() for a in applications(rows)})
    numbers, units = {}, {}
    for number, name, version, unit in installs:
        numbers.setdefault((name, version), set()).add(number)
        units[(name, version)] = min(units.get((name, version), unit), unit)
    software = sorted(((key, len(n)) for key, n in numbers.items()), key=lambda kv: (-kv[1], kv[0]))
    return {
        "pcs.csv": csv_bytes([list(PCS_HEADER) + list(register_columns) + ["Win11判定"], *pcs]),
        "software.csv": csv_bytes([["ソフトウェア名", "バージョン", "発行元", "PC数"],
                                   *([n, v, units[(n, v)], str(c)] for (n, v), c in software)]),
        "installs.csv": csv_bytes([["管理番号", "ソフトウェア名", "バージョン", "発行元"], *map(list, installs)]),
    }


def record_bytes(rows):
    """A record file's bytes, as the client writes them."""
    return (HEADER + "\r\n" + "".join(",".join(r) + "\r\n" for r in rows)).encode("cp932")


def later_copy(rows, number, drop_application):
    """Another collection under `number` a day after `rows`' own, without one
    application."""
    out = []
    for r in rows:
        r = [number, *r[1:]]
        if r[1:3] == ["Create", "DateTime"]:
            day = datetime.datetime.strptime(r[3], "%Y/%m/%d") + datetime.timedelta(days=1)
            r[3] = day.strftime("%Y/%m/%d")
        if r[1:3] == ["Soft", "Application"] and r[3] == drop_application:
            continue
        out.append(r)
    return out


def parse_csv(data):
    """Rows of an export whose fields hold no comma, quote or line break, as
    written (a neutralised formula keeps its "'")."""
    text = data.decode("utf-8-sig")
    return [line.split(",") for line in text[:-2].split("\r\n")]


def changes(before, now):
    """changes.csv's rows for one PC: the values that differ by group, item,
    subitem and their occurrence (the collection time aside; the Platform
    facts only when both records hold them, never their section line), then
    the applications added and removed by name, version and unit."""
    section = ["Platform", "Section", "Version"]
    platform = all(any(r[1:4] == section for r in rows) for rows in (before, now))

    def values(rows):
        seen, out = {}, {}
        for r in rows:
            if r[1] == "Soft" and r[2] == "Application" or r[1:3] == ["Create", "DateTime"]:
                continue
            if r[1] == "Platform" and (not platform or r[1:4] == section):
                continue
            key = tuple(r[1:4])
            seen[key] = seen.get(key, 0) + 1
            unread = r[1] == "Platform" and not r[4] and r[5]
            out[(*key, seen[key])] = f"({r[5]})" if unread else r[4] + (" " + r[5] if r[5] else "")
        return out

    def category(key):
        return "OS" if key[0] == "Soft" or key[0] == "Platform" and key[1] in ("OS", "Appraiser") else "ハードウェア"

    def apps(rows):
        out = {}
        for r in rows:
            if r[1:3] == ["Soft", "Application"]:
                out[(r[3], r[4], r[5])] = out.get((r[3], r[4], r[5]), 0) + 1
        return out

    number, b, n = now[0][0], values(before), values(now)
    rows = []
    for key in set(b) | set(n):
        if b.get(key) != n.get(key):
            rows.append([number, category(key), "/".join(key[:3]),
                         b.get(key, ""), n.get(key, "")])
    ab, an = apps(before), apps(now)
    for app in set(ab) | set(an):
        for _ in range(an.get(app, 0) - ab.get(app, 0)):
            rows.append([number, "ソフトウェア追加", app[0], "", app[1]])
        for _ in range(ab.get(app, 0) - an.get(app, 0)):
            rows.append([number, "ソフトウェア削除", app[0], app[1], ""])
    return rows


def past_end_of_support(caption):
    """Whether a Windows caption names a release whose support had ended by
    the end of 2026 (every client release before 11, outside the long-term
    channels, servers and embedded editions)."""
    words = caption.split()
    if "Windows" not in words or {"LTSC", "LTSB", "Server", "Embedded"} & set(words):
        return False
    at = words.index("Windows") + 1
    return at < len(words) and words[at] in ("XP", "Vista", "7", "8", "8.1", "10")
