#pragma once
// The one SQL rule that tells an identifier of a PC from one that identifies
// nothing (ignored_identifiers: placeholder UUIDs and serials, virtual
// adapters' MACs), for every check that compares identifiers. Each macro
// takes the SQL expression of the value as a string literal and gives a
// literal, so the checks' statements stay constants. The schema's view
// older_numbers (schema/007_one_pc_once.sql) writes the UUID rule out, as a
// view cannot use these.

// The forms the patterns are written in: upper case, a UUID without its
// braces, a MAC with '-'.
#define LEDGER_UUID_FORM(v) "upper(trim(" v ", '{} '))"
#define LEDGER_MAC_FORM(v) "upper(replace(" v ", ':', '-'))"
#define LEDGER_SERIAL_FORM(v) "upper(trim(" v "))"

// True when the value is present and matches no pattern of its kind.
#define LEDGER_IDENTIFIES(kind, v, form)                                                           \
  "(" v " <> '' AND NOT EXISTS (SELECT 1 FROM ignored_identifiers WHERE kind = '" kind "' AND " form \
  " LIKE value))"

#define LEDGER_REAL_UUID(v) LEDGER_IDENTIFIES("uuid", v, LEDGER_UUID_FORM(v))
#define LEDGER_REAL_MAC(v) LEDGER_IDENTIFIES("mac", v, LEDGER_MAC_FORM(v))
#define LEDGER_REAL_SERIAL(v) LEDGER_IDENTIFIES("serial", v, LEDGER_SERIAL_FORM(v))
