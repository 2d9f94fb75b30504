#pragma once
// The one SQL rule that tells which management numbers are an older number of
// a PC now reported under another: current collections that share a system
// UUID (placeholders aside) are one machine, and the number whose collection
// is the latest is its current number. The checks raise a finding for each
// older number; the GLPI export sends the PC under its current number only,
// since GLPI would merge the two and keep whichever it read last.
#include "ledger/store/identifier_sql.h"

// Columns: number, file (its current collection's), current_number, uuid.
#define LEDGER_OLDER_NUMBERS                                                                                     \
  "SELECT number, file, current_number, uuid FROM ("                                                            \
  " SELECT p.number, f.name AS file, " LEDGER_UUID_FORM("c.system_uuid") " AS uuid,"                            \
  "        FIRST_VALUE(p.number) OVER same AS current_number, ROW_NUMBER() OVER same AS rank"                    \
  " FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id"                    \
  " WHERE " LEDGER_REAL_UUID("c.system_uuid")                                                                    \
  " WINDOW same AS (PARTITION BY " LEDGER_UUID_FORM("c.system_uuid") " ORDER BY c.collected_at DESC, c.id DESC))" \
  " WHERE rank > 1"
