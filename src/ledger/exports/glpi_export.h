#pragma once
// --glpi DIR: one <management number>.json per current PC in GLPI's native
// inventory format, and glpi-inventory.zip holding them all.
#include <filesystem>
#include <optional>
#include <string>
#include <map>
#include <vector>

#include "ledger/store/sqlite.h"

namespace th::ledger {

constexpr const char* kGlpiArchive = "glpi-inventory.zip";

struct GlpiExport {
  std::size_t written = 0;  // PCs, one file each
  // A PC's current number and its other numbers, left out (same_pc_sql.h):
  // GLPI would merge them.
  std::map<std::string, std::vector<std::string>> olderNumbers;
  std::vector<std::string> nameless;  // sent with their management number as name
  std::vector<std::string> partial;   // cut short: sent as partial inventories
  // PCs sent with neither serial nor UUID under one computer name (case
  // aside), by that name: GLPI's name rule makes them one computer.
  std::map<std::string, std::vector<std::string>> mergedByName;
};

// Writes the files into `dir` (created when missing). `tagColumn` names the
// register column whose value becomes each PC's GLPI tag. Throws
// std::runtime_error when a file cannot be written or the register has no
// such column.
GlpiExport WriteGlpiInventory(Database& db, const std::filesystem::path& dir,
                              const std::optional<std::string>& tagColumn);

// The file name for a management number: characters that a file name cannot
// hold become "_", and a name Windows keeps for a device (CON, nul, COM1...)
// or would trim (a leading or trailing dot or blank) is changed too.
std::string GlpiFileStem(std::string_view number);

}  // namespace th::ledger
