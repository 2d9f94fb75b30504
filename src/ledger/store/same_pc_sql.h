#pragma once
// Which management numbers are older numbers of a PC now reported under
// another, and which numbers count as PCs: the schema's views
// `older_numbers` and `pc_numbers` (schema/007_one_pc_once.sql) hold the rule.
// Current collections that share a system UUID (placeholders aside) are one
// machine; its current number is the register's over one the register lacks,
// then the one collected last. Every count of PCs (licences, end of support,
// the report's and the workbook's totals) counts pc_numbers; the checks raise
// one finding per such PC; the GLPI export sends it under its current number
// only, since GLPI would merge the files and keep whichever it read last.
#include "ledger/store/identifier_sql.h"  // the readers of these views compare identifiers too

// Columns: number, current_number, current_file (its collection's), uuid.
#define LEDGER_OLDER_NUMBERS "SELECT number, current_number, current_file, uuid FROM older_numbers"

// Column: number. Each PC once: the current numbers less the older ones.
#define LEDGER_PC_NUMBERS "SELECT number FROM pc_numbers"
