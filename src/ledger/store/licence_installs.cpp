#include "ledger/store/licence_installs.h"

#include "ledger/store/same_pc_sql.h"

namespace th::ledger {

std::string LicenceInstallsSql() {
  // An OS product is had through the PC's OS caption, its version the
  // service pack (or what else the caption carried in parentheses). A PC
  // under several numbers is listed under its current one only.
  return "SELECT p.product, h.number, s.computer_name,"
         " trim(coalesce(s.surname, '') || ' ' || coalesce(s.given_name, '')), h.name, h.version"
         " FROM catalogue_products p"
         " JOIN (SELECT m.product, i.number, i.name, i.version FROM installs i"
         "        JOIN catalogue_matches m ON m.os = 0 AND m.name = i.name WHERE m.product IS NOT NULL"
         "       UNION SELECT m.product, s.number, s.os, s.os_version FROM pc_summary s"
         "        JOIN catalogue_matches m ON m.os = 1 AND m.name = s.os WHERE m.product IS NOT NULL) h"
         "  ON h.product = p.product"
         " JOIN pc_summary s ON s.number = h.number"
         " WHERE h.number IN (" LEDGER_PC_NUMBERS ")"
         " ORDER BY p.line, h.number, h.name, h.version";
}

}  // namespace th::ledger
