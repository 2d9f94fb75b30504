#include "ledger/exports/glpi_export.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <stdexcept>

#include "ledger/exports/export_tables.h"
#include "ledger/exports/glpi_inventory.h"
#include "ledger/records/input_files.h"
#include "ledger/exports/zip_writer.h"

namespace th::ledger {

namespace fs = std::filesystem;

namespace {

// The register value in the named column of a PC, from the register's JSON array.
std::optional<std::string> RegisterValue(const std::string& extra, std::size_t column) {
  const auto values = nlohmann::json::parse(extra.empty() ? "[]" : extra, nullptr, false);
  if (!values.is_array() || column >= values.size() || !values[column].is_string()) return std::nullopt;
  return values[column].get<std::string>();
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

std::string GlpiFileStem(std::string_view number) {
  std::string stem;
  for (char c : number) {
    const bool unsafe = static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
    stem += unsafe ? '_' : c;
  }
  if (stem.empty() || stem.front() == '.' || stem.back() == '.' || stem.back() == ' ') stem = "_" + stem + "_";
  return stem;
}

std::size_t WriteGlpiInventory(Database& db, const fs::path& dir, const std::optional<std::string>& tagColumn) {
  std::optional<std::size_t> tagIndex;
  if (tagColumn) {
    const std::vector<std::string> columns = RegisterColumns(db);
    const auto it = std::find(columns.begin(), columns.end(), *tagColumn);
    if (it == columns.end()) {
      throw std::runtime_error("台帳に「" + *tagColumn + "」列がありません / the register has no column " + *tagColumn);
    }
    tagIndex = static_cast<std::size_t>(it - columns.begin());
  }
  std::error_code ec;
  fs::create_directories(dir, ec);
  ZipWriter zip(dir / kGlpiArchive);

  Statement pcs = db.prepare(
      "SELECT p.number, c.id, c.collected_at, c.os, c.os_version, r.extra FROM pcs p"
      " JOIN collections c ON c.id = p.collection_id LEFT JOIN register r ON r.number = lower(p.number) ORDER BY p.number");
  Statement records = db.prepare(
      "SELECT grp, item, subitem, contents, unit FROM records WHERE collection_id = ? ORDER BY line");
  std::set<std::string> taken;  // file names, as a case-blind file system compares them
  std::size_t written = 0;
  GlpiPc pc;
  while (pcs.step()) {
    pc.number = pcs.text(0);
    pc.collectedAt = pcs.text(2);
    pc.os = pcs.text(3);
    pc.osVersion = pcs.text(4);
    pc.tag = tagIndex ? RegisterValue(pcs.text(5), *tagIndex) : std::nullopt;
    pc.records.clear();
    records.bind(1, pcs.integer(1));
    while (records.step()) {
      pc.records.push_back({records.text(0), records.text(1), records.text(2), records.text(3), records.text(4)});
    }
    records.reset();

    // Two numbers may differ only in case or in characters a file name cannot hold.
    const std::string stem = GlpiFileStem(pc.number);
    std::string name = stem + ".json";
    for (int n = 2; !taken.insert(Lower(name)).second; ++n) name = stem + " (" + std::to_string(n) + ").json";

    const std::string json = GlpiInventory(pc).dump(2) + "\n";
    const fs::path path = dir / PathFromUtf8(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << json;
    out.close();
    if (!out) throw std::runtime_error("書き込めません / cannot write: " + Utf8FromPath(path));
    zip.add(name, json);
    ++written;
  }
  zip.close();
  return written;
}

}  // namespace th::ledger
