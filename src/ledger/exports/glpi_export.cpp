#include "ledger/exports/glpi_export.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "ledger/exports/export_tables.h"
#include "ledger/exports/glpi_inventory.h"
#include "ledger/records/input_files.h"
#include "ledger/exports/zip_writer.h"
#include "ledger/store/same_pc_sql.h"

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

// A name Windows gives a device: alone or before an extension (nul.json is
// NUL), in any case, with blanks after it.
bool NamesADevice(std::string_view stem) {
  std::string_view base = stem.substr(0, stem.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string upper(base);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (upper == device) return true;
  }
  if (upper.rfind("COM", 0) != 0 && upper.rfind("LPT", 0) != 0) return false;
  const std::string_view number = std::string_view(upper).substr(3);
  return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" || number == "\xC2\xB2" ||
         number == "\xC2\xB3";  // ¹ ² ³
}

// Each number's first collection, whose time the deviceid keeps; the files
// of a number's collections may since be gone.
constexpr const char* kPcs =
    "SELECT p.number, c.id,"
    " (SELECT MIN(collected_at) FROM collections WHERE number = p.number AND date_problem IS NULL),"
    " c.os, c.os_version, r.extra, trim(COALESCE(c.computer_name, '')) = '', c.complete = 0 FROM pcs p"
    " JOIN collections c ON c.id = p.collection_id LEFT JOIN register r ON r.number = lower(p.number) ORDER BY p.number";

// The identifiers in the placeholder list are flagged, for the inventory to leave out.
constexpr const char* kRecords =
    "SELECT grp, item, subitem, contents, unit,"
    " CASE WHEN grp = 'WMI' AND item IN ('BIOS', 'MotherBoard') AND subitem = 'SerialNo'"
    "      THEN NOT " LEDGER_REAL_SERIAL("contents")
    "      WHEN grp = 'WMI' AND item = 'MotherBoard' AND subitem = 'Device_ID' THEN NOT " LEDGER_REAL_UUID("contents")
    "      WHEN grp = 'LAN' AND subitem = 'MACアドレス' THEN NOT " LEDGER_REAL_MAC("contents")
    "      ELSE 0 END"
    " FROM records WHERE collection_id = ? ORDER BY line";

}  // namespace

std::string GlpiFileStem(std::string_view number) {
  std::string stem;
  for (char c : number) {
    const bool unsafe = static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
    stem += unsafe ? '_' : c;
  }
  if (stem.empty() || stem.front() == '.' || stem.back() == '.' || stem.back() == ' ') stem = "_" + stem + "_";
  return NamesADevice(stem) ? "_" + stem : stem;
}

GlpiExport WriteGlpiInventory(Database& db, const fs::path& dir, const std::optional<std::string>& tagColumn) {
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

  GlpiExport result;
  std::map<std::string, std::string> older;
  for (Statement s = db.prepare(LEDGER_OLDER_NUMBERS); s.step();) older.emplace(s.text(0), s.text(1));
  Statement pcs = db.prepare(kPcs);
  Statement records = db.prepare(kRecords);
  std::set<std::string> taken;  // file names, as a case-blind file system compares them
  // PCs without serial or UUID, by name as GLPI compares it: the first PC's spelling, the numbers.
  std::map<std::string, std::pair<std::string, std::vector<std::string>>> bareNames;
  GlpiPc pc;
  while (pcs.step()) {
    pc.number = pcs.text(0);
    if (const auto it = older.find(pc.number); it != older.end()) {
      result.olderNumbers[it->second].push_back(pc.number);
      continue;
    }
    pc.firstCollectedAt = pcs.text(2);
    pc.os = pcs.text(3);
    pc.osVersion = pcs.text(4);
    pc.tag = tagIndex ? RegisterValue(pcs.text(5), *tagIndex) : std::nullopt;
    pc.cutShort = pcs.integer(7) != 0;
    pc.records.clear();
    records.bind(1, pcs.integer(1));
    while (records.step()) {
      pc.records.push_back(
          {records.text(0), records.text(1), records.text(2), records.text(3), records.text(4), records.integer(5) != 0});
    }
    records.reset();

    // Two numbers may differ only in case or in characters a file name cannot hold.
    const std::string stem = GlpiFileStem(pc.number);
    std::string name = stem + ".json";
    for (int n = 2; !taken.insert(Lower(name)).second; ++n) name = stem + " (" + std::to_string(n) + ").json";

    if (pcs.integer(6) != 0) result.nameless.push_back(pc.number);
    if (pc.cutShort) result.partial.push_back(pc.number);
    const nlohmann::ordered_json inventory = GlpiInventory(pc);
    const auto& content = inventory["content"];
    if (!content["bios"].contains("ssn") && !content["hardware"].contains("uuid")) {
      const std::string name = content["hardware"]["name"].get<std::string>();
      auto& [spelling, numbers] = bareNames[Lower(name)];
      if (numbers.empty()) spelling = name;
      numbers.push_back(pc.number);
    }
    const std::string json = inventory.dump(2) + "\n";
    const fs::path path = dir / PathFromUtf8(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << json;
    out.close();
    if (!out) throw std::runtime_error("書き込めません / cannot write: " + Utf8FromPath(path));
    zip.add(name, json);
    ++result.written;
  }
  zip.close();
  for (auto& [lower, named] : bareNames) {
    if (named.second.size() > 1) result.mergedByName.emplace(named.first, std::move(named.second));
  }
  return result;
}

}  // namespace th::ledger
