-- The ledger database as it was before it carried a version: every database
-- starts here. Every text is UTF-8. The files of this folder are applied in
-- order (schema.cpp), each once; PRAGMA user_version counts those applied.

-- One row per import run that changed something; local time.
CREATE TABLE IF NOT EXISTS imports(
  id INTEGER PRIMARY KEY,
  started_at TEXT NOT NULL,
  files_read INTEGER,
  new_pcs INTEGER,
  updated_pcs INTEGER,
  rejected INTEGER
);

-- Every file ever read, taken or not; the content hash makes a second
-- import of the same bytes a no-op.
CREATE TABLE IF NOT EXISTS files(
  id INTEGER PRIMARY KEY,
  sha256 TEXT NOT NULL UNIQUE,
  path TEXT NOT NULL,
  name TEXT NOT NULL,
  size INTEGER NOT NULL,
  import_id INTEGER NOT NULL,
  rejected TEXT
);

-- One per taken file. The summary columns are drawn from the file's records
-- at import so that pc_summary needs no scan of the records.
CREATE TABLE IF NOT EXISTS collections(
  id INTEGER PRIMARY KEY,
  file_id INTEGER NOT NULL UNIQUE,
  number TEXT NOT NULL,
  collected_at TEXT,
  renewalday TEXT,
  computer_name TEXT,
  system_uuid TEXT,
  macs TEXT,
  surname TEXT,
  given_name TEXT,
  user_name TEXT,
  os TEXT,
  os_version TEXT,
  cpu TEXT,
  memory TEXT,
  system_disk_size TEXT,
  system_disk_free TEXT,
  total_disk TEXT,
  maker TEXT,
  model TEXT,
  chassis TEXT,
  board_serial TEXT,
  ip_addresses TEXT,
  applications INTEGER NOT NULL DEFAULT 0,
  complete INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX IF NOT EXISTS collections_number ON collections(number);

-- The MAC addresses of a collection, one per row, for the checks and for
-- questions such as "which PC has this address".
CREATE TABLE IF NOT EXISTS collection_macs(
  collection_id INTEGER NOT NULL,
  mac TEXT NOT NULL,
  PRIMARY KEY(collection_id, mac)
) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS collection_macs_mac ON collection_macs(mac);

CREATE TABLE IF NOT EXISTS records(
  collection_id INTEGER NOT NULL,
  line INTEGER NOT NULL,
  grp TEXT,
  item TEXT,
  subitem TEXT,
  contents TEXT,
  unit TEXT,
  PRIMARY KEY(collection_id, line)
) WITHOUT ROWID;

-- Each management number's current collection.
CREATE TABLE IF NOT EXISTS pcs(
  number TEXT PRIMARY KEY,
  collection_id INTEGER NOT NULL
);

CREATE TABLE IF NOT EXISTS finding_kinds(
  kind TEXT PRIMARY KEY,
  title TEXT NOT NULL,
  title_en TEXT NOT NULL
);

-- Recomputed after every import.
CREATE TABLE IF NOT EXISTS findings(
  id INTEGER PRIMARY KEY,
  kind TEXT NOT NULL,
  number TEXT,
  file TEXT,
  detail TEXT
);

-- The last register given with --register; extra is a JSON array.
CREATE TABLE IF NOT EXISTS register(
  number TEXT PRIMARY KEY,
  extra TEXT
);

CREATE TABLE IF NOT EXISTS meta(
  key TEXT PRIMARY KEY,
  value TEXT
);

CREATE VIEW IF NOT EXISTS pc_summary AS
SELECT p.number, c.surname, c.given_name, c.computer_name, c.user_name, c.os, c.os_version,
       c.cpu, c.memory, c.system_disk_size, c.system_disk_free, c.total_disk, c.maker, c.model,
       c.chassis, c.board_serial, c.system_uuid, c.macs AS mac_addresses, c.ip_addresses,
       c.collected_at, c.id AS collection_id, f.name AS file_name
FROM pcs p
JOIN collections c ON c.id = p.collection_id
JOIN files f ON f.id = c.file_id;

CREATE VIEW IF NOT EXISTS installs AS
SELECT p.number, r.subitem AS name, r.contents AS version, r.unit AS publisher
FROM pcs p
JOIN records r ON r.collection_id = p.collection_id
WHERE r.grp = 'Soft' AND r.item = 'Application';

CREATE VIEW IF NOT EXISTS software AS
SELECT name, publisher, COUNT(DISTINCT number) AS pcs
FROM installs
GROUP BY name, publisher;
