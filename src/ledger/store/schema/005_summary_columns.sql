-- Drawn at import like the other summary columns; collections taken before
-- are filled from their records once. The BIOS serial is what purchase,
-- lease and warranty records name; long_value marks a collection with a
-- value longer than a spreadsheet cell holds (collection_summary.h).
ALTER TABLE collections ADD COLUMN bios_serial TEXT;
ALTER TABLE collections ADD COLUMN long_value INTEGER NOT NULL DEFAULT 0;
UPDATE collections SET long_value = 1 WHERE id IN (SELECT collection_id FROM records
  WHERE length(CAST(subitem AS BLOB)) > 32767 OR length(CAST(contents AS BLOB)) > 32767
     OR length(CAST(unit AS BLOB)) > 32767);
UPDATE collections SET bios_serial = coalesce((SELECT r.contents FROM records r WHERE r.collection_id = collections.id
  AND r.grp = 'WMI' AND r.item = 'BIOS' AND r.subitem = 'SerialNo' AND r.contents <> '' ORDER BY r.line LIMIT 1), '');

DROP VIEW pc_summary;
CREATE VIEW pc_summary AS
SELECT p.number, c.surname, c.given_name, c.computer_name, c.user_name, c.os, c.os_version,
       c.cpu, c.memory, c.system_disk_size, c.system_disk_free, c.total_disk, c.maker, c.model,
       c.chassis, c.board_serial, c.system_uuid, c.macs AS mac_addresses, c.ip_addresses,
       c.collected_at, c.bios_serial, c.id AS collection_id, f.name AS file_name
FROM pcs p
JOIN collections c ON c.id = p.collection_id
JOIN files f ON f.id = c.file_id;
