-- The Windows 11 migration plan.

-- The facts of a collection's Platform lines (clients that write them; a
-- collection without them has no row), drawn at import. Each value as the
-- line's Contents; NULL when the line is missing or its Contents empty (the
-- client could not read the fact). appraiser: one "<target> <UpgEx>
-- <RedReason tokens>" per target line, joined by ';' ('' when the client
-- found no target); bypass: the marks found, '' when none.
CREATE TABLE collection_platform(
  collection_id INTEGER PRIMARY KEY,
  cpu_vendor TEXT,
  cpu_identifier TEXT,
  platform_id TEXT,
  arm81_atomics TEXT,
  logical_processors TEXT,
  architecture TEXT,
  memory_installed_kb TEXT,
  firmware_type TEXT,
  secure_boot_capable TEXT,
  secure_boot_enabled TEXT,
  secure_boot_ca2023 TEXT,
  tpm_version TEXT,
  os_build TEXT,
  os_ubr TEXT,
  os_display_version TEXT,
  os_edition TEXT,
  appraiser TEXT,
  bypass TEXT
);
-- Collections taken before this table was kept, by a ledger that did not
-- know the lines yet.
INSERT INTO collection_platform
SELECT collection_id,
  max(CASE WHEN item = 'CPU' AND subitem = 'Vendor' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'CPU' AND subitem = 'Identifier' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'CPU' AND subitem = 'PlatformId' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'CPU' AND subitem = 'Arm81Atomics' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'CPU' AND subitem = 'LogicalProcessors' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'CPU' AND subitem = 'Architecture' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'Memory' AND subitem = 'Installed' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'Firmware' AND subitem = 'Type' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'Firmware' AND subitem = 'SecureBootCapable' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'Firmware' AND subitem = 'SecureBootEnabled' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'Firmware' AND subitem = 'SecureBootCA2023' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'TPM' AND subitem = 'Version' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'OS' AND subitem = 'CurrentBuild' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'OS' AND subitem = 'UBR' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'OS' AND subitem = 'DisplayVersion' THEN nullif(contents, '') END),
  max(CASE WHEN item = 'OS' AND subitem = 'EditionID' THEN nullif(contents, '') END),
  coalesce(group_concat(CASE WHEN item = 'Appraiser' AND subitem NOT IN ('Targets', 'Bypass')
                             THEN trim(subitem || ' ' || contents || ' ' || unit) END, ';'),
           max(CASE WHEN item = 'Appraiser' AND subitem = 'Targets' THEN '' END)),
  max(CASE WHEN item = 'Appraiser' AND subitem = 'Bypass' THEN contents END)
FROM records WHERE grp = 'Platform'
GROUP BY collection_id
HAVING max(item = 'Section' AND subitem = 'Version');

-- One row per current PC (pcs, less the older numbers of a PC now reported
-- under another): its verdict and what is shown beside it. Recomputed by
-- every import run.
CREATE TABLE win11_plan(
  number TEXT PRIMARY KEY,
  verdict TEXT NOT NULL,      -- 判定: アップグレード可, 設定変更で可, 部品交換で可, 買い替え, 仮想マシン, Windows 11済, 不明, 対象外
  reasons TEXT NOT NULL,      -- 理由: every failing or unknown requirement, joined by '、'; '' when none
  action TEXT NOT NULL,       -- 対処; '' when none is needed
  basis TEXT NOT NULL,        -- 根拠: what decided the processor
  cost_yen INTEGER,           -- 概算費用; NULL when a price it needs is not set or nothing prices it
  cost_note TEXT NOT NULL,    -- '' or why cost_yen is NULL (単価未設定...)
  esu INTEGER NOT NULL,       -- 1: a Windows 10 PC that ESU would cover
  form TEXT NOT NULL,         -- 'desktop', 'notebook' or '' (unknown), from the chassis
  tpm TEXT NOT NULL,          -- shown facts, as the plan read them; '' when unknown
  firmware TEXT NOT NULL,
  secure_boot TEXT NOT NULL,
  memory_gb REAL,             -- installed; visible memory for older records (memory_estimated = 1)
  memory_estimated INTEGER NOT NULL,
  system_drive_gb REAL,       -- the system volume's size, GiB
  cpu TEXT NOT NULL,
  os TEXT NOT NULL,
  os_version TEXT NOT NULL,   -- the feature version (22H2...) when known, else the record's OS version
  chassis TEXT NOT NULL,
  model TEXT NOT NULL,
  maker TEXT NOT NULL,
  finding TEXT                -- set when Windows 11 runs where no updates are promised: the checks' detail
);

-- The last price list given with --prices: 区分 and 単価 (yen) in file order.
CREATE TABLE win11_prices(
  category TEXT PRIMARY KEY,
  yen INTEGER NOT NULL,
  line INTEGER NOT NULL
);
