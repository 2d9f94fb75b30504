#pragma once
// The one SQL rule that tells which management numbers are older numbers of
// a PC now reported under another: current collections that share a system
// UUID (placeholders aside) are one machine, and the number whose collection
// is the latest is its current number (of two collected in the same second,
// the greater number, so that the answer never hangs on the listing's order).
// The checks raise one finding per such PC; the GLPI export sends it under its
// current number only, since GLPI would merge the files and keep whichever it
// read last.
#include "ledger/store/identifier_sql.h"

// Columns: number, current_number, current_file (its collection's), uuid.
#define LEDGER_OLDER_NUMBERS                                                                                     \
  "SELECT number, current_number, current_file, uuid FROM ("                                                     \
  " SELECT p.number, " LEDGER_UUID_FORM("c.system_uuid") " AS uuid, FIRST_VALUE(p.number) OVER same AS"          \
  "        current_number, FIRST_VALUE(f.name) OVER same AS current_file, ROW_NUMBER() OVER same AS rank"        \
  " FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id"                    \
  " WHERE " LEDGER_REAL_UUID("c.system_uuid")                                                                    \
  " WINDOW same AS (PARTITION BY " LEDGER_UUID_FORM("c.system_uuid")                                             \
  "                ORDER BY c.collected_at DESC, p.number DESC))"                                                \
  " WHERE rank > 1"
