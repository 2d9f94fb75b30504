PRAGMA foreign_keys=OFF;
BEGIN TRANSACTION;
CREATE TABLE imports(
  id INTEGER PRIMARY KEY,
  started_at TEXT NOT NULL,
  files_read INTEGER,
  new_pcs INTEGER,
  updated_pcs INTEGER,
  rejected INTEGER
);
INSERT INTO imports VALUES(1,'2026-12-07 17:44:41',3,2,0,0);
CREATE TABLE files(
  id INTEGER PRIMARY KEY,
  sha256 TEXT NOT NULL UNIQUE,
  path TEXT NOT NULL,
  name TEXT NOT NULL,
  size INTEGER NOT NULL,
  import_id INTEGER NOT NULL,
  rejected TEXT
);
INSERT INTO files VALUES(1,'4b1bf5399b575222492034ccd7cfb82acfd8b9b2906aadddc5c729335268c13d','/tmp/w18old/SAVE/abc-05-0001 old.csv','abc-05-0001 old.csv',498,1,NULL);
INSERT INTO files VALUES(2,'7a5c26e7461584cc42c5e97e48dc7509b662030c30c7d384126ea8d6639fb87c','/tmp/w18old/SAVE/abc-05-0001.csv','abc-05-0001.csv',573,1,NULL);
INSERT INTO files VALUES(3,'0ca9ddeb330ad6a8b1dcdd927439537eccd1c363e36e9075dfd75006a56fe7f2','/tmp/w18old/SAVE/abc-05-0002.csv','abc-05-0002.csv',557,1,NULL);
CREATE TABLE collections(
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
INSERT INTO collections VALUES(1,1,'abc-05-0001','2026-11-01 08:00:00','2026-11-01','PC-A','{A}','00-00-00-00-00-01','山田','太郎',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,'',1,1);
INSERT INTO collections VALUES(2,2,'abc-05-0001','2026-12-01 08:00:00','2026-12-01','PC-A','{A}','00-00-00-00-00-01','山田','太郎',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,'',2,1);
INSERT INTO collections VALUES(3,3,'abc-05-0002','2026-12-02 09:00:00','2026-12-02','PC-B','{A}','00-00-00-00-00-02','山田','太郎',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,'',2,1);
CREATE TABLE collection_macs(
  collection_id INTEGER NOT NULL,
  mac TEXT NOT NULL,
  PRIMARY KEY(collection_id, mac)
) WITHOUT ROWID;
INSERT INTO collection_macs VALUES(1,'00-00-00-00-00-01');
INSERT INTO collection_macs VALUES(2,'00-00-00-00-00-01');
INSERT INTO collection_macs VALUES(3,'00-00-00-00-00-02');
CREATE TABLE records(
  collection_id INTEGER NOT NULL,
  line INTEGER NOT NULL,
  grp TEXT,
  item TEXT,
  subitem TEXT,
  contents TEXT,
  unit TEXT,
  PRIMARY KEY(collection_id, line)
) WITHOUT ROWID;
INSERT INTO records VALUES(1,2,'Create','DateTime','2026/11/01','08:00:00','');
INSERT INTO records VALUES(1,3,'LAN','Adapter','MACアドレス','00-00-00-00-00-01','');
INSERT INTO records VALUES(1,4,'LAN','LAN','コンピュータ名','PC-A','');
INSERT INTO records VALUES(1,5,'WMI','MotherBoard','Device_ID','{A}','');
INSERT INTO records VALUES(1,6,'Soft','Application','Office','16.0','{P-1}');
INSERT INTO records VALUES(1,7,'資産','管理情報','姓','山田','');
INSERT INTO records VALUES(1,8,'資産','管理情報','名','太郎','');
INSERT INTO records VALUES(1,9,'資産','管理情報','管理番号','abc-05-0001','');
INSERT INTO records VALUES(2,2,'Create','DateTime','2026/12/01','08:00:00','');
INSERT INTO records VALUES(2,3,'LAN','Adapter','MACアドレス','00-00-00-00-00-01','');
INSERT INTO records VALUES(2,4,'LAN','LAN','コンピュータ名','PC-A','');
INSERT INTO records VALUES(2,5,'WMI','MotherBoard','Device_ID','{A}','');
INSERT INTO records VALUES(2,6,'Soft','Application','Office','16.0','{P-1}');
INSERT INTO records VALUES(2,7,'Soft','Application','Office','16.0','Microsoft Corporation');
INSERT INTO records VALUES(2,8,'資産','管理情報','姓','山田','');
INSERT INTO records VALUES(2,9,'資産','管理情報','名','太郎','');
INSERT INTO records VALUES(2,10,'資産','管理情報','管理番号','abc-05-0001','');
INSERT INTO records VALUES(3,2,'Create','DateTime','2026/12/02','09:00:00','');
INSERT INTO records VALUES(3,3,'LAN','Adapter','MACアドレス','00-00-00-00-00-02','');
INSERT INTO records VALUES(3,4,'LAN','LAN','コンピュータ名','PC-B','');
INSERT INTO records VALUES(3,5,'WMI','MotherBoard','Device_ID','{A}','');
INSERT INTO records VALUES(3,6,'Soft','Application','Office','16.0','{P-2}');
INSERT INTO records VALUES(3,7,'Soft','Application','Office','16.0','{P-2}');
INSERT INTO records VALUES(3,8,'資産','管理情報','姓','山田','');
INSERT INTO records VALUES(3,9,'資産','管理情報','名','太郎','');
INSERT INTO records VALUES(3,10,'資産','管理情報','管理番号','abc-05-0002','');
CREATE TABLE pcs(
  number TEXT PRIMARY KEY,
  collection_id INTEGER NOT NULL
);
INSERT INTO pcs VALUES('abc-05-0001',2);
INSERT INTO pcs VALUES('abc-05-0002',3);
CREATE TABLE finding_kinds(
  kind TEXT PRIMARY KEY,
  title TEXT NOT NULL,
  title_en TEXT NOT NULL
);
INSERT INTO finding_kinds VALUES('rejected','取り込めなかったファイル','File not imported');
INSERT INTO finding_kinds VALUES('cut_short','途中で切れた記録ファイル','Record file cut short');
INSERT INTO finding_kinds VALUES('name_mismatch','ファイル名と管理番号が異なる','File name differs from its Key');
INSERT INTO finding_kinds VALUES('bad_number','管理番号の形式が正しくない','Management number of the wrong shape');
INSERT INTO finding_kinds VALUES('no_software','ソフトウェアの記録がない','No software record');
INSERT INTO finding_kinds VALUES('same_uuid','同じシステムUUIDが複数の管理番号にある','Same system UUID under two numbers');
INSERT INTO finding_kinds VALUES('same_mac','同じMACアドレスが複数の管理番号にある','Same MAC address under two numbers');
INSERT INTO finding_kinds VALUES('same_computer_name','同じコンピュータ名が複数の管理番号にある','Same computer name under two numbers');
INSERT INTO finding_kinds VALUES('two_pcs','一つの管理番号を複数のPCが報告','One number reported by two PCs');
INSERT INTO finding_kinds VALUES('stale','古い収集','Stale collection');
INSERT INTO finding_kinds VALUES('not_reported','台帳にあるが未報告','In the register, not reported');
INSERT INTO finding_kinds VALUES('not_in_register','台帳にない管理番号','Reported, not in the register');
CREATE TABLE findings(
  id INTEGER PRIMARY KEY,
  kind TEXT NOT NULL,
  number TEXT,
  file TEXT,
  detail TEXT
);
INSERT INTO findings VALUES(1,'same_uuid','abc-05-0001','abc-05-0001.csv','UUID {A}: abc-05-0001 abc-05-0002');
INSERT INTO findings VALUES(2,'same_uuid','abc-05-0002','abc-05-0002.csv','UUID {A}: abc-05-0001 abc-05-0002');
CREATE TABLE register(
  number TEXT PRIMARY KEY,
  extra TEXT
);
CREATE TABLE meta(
  key TEXT PRIMARY KEY,
  value TEXT
);
CREATE INDEX collections_number ON collections(number);
CREATE INDEX collection_macs_mac ON collection_macs(mac);
CREATE VIEW pc_summary AS
SELECT p.number, c.surname, c.given_name, c.computer_name, c.user_name, c.os, c.os_version,
       c.cpu, c.memory, c.system_disk_size, c.system_disk_free, c.total_disk, c.maker, c.model,
       c.chassis, c.board_serial, c.system_uuid, c.macs AS mac_addresses, c.ip_addresses,
       c.collected_at, c.id AS collection_id, f.name AS file_name
FROM pcs p
JOIN collections c ON c.id = p.collection_id
JOIN files f ON f.id = c.file_id;
CREATE VIEW installs AS
SELECT p.number, r.subitem AS name, r.contents AS version, r.unit AS publisher
FROM pcs p
JOIN records r ON r.collection_id = p.collection_id
WHERE r.grp = 'Soft' AND r.item = 'Application';
CREATE VIEW software AS
SELECT name, publisher, COUNT(DISTINCT number) AS pcs
FROM installs
GROUP BY name, publisher;
COMMIT;
