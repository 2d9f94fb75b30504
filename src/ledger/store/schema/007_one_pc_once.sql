-- One PC under several numbers is counted once. Current collections that
-- share a system UUID (placeholders aside, as identifier_sql.h forms them)
-- are one machine; its current number is the register's over one the
-- register lacks (a mistyped number), then the one collected last (of two
-- collected in the same second, the greater number, so that the answer never
-- hangs on the listing's order). The other numbers are its older numbers.
CREATE VIEW older_numbers AS
SELECT number, current_number, current_file, uuid FROM (
  SELECT p.number, upper(trim(c.system_uuid, '{} ')) AS uuid,
         FIRST_VALUE(p.number) OVER same AS current_number, FIRST_VALUE(f.name) OVER same AS current_file,
         ROW_NUMBER() OVER same AS rank
  FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
  WHERE c.system_uuid <> '' AND NOT EXISTS (SELECT 1 FROM ignored_identifiers
          WHERE kind = 'uuid' AND upper(trim(c.system_uuid, '{} ')) LIKE value)
  WINDOW same AS (PARTITION BY upper(trim(c.system_uuid, '{} '))
                  ORDER BY lower(p.number) IN (SELECT number FROM register) DESC, c.collected_at DESC,
                           p.number DESC))
WHERE rank > 1;

-- The numbers that count as PCs: the current numbers less the older ones.
CREATE VIEW pc_numbers AS
SELECT number FROM pcs WHERE number NOT IN (SELECT number FROM older_numbers);

DROP VIEW licences;
CREATE VIEW licences AS
SELECT p.product, p.publisher, p.kind, p.kind_title, p.licences AS owned,
       coalesce(n.installed, 0) AS installed, p.licences - coalesce(n.installed, 0) AS balance,
       p.end_of_support, p.line
FROM catalogue_products p
LEFT JOIN (SELECT product, COUNT(DISTINCT number) AS installed FROM pc_products
           WHERE number IN (SELECT number FROM pc_numbers) GROUP BY product) n
  ON n.product = p.product;

-- Each usable collection's rank among its number's, 1 the current one: a file
-- named after the number itself (<number>.csv) before any other, for anyone
-- who can write to the folder can add a set-aside name (`<number> (…).csv`);
-- then the newest by date, then the path sorting last. None with an unusable
-- date or whose file is gone.
CREATE VIEW collection_ranks AS
SELECT c.number, c.id, ROW_NUMBER() OVER (PARTITION BY c.number
         ORDER BY substr(f.name, 1, length(f.name) - 4) = c.number AND lower(substr(f.name, -4)) = '.csv' DESC,
                  c.collected_at DESC, f.path DESC, c.id DESC) AS n
FROM collections c JOIN files f ON f.id = c.file_id
WHERE c.date_problem IS NULL AND f.gone_at IS NULL;

DROP VIEW previous_collections;
CREATE VIEW previous_collections AS
SELECT p.number, p.collection_id, r.id AS previous_id
FROM pcs p LEFT JOIN collection_ranks r ON r.number = p.number AND r.n = 2;
