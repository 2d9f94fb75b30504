-- Software by the application's name and version, folded (text_fold.h) so
-- that one application is one row whatever its uninstall entry's Unit holds.
-- Only the application records that folding changes, or that repeat an
-- earlier one of the same collection (after folding), have a row here: the
-- folded texts (NULL where unchanged) or `duplicate` = 1.
CREATE TABLE application_folds(
  collection_id INTEGER NOT NULL,
  line INTEGER NOT NULL,
  name TEXT,
  version TEXT,
  unit TEXT,
  duplicate INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY(collection_id, line)
) WITHOUT ROWID;

DROP VIEW installs;
CREATE VIEW installs AS
SELECT p.number, COALESCE(x.name, r.subitem) AS name, COALESCE(x.version, r.contents) AS version,
       COALESCE(x.unit, r.unit) AS publisher, COALESCE(x.unit, r.unit) AS unit
FROM pcs p
JOIN records r ON r.collection_id = p.collection_id
LEFT JOIN application_folds x ON x.collection_id = r.collection_id AND x.line = r.line
WHERE r.grp = 'Soft' AND r.item = 'Application' AND x.duplicate IS NOT 1;

DROP VIEW software;
CREATE VIEW software AS
SELECT name, version, MIN(publisher) AS publisher, COUNT(DISTINCT number) AS pcs
FROM installs
GROUP BY name, version;

-- The numbers of a finding about a value shared by several numbers (one
-- finding per value, its numbers here).
CREATE TABLE finding_numbers(
  finding_id INTEGER NOT NULL,
  number TEXT NOT NULL,
  file TEXT,
  PRIMARY KEY(finding_id, number)
) WITHOUT ROWID;

-- Identifiers that identify nothing: virtual adapters' MACs, placeholder
-- UUIDs and serials. `value` is a LIKE pattern over the upper-case value,
-- MACs written with '-'. The administrator may add rows.
CREATE TABLE ignored_identifiers(
  kind TEXT NOT NULL,  -- 'uuid', 'mac' or 'serial'
  value TEXT NOT NULL,
  note TEXT,
  PRIMARY KEY(kind, value)
);
INSERT INTO ignored_identifiers(kind, value, note) VALUES
  ('uuid', 'FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF', 'placeholder'),
  ('uuid', '00000000-0000-0000-0000-000000000000', 'placeholder'),
  ('uuid', '03000200-0400-0500-0006-000700080009', 'placeholder of many boards'),
  ('mac', '00-50-56-C0-%', 'VMware Workstation host adapters (VMnet1, VMnet8)'),
  ('mac', '0A-00-27-00-00-%', 'VirtualBox host-only adapter'),
  ('mac', '20-41-53-59-4E-FF', 'RAS / dial-up adapter'),
  ('mac', '02-00-4E-43-50-49', 'VPN adapter'),
  ('mac', '33-50-6F-45-30-30', 'PPPoE adapter'),
  ('serial', 'TO BE FILLED BY O.E.M.', 'placeholder'),
  ('serial', 'DEFAULT STRING', 'placeholder'),
  ('serial', 'SYSTEM SERIAL NUMBER', 'placeholder'),
  ('serial', 'NONE', 'placeholder'),
  ('serial', '0', 'placeholder');

-- A collection whose date could not be read ('bad_date') or lies after the
-- import ('future_date') never becomes current.
ALTER TABLE collections ADD COLUMN date_problem TEXT;

-- A file no longer found under the scanned paths (its collections leave the
-- current view) or forgotten with --forget (its collections removed).
ALTER TABLE files ADD COLUMN gone_at TEXT;

-- Paths that could not be read at all (a folder or file without access, a
-- file over the size limit) by the last run that read files.
CREATE TABLE unread_paths(
  path TEXT PRIMARY KEY,
  reason TEXT NOT NULL,
  import_id INTEGER
);

-- The latest file read at a path decides whether that path is rejected.
CREATE INDEX files_path ON files(path);
