-- The software catalogue and what it makes of the collections.

-- The last catalogue given with --catalogue: its products (kind: paid, free,
-- forbidden, required; kind_title as the exports show it) and, in file order,
-- the patterns naming them.
CREATE TABLE catalogue_products(
  product TEXT PRIMARY KEY,
  publisher TEXT,
  kind TEXT NOT NULL,
  kind_title TEXT NOT NULL,
  licences INTEGER,
  end_of_support TEXT,
  line INTEGER NOT NULL
);
CREATE TABLE catalogue_patterns(
  line INTEGER PRIMARY KEY,
  pattern TEXT NOT NULL,
  product TEXT NOT NULL
);

-- Every distinct application name (os = 0, folded as in installs) and OS
-- caption (os = 1) of the collections with the product it matched (NULL:
-- none). A name is matched once, when it first comes, not once per install;
-- a new catalogue matches them all again.
CREATE TABLE catalogue_matches(
  os INTEGER NOT NULL,
  name TEXT NOT NULL,
  product TEXT,
  PRIMARY KEY(os, name)
) WITHOUT ROWID;

-- The catalogue products each PC has: by an application's name (folded, as
-- in installs) or by its OS caption.
CREATE VIEW pc_products AS
SELECT i.number, m.product, i.name
FROM installs i JOIN catalogue_matches m ON m.os = 0 AND m.name = i.name
WHERE m.product IS NOT NULL
UNION ALL
SELECT s.number, m.product, s.os
FROM pc_summary s JOIN catalogue_matches m ON m.os = 1 AND m.name = s.os
WHERE m.product IS NOT NULL;

-- Licences owned against PCs that have the product; balance is NULL when
-- the number owned is unknown.
CREATE VIEW licences AS
SELECT p.product, p.publisher, p.kind, p.kind_title, p.licences AS owned,
       coalesce(n.installed, 0) AS installed, p.licences - coalesce(n.installed, 0) AS balance,
       p.end_of_support, p.line
FROM catalogue_products p
LEFT JOIN (SELECT product, COUNT(DISTINCT number) AS installed FROM pc_products GROUP BY product) n
  ON n.product = p.product;

-- Each PC's collection before its current one, in the order the current
-- one is chosen (newest by date, then path; none with an unusable date or
-- whose file is gone).
CREATE VIEW previous_collections AS
SELECT p.number, p.collection_id, r.id AS previous_id
FROM pcs p
LEFT JOIN (SELECT c.number, c.id, ROW_NUMBER() OVER (PARTITION BY c.number
             ORDER BY c.collected_at DESC, f.path DESC, c.id DESC) AS n
           FROM collections c JOIN files f ON f.id = c.file_id
           WHERE c.date_problem IS NULL AND f.gone_at IS NULL) r
  ON r.number = p.number AND r.n = 2;
