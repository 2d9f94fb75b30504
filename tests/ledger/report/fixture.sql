-- A small ledger for the report's tests (applied over schema.sql): three PCs,
-- one with an earlier collection, one whose number another PC reported
-- before, and one PC new in the last import under two numbers (its register
-- number, then a number not in the register); a rejected file, findings, a
-- register with one number not reported, hostile texts from the record
-- files, and a software catalogue with its findings.
INSERT INTO imports(id, started_at, files_read, new_pcs, updated_pcs, rejected) VALUES
  (1, '2026-12-01 09:00:00', 2, 2, 0, 0),
  (2, '2026-12-05 10:00:00', 3, 1, 1, 1);
INSERT INTO files(id, sha256, path, name, size, import_id, rejected) VALUES
  (1, 'h1', 'SAVE/abc-05-0001.csv', 'abc-05-0001.csv', 900, 1, NULL),
  (2, 'h2', 'SAVE/abc-05-0002.csv', 'abc-05-0002.csv', 900, 1, NULL),
  (3, 'h3', 'SAVE2/abc-05-0001.csv', 'abc-05-0001.csv', 950, 2, NULL),
  (4, 'h4', 'SAVE2/abc-05-0003.csv', 'abc-05-0003.csv', 990, 2, NULL),
  (5, 'h5', 'SAVE2/memo.csv', 'memo.csv', 12, 2, 'ヘッダー行がありません'),
  (6, 'h6', 'SAVE2/abc-05-0004.csv', 'abc-05-0004.csv', 990, 2, NULL),
  (7, 'h7', 'SAVE2/abc-05-0005.csv', 'abc-05-0005.csv', 990, 2, NULL),
  (8, 'h8', 'SAVE/abc-05-0003.csv', 'abc-05-0003.csv', 900, 1, NULL);
INSERT INTO collections(id, file_id, number, collected_at, renewalday, computer_name, system_uuid, macs,
  surname, given_name, user_name, os, os_version, cpu, memory, system_disk_size, system_disk_free, total_disk,
  maker, model, chassis, board_serial, ip_addresses) VALUES
  (1, 1, 'abc-05-0001', '2026-11-20 08:30:00', '2026/11/20', 'PC-SATO', '{U1}', '00-11-22-33-44-01',
   '佐藤', '一郎', 'CORP\sato', 'Windows 10 Pro 64 ビット', '10.0.19045', 'Core i5', '8388608', '237000', '100000', '237000',
   'Maker A', 'Model 1', 'Notebook', 'BS1', '192.168.1.11'),
  (2, 2, 'abc-05-0002', '2026-11-21 13:00:00', '2026/11/21', 'PC-SUZUKI', '{U2}', '00-11-22-33-44-02',
   '鈴木', '<b>花子</b>', 'CORP\suzuki', 'Windows 11 Pro 64 ビット', '10.0.22631', 'Core i7', '16777216', '476000', '300000', '476000',
   'Maker B', 'Model 2', 'Desktop', 'BS2', '192.168.1.12'),
  (3, 3, 'abc-05-0001', '2026-12-04 09:15:00', '2026/12/04', 'PC-SATO', '{U1}', '00-11-22-33-44-01',
   '佐藤', '一郎', 'CORP\sato', 'Windows 11 Pro 64 ビット', '10.0.22631', 'Core i5', '16777216', '237000', '90000', '237000',
   'Maker A', 'Model 1', 'Notebook', 'BS1', '192.168.1.11'),
  (4, 4, 'abc-05-0003', '2026-12-05 09:45:00', '2026/12/05', 'PC-TANAKA', '{U3}', '00-11-22-33-44-03',
   '田中', '次郎', 'CORP\tanaka', 'Windows 11 Pro 64 ビット', '10.0.22631', 'Ryzen 5', '33554432', '953000', '800000', '1907000',
   'Maker A', 'Model 3', 'Desktop', 'BS3', '192.168.1.13'),
  (5, 6, 'abc-05-0004', '2026-12-05 08:00:00', '2026/12/05', 'PC-ITO', '{U4}', '00-11-22-33-44-04',
   '伊藤', '三郎', 'CORP\ito', 'Windows 10 Pro 64 ビット', '10.0.19045', 'Core i3', '4194304', '119000', '20000', '119000',
   'Maker B', 'Model 4', 'Notebook', 'BS4', '10.0.5.14'),
  (6, 7, 'abc-05-0005', '2026-12-05 11:00:00', '2026/12/05', 'PC-ITO', '{U4}', '00-11-22-33-44-04',
   '伊藤', '三郎', 'CORP\ito', 'Windows 10 Pro 64 ビット', '10.0.19045', 'Core i3', '4194304', '119000', '20000', '119000',
   'Maker B', 'Model 4', 'Notebook', 'BS4', '10.0.5.14'),
  (7, 8, 'abc-05-0003', '2026-11-25 10:00:00', '2026/11/25', 'PC-OTHER', '{U9}', '00-11-22-33-44-09',
   '田中', '次郎', 'CORP\tanaka', 'Windows 10 Pro 64 ビット', '10.0.19045', 'Core i3', '8388608', '237000', '100000', '237000',
   'Maker B', 'Model 9', 'Desktop', 'BS9', '192.168.1.19');
-- The BIOS serial, drawn at import beside the board's.
UPDATE collections SET bios_serial = replace(board_serial, 'BS', 'SN');
INSERT INTO pcs(number, collection_id) VALUES ('abc-05-0001', 3), ('abc-05-0002', 2), ('abc-05-0003', 4),
  ('abc-05-0004', 5), ('abc-05-0005', 6);
INSERT INTO records(collection_id, line, grp, item, subitem, contents, unit) VALUES
  (1, 2, 'Create', 'DateTime', '2026/11/20', '08:30:00', ''),
  (1, 3, 'Hard', 'メモリ', '全容量', '8388608', 'KB'),
  (1, 4, 'Soft', 'OS', 'Version', 'Windows 10 Pro 64 ビット', ''),
  (1, 5, 'Soft', 'Application', 'Office', '1.0', 'Maker A'),
  (1, 6, 'Soft', 'Application', 'Old Tool', '3.1', 'Tools Inc'),
  (1, 7, '資産', '管理情報', '管理番号', 'abc-05-0001', ''),
  (2, 2, 'Create', 'DateTime', '2026/11/21', '13:00:00', ''),
  (2, 3, 'Hard', 'メモリ', '全容量', '16777216', 'KB'),
  (2, 4, 'Soft', 'Application', '<script>alert(1)</script>', '6.6', 'Evil'),
  (2, 5, 'Soft', 'Application', 'Office', '2.0', 'Maker A'),
  (2, 6, '資産', '管理情報', '名', '<b>花子</b>', ''),
  (2, 7, 'Soft', 'Application', 'Ｏｆｆｉｃｅ　', '2.0', '{PID-2}'),
  (3, 2, 'Create', 'DateTime', '2026/12/04', '09:15:00', ''),
  (3, 3, 'LAN', 'Adapter', 'MACアドレス', '00-11-22-33-44-01', ''),
  (3, 4, 'Hard', 'メモリ', '全容量', '16777216', 'KB'),
  (3, 5, 'Soft', 'OS', 'Version', 'Windows 11 Pro 64 ビット', ''),
  (3, 6, 'Soft', 'Application', 'Office', '2.0', 'Maker A'),
  (3, 7, 'Soft', 'Application', 'Viewer', '5.0', NULL),
  (3, 8, '資産', '管理情報', '管理番号', 'abc-05-0001', ''),
  (4, 2, 'Create', 'DateTime', '2026/12/05', '09:45:00', ''),
  (4, 3, 'Hard', 'メモリ', '全容量', '33554432', 'KB'),
  (4, 4, 'Soft', 'Application', '"><img src=x onerror=alert(2)>', '1.0', ''),
  (4, 5, 'Soft', 'Application', 'Office', '2.0', 'Maker A'),
  (4, 6, '資産', '管理情報', '管理番号', 'abc-05-0003', ''),
  (6, 2, 'Soft', 'Application', 'Office', '1.0', 'Maker A'),
  (6, 3, 'Soft', 'Application', 'Office', '2.0', 'Maker A'),
  (7, 2, 'Soft', 'Application', 'Other Tool', '1.0', '');
-- 137 updates on both numbers of one PC, so that each is met twice: in order
-- under the first, under the second every step of 1 to 16 between them
-- (0, 1, 3, 6, ..., 136), then the rest in order.
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 136),
  tri(k, t) AS (SELECT 0, 0 UNION ALL SELECT k + 1, t + k + 1 FROM tri WHERE k < 16)
INSERT INTO records(collection_id, line, grp, item, subitem, contents, unit)
  SELECT 5, 10 + i, 'Soft', 'HotFix', printf('KB%07d', 5000000 + i), '', '' FROM n
  UNION ALL SELECT 6, 10 + k, 'Soft', 'HotFix', printf('KB%07d', 5000000 + t), '', '' FROM tri
  UNION ALL SELECT 6, 100 + i, 'Soft', 'HotFix', printf('KB%07d', 5000000 + i), '', '' FROM n
    WHERE i NOT IN (SELECT t FROM tri);
-- The application record whose name folding changes, as the import notes it.
INSERT INTO application_folds(collection_id, line, name, version, unit) VALUES (2, 7, 'Office', NULL, NULL);
INSERT INTO findings(kind, number, file, detail) VALUES
  ('not_reported', 'abc-05-0009', NULL, NULL),
  ('rejected', NULL, 'SAVE2/memo.csv', 'ヘッダー行がありません'),
  ('same_computer_name', 'abc-05-0001', 'SAVE2/abc-05-0001.csv', 'PC-SATO'),
  ('same_computer_name', 'abc-05-0003', 'SAVE2/abc-05-0003.csv', 'PC-SATO'),
  ('licence_shortage', NULL, NULL, 'Office: 保有 2、導入 3'),
  ('forbidden_software', 'abc-05-0002', 'abc-05-0002.csv', '<script>alert(1)</script>'),
  ('required_missing', 'abc-05-0001', 'abc-05-0001.csv', 'AntiVirus'),
  ('required_missing', 'abc-05-0002', 'abc-05-0002.csv', 'AntiVirus'),
  ('required_missing', 'abc-05-0003', 'abc-05-0003.csv', 'AntiVirus'),
  ('end_of_support', 'abc-05-0001', 'abc-05-0001.csv', 'Viewer: サポート終了 2026-06-30'),
  ('end_of_support', 'abc-05-0004', 'abc-05-0004.csv', 'Windows 10 Pro 64 ビット: サポート終了 2025-10-14'),
  ('end_of_support', 'abc-05-0005', 'abc-05-0005.csv', 'Windows 10 Pro 64 ビット: サポート終了 2025-10-14'),
  ('two_pcs', 'abc-05-0003', 'abc-05-0003.csv / abc-05-0003.csv', 'PC-OTHER (2026-11-25 10:00:00) / PC-TANAKA (2026-12-05 09:45:00)');
INSERT INTO catalogue_products(product, publisher, kind, kind_title, licences, end_of_support, line) VALUES
  ('Office', 'Maker A', 'paid', '有償', 2, NULL, 2),
  ('Viewer', '', 'free', '無償', NULL, '2026-06-30', 3),
  ('Evil script', 'Evil', 'forbidden', '禁止', NULL, NULL, 4),
  ('AntiVirus', '', 'required', '必須', NULL, NULL, 5),
  ('Windows 10', 'Microsoft', 'paid', '有償', 10, '2025-10-14', 6);
INSERT INTO catalogue_patterns(line, pattern, product) VALUES
  (2, 'Office*', 'Office'), (3, 'Viewer', 'Viewer'), (4, '<script>*', 'Evil script'), (5, 'AntiVirus*', 'AntiVirus'),
  (6, 'OS:*Windows 10*', 'Windows 10');
INSERT INTO catalogue_matches(os, name, product) VALUES
  (0, 'Office', 'Office'), (0, 'Viewer', 'Viewer'), (0, '<script>alert(1)</script>', 'Evil script'),
  (0, '"><img src=x onerror=alert(2)>', NULL), (1, 'Windows 11 Pro 64 ビット', NULL);
INSERT INTO register(number, extra) VALUES
  ('abc-05-0001', '["総務部", "本社3F"]'), ('abc-05-0002', '["<i>営業部</i>", "本社2F"]'),
  ('abc-05-0003', '["総務部", "本社3F"]'), ('abc-05-0005', '["経理部", "支店"]'), ('abc-05-0009', '["経理部", "支店"]');
INSERT INTO meta(key, value) VALUES ('register_columns', '["部署", "設置場所"]');
-- The Windows 11 plan as an import leaves it: a row per current PC (none for
-- the older number abc-05-0004), no price for a notebook.
INSERT INTO win11_plan(number, verdict, reasons, action, basis, cost_yen, cost_note, esu, form, tpm, firmware,
  secure_boot, memory_gb, memory_estimated, system_drive_gb, cpu, os, os_version, chassis, model, maker) VALUES
  ('abc-05-0001', 'Windows 11済', '', '', 'CPUID', 0, '', 0, 'notebook', '2.0', 'UEFI', '有効', 16, 0, 231.4,
   'Core i5', 'Windows 11 Pro 64 ビット', '23H2', 'Notebook', 'Model 1', 'Maker A'),
  ('abc-05-0002', 'Windows 11済', '', '', 'CPUID', 0, '', 0, 'desktop', '2.0', 'UEFI', '有効', 16, 0, 464.8,
   'Core i7', 'Windows 11 Pro 64 ビット', '23H2', 'Desktop', 'Model 2', 'Maker B'),
  ('abc-05-0003', 'Windows 11済', '', '', 'CPUID', 0, '', 0, 'desktop', '2.0', 'UEFI', '有効', 32, 0, 930.7,
   'Ryzen 5', 'Windows 11 Pro 64 ビット', '23H2', 'Desktop', 'Model 3', 'Maker A'),
  ('abc-05-0005', '買い替え', 'CPU 非対応、TPM 1.2', 'PCの買い替え', '対応リスト（2025-10-06）: 非対応（名前から推定）', NULL,
   '単価未設定', 1, 'notebook', '1.2', 'BIOS', '非対応', 4, 1, 116.2, 'Core i3', 'Windows 10 Pro 64 ビット', '22H2',
   'Notebook', 'Model 4', 'Maker B');
INSERT INTO win11_prices(category, yen, line) VALUES ('デスクトップ買い替え', 120000, 2), ('ESU', 7000, 3);
