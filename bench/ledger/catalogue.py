"""What the generated PCs are made of: the hardware, names and software of an
imagined Japanese company of a few thousand desks."""

DEPARTMENTS = ("adm", "acc", "hrd", "sal", "mkt", "dev", "qas", "log", "pur", "leg", "fac", "sup")

# (maker, model, chassis, board)
MODELS = (
    ("Dell Inc.", "OptiPlex 7090", "Mini Tower", "0K1N2G"),
    ("Dell Inc.", "OptiPlex 3080", "Desktop", "0M5HTF"),
    ("Dell Inc.", "Latitude 5420", "Notebook", "0X3XKG"),
    ("Dell Inc.", "Latitude 7440", "Notebook", "0WRJ4H"),
    ("LENOVO", "20XWCTO1WW", "Notebook", "20XWCTO1WW"),
    ("LENOVO", "11JD0011JP", "Desktop", "3717"),
    ("HP", "HP ProBook 450 G9", "Notebook", "89D2"),
    ("HP", "HP EliteDesk 800 G6 SFF", "Desktop", "870C"),
    ("FUJITSU", "FMVB4001AP", "Desktop", "FJNB2D5"),
    ("FUJITSU", "FMVU3604KP", "Notebook", "FJNB2F1"),
    ("NEC", "PC-MRM36LZGACZ5ZCZZ", "Desktop", "MRM36L"),
    ("NEC", "PC-VKT16XZG5", "Notebook", "VKT16X"),
    ("Panasonic Corporation", "CF-SV2CDMCR", "Laptop", "CFSV2-1"),
    ("VAIO Corporation", "VJPK23C11N", "Notebook", "VJPK23"),
    ("Microsoft Corporation", "Surface Pro 9", "Portable", "Surface Pro 9"),
)

CPUS = (
    "Intel(R) Core(TM) i5-8500 CPU @ 3.00GHz",
    "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz",
    "Intel(R) Core(TM) i5-10500 CPU @ 3.10GHz",
    "11th Gen Intel(R) Core(TM) i5-1145G7 @ 2.60GHz",
    "11th Gen Intel(R) Core(TM) i7-1185G7 @ 3.00GHz",
    "12th Gen Intel(R) Core(TM) i5-1245U",
    "13th Gen Intel(R) Core(TM) i7-1365U",
    "AMD Ryzen 5 PRO 5650U with Radeon Graphics",
    "AMD Ryzen 7 PRO 7730U with Radeon Graphics",
    "Intel(R) Celeron(R) CPU G3900 @ 2.80GHz",
)

OUIS = ("00-1A-2B", "3C-52-82", "A4-BB-6D", "F8-B4-6A", "00-E0-4C", "C8-5B-76", "D4-81-D7", "98-E7-43")

OSES = (
    ("Microsoft Windows 10 Pro", "10.0.19045"),
    ("Microsoft Windows 10 Enterprise", "10.0.19045"),
    ("Microsoft Windows 11 Pro", "10.0.22631"),
    ("Microsoft Windows 11 Enterprise", "10.0.22631"),
)

DESCRIPTIONS = ("", "", "", "経理課 共用", "受付端末", "会議室A", "検査ライン 2号機", "倉庫 出荷端末")

SCREENS_DESKTOP = ("1920 x 1080 32Bit", "1920 x 1200 32Bit", "2560 x 1440 32Bit", "1366 x 768 32Bit")
SCREENS_LAPTOP = ("1920 x 1080 32Bit", "1366 x 768 32Bit", "2880 x 1920 32Bit")

KEYBOARDS = ("HID キーボード デバイス", "日本語 PS/2 キーボード (106/109 キー Ctrl+英数)",
             "標準 PS/2 キーボード", "<CIM_OBJECT (embedded SWbemObject)>")

# (name, port)
PRINTERS = (
    ("Canon iR-ADV C3530 III 3F", "IP_10.0.3.50"),
    ("RICOH MP C3004 (リモート)", "WSD-7b2e1a4f-0c3d"),
    ("Microsoft Print to PDF", "PORTPROMPT:"),
    ("EPSON PX-M6010F 総務", "IP_10.0.1.21"),
    ("FUJIFILM Apeos C3570 2F", "IP_10.0.2.40"),
    ("", ""),
)

SURNAMES = ("佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤", "吉田", "山田",
            "佐々木", "山口", "松本", "井上", "木村", "林", "斎藤", "清水", "山崎", "森", "池田", "橋本",
            "阿部", "石川", "山下", "中島", "石井", "小川", "前田", "岡田", "長谷川", "藤田", "後藤", "近藤")
GIVEN_NAMES = ("太郎", "花子", "翔", "陽菜", "蓮", "結衣", "大輔", "美咲", "健一", "由美", "拓也", "彩",
               "誠", "愛", "直樹", "恵", "浩二", "真由美", "悠斗", "さくら", "隆", "明美", "亮", "千尋")
ACCOUNTS = tuple(f"{a}.{b}" for a in ("sato", "suzuki", "takahashi", "tanaka", "ito", "watanabe",
                                      "yamamoto", "nakamura") for b in ("t", "h", "k", "y", "m"))

# Products a company's PCs carry: (name, publisher, versions). Several are
# expanded per language or edition below, as real uninstall keys are.
PRODUCTS = (
    ("Microsoft Edge", "Microsoft Corporation", ("131.0.2903.86", "130.0.2849.80")),
    ("Microsoft Edge WebView2 ランタイム", "Microsoft Corporation", ("131.0.2903.86",)),
    ("Microsoft 365 Apps for enterprise - ja-jp", "Microsoft Corporation", ("16.0.17928.20216",)),
    ("Microsoft OneDrive", "Microsoft Corporation", ("24.226.1110.0004", "24.201.1006.0005")),
    ("Microsoft Teams classic", "Microsoft Corporation", ("1.7.00.13456",)),
    ("Microsoft Update Health Tools", "Microsoft Corporation", ("5.72.0.0",)),
    ("Google Chrome", "Google LLC", ("131.0.6778.109", "130.0.6723.117")),
    ("Mozilla Firefox (x64 ja)", "Mozilla", ("133.0.3", "128.5.1esr")),
    ("Adobe Acrobat Reader (64-bit)", "Adobe", ("24.005.20320",)),
    ("7-Zip 24.08 (x64)", "Igor Pavlov", ("24.08",)),
    ("Lhaplus", "HoeHoe", ("1.74",)),
    ("サクラエディタ", "サクラエディタ開発チーム", ("2.4.2.6048",)),
    ("一太郎2024", "JUSTSYSTEMS CORPORATION", ("34.0.1",)),
    ("ATOK for Windows", "JUSTSYSTEMS CORPORATION", ("34.0.0",)),
    ("弥生会計 25", "弥生株式会社", ("29.0.1",)),
    ("筆まめVer.34", "ソースネクスト株式会社", ("34.0.0",)),
    ("ウイルスバスター クラウド", "Trend Micro Inc.", ("17.8.1250",)),
    ("Apex One Security Agent", "Trend Micro Inc.", ("14.0.12980",)),
    ("SKYSEA Client View", "Sky Co.,LTD.", ("19.200.6.4",)),
    ("Zoom Workplace (64-bit)", "Zoom Video Communications, Inc.", ("6.2.11",)),
    ("Cisco Secure Client - AnyConnect VPN", "Cisco Systems, Inc.", ("5.1.2.42",)),
    ("FortiClient VPN", "Fortinet Technologies Inc", ("7.2.4.0972",)),
    ("Java 8 Update 431 (64-bit)", "Oracle Corporation", ("8.0.4310.10",)),
    ("Python 3.12.7 (64-bit)", "Python Software Foundation", ("3.12.7150.0",)),
    ("Git", "The Git Development Community", ("2.47.1",)),
    ("Visual Studio Code", "Microsoft Corporation", ("1.95.3",)),
    ("TortoiseSVN 1.14.9.29743 (64 bit)", "TortoiseSVN", ("1.14.29743",)),
    ("WinSCP 6.3.5", "Martin Prikryl", ("6.3.5",)),
    ("Tera Term 5.3", "TeraTerm Project", ("5.3",)),
    ("AutoCAD LT 2024 - 日本語 (Japanese)", "Autodesk", ("24.3.61.0",)),
    ("DocuWorks 9", "FUJIFILM Business Innovation Corp.", ("9.1.4",)),
    ("Canon Generic Plus PCL6", "Canon Inc.", ("3.10",)),
    ("RICOH PCL6 UniversalDriver", "RICOH COMPANY,LTD.", ("4.32.0.0",)),
    ("EPSON Scan 2", "Seiko Epson Corporation", ("6.5.31.0",)),
    ("Intel(R) Graphics Driver", "Intel Corporation", ("31.0.101.5186",)),
    ("Intel(R) Chipset Device Software", "Intel(R) Corporation", ("10.1.19444.8378",)),
    ("Realtek High Definition Audio Driver", "Realtek Semiconductor Corp.", ("6.0.9239.1",)),
    ("Realtek Audio Driver", "Realtek Semiconductor Corp.", ("6.0.9596.1",)),
    ("Dell SupportAssist", "Dell Inc.", ("4.5.2.27081",)),
    ("Lenovo Vantage Service", "Lenovo Group Ltd.", ("4.1.20.0",)),
    ("HP Support Assistant", "HP Inc.", ("9.36.29.0",)),
    ("富士通 かんたんバックアップ", "FUJITSU LIMITED", ("V3.1L10",)),
    ("経費精算システム クライアント", "社内情報システム部", ("3.2.0", "3.1.4")),
    ("勤怠管理 打刻ツール", "社内情報システム部", ("2.0.7",)),
    ("生産管理 端末 (工場用)", "社内情報システム部", ("5.11.2",)),
    ("文書管理ビューア", "社内情報システム部", ("1.8",)),
)

RUNTIMES = ("Microsoft Visual C++ {y} Redistributable ({a}) - {v}",
            "Microsoft Visual C++ {y} {a} Minimum Runtime - {v}",
            "Microsoft Visual C++ {y} {a} Additional Runtime - {v}")
RUNTIME_VERSIONS = (("2008", "9.0.30729.6161"), ("2010", "10.0.40219"), ("2012", "11.0.61030"),
                    ("2013", "12.0.40664"), ("2015-2022", "14.40.33816"), ("2015-2022", "14.38.33135"))
LANGUAGES = ("日本語", "English", "中国語 (簡体字)", "韓国語")
FONTS = ("IPAexフォント", "モリサワ BIZ UDゴシック", "源ノ角ゴシック", "游ゴシック 追加", "メイリオ 拡張")


def applications(rng):
    """[(name, version, unit)], the most common first: the products, then the
    runtimes, language packs and add-ins that make PCs differ."""
    apps = [(name, versions[0], publisher) for name, publisher, versions in PRODUCTS]
    for year, version in RUNTIME_VERSIONS:
        for arch in ("x64", "x86"):
            for form in RUNTIMES:
                apps.append((form.format(y=year, a=arch, v=version), version, "Microsoft Corporation"))
    for name, publisher, versions in PRODUCTS:
        apps += [(name, v, publisher) for v in versions[1:]]
    for lang in LANGUAGES:
        apps.append((f"Microsoft Office Proofing Tools 2016 - {lang}", "16.0.4266.1001", "Microsoft Corporation"))
        apps.append((f"Microsoft Teams Meeting Add-in for Microsoft Office ({lang})", "1.24.14501", "Microsoft"))
    apps += [(f, f"{rng.randrange(1, 9)}.{rng.randrange(10)}", "フォント配布") for f in FONTS]
    # The long tail: each department's own tools, plug-ins and drivers.
    kinds = ("業務ツール", "アドイン", "帳票テンプレート", "プラグイン", "ドライバー", "ビューア", "マクロ集")
    for n in range(1400):
        dept = DEPARTMENTS[n % len(DEPARTMENTS)]
        kind = kinds[n % len(kinds)]
        version = f"{rng.randrange(1, 12)}.{rng.randrange(30)}.{rng.randrange(1000)}"
        unit = rng.choice(("社内情報システム部", f"{dept.upper()} 推進室", "", f"{{{rng.getrandbits(64):016X}}}"))
        apps.append((f"{dept.upper()} {kind} {n:04d}", version, unit or f"C:\\Program Files\\{dept}\\{n}"))
    return apps
