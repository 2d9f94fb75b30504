#pragma once
// --glpi DIR: one <management number>.json per current PC in GLPI's native
// inventory format, and glpi-inventory.zip holding them all.
#include <filesystem>
#include <optional>
#include <string>

#include "ledger/store/sqlite.h"

namespace th::ledger {

constexpr const char* kGlpiArchive = "glpi-inventory.zip";

// Writes the files into `dir` (created when missing) and returns how many
// PCs they hold. `tagColumn` names the register column whose value becomes
// each PC's GLPI tag. Throws std::runtime_error when a file cannot be written
// or the register has no such column.
std::size_t WriteGlpiInventory(Database& db, const std::filesystem::path& dir,
                               const std::optional<std::string>& tagColumn);

// The file name for a management number: characters that a file name cannot
// hold become "_".
std::string GlpiFileStem(std::string_view number);

}  // namespace th::ledger
