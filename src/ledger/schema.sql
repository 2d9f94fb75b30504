-- The ledger database. Every text is UTF-8. Kept in one file so the import,
-- the report and docs/ledger.md read the same names; compiled into the
-- program (schema.cpp) and applied with IF NOT EXISTS on every open.

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

-- The last catalogue given with --catalogue: its products (kind: paid, free,
-- forbidden, required; kind_title as the exports show it) and, in file order,
-- the patterns naming them.
CREATE TABLE IF NOT EXISTS catalogue_products(
  product TEXT PRIMARY KEY,
  publisher TEXT,
  kind TEXT NOT NULL,
  kind_title TEXT NOT NULL,
  licences INTEGER,
  end_of_support TEXT,
  line INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS catalogue_patterns(
  line INTEGER PRIMARY KEY,
  pattern TEXT NOT NULL,
  product TEXT NOT NULL
);

-- Every distinct application name (os = 0) and OS caption (os = 1) of the
-- current collections with the product it matched (NULL: none). A name is
-- matched once, when it first comes, not once per install; a new catalogue
-- matches them all again.
CREATE TABLE IF NOT EXISTS catalogue_matches(
  os INTEGER NOT NULL,
  name TEXT NOT NULL,
  product TEXT,
  PRIMARY KEY(os, name)
) WITHOUT ROWID;

-- The catalogue products each PC has: by an application's name or by its OS.
CREATE VIEW IF NOT EXISTS pc_products AS
SELECT i.number, m.product, i.name
FROM installs i JOIN catalogue_matches m ON m.os = 0 AND m.name = i.name
WHERE m.product IS NOT NULL
UNION ALL
SELECT s.number, m.product, s.os
FROM pc_summary s JOIN catalogue_matches m ON m.os = 1 AND m.name = s.os
WHERE m.product IS NOT NULL;

-- Licences owned against PCs that have the product; balance is NULL when
-- the number owned is unknown.
CREATE VIEW IF NOT EXISTS licences AS
SELECT p.product, p.publisher, p.kind, p.kind_title, p.licences AS owned,
       COUNT(DISTINCT pp.number) AS installed, p.licences - COUNT(DISTINCT pp.number) AS balance,
       p.end_of_support, p.line
FROM catalogue_products p LEFT JOIN pc_products pp ON pp.product = p.product
GROUP BY p.product;

-- Each PC's collection before its current one.
CREATE VIEW IF NOT EXISTS previous_collections AS
SELECT p.number, p.collection_id,
       (SELECT o.id FROM collections o WHERE o.number = p.number AND o.id <> p.collection_id
        ORDER BY o.collected_at DESC, o.id DESC LIMIT 1) AS previous_id
FROM pcs p;
