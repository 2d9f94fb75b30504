-- The values of the last catalogue that could not be read, in file order:
-- each line kept its other values; the checks make each one a finding.
-- column_name is the column as the file's first line names it, value as
-- written, file the catalogue's file name.
CREATE TABLE catalogue_problems(
  line INTEGER NOT NULL,
  column_name TEXT NOT NULL,
  value TEXT NOT NULL,
  file TEXT
);
