#include "ledger/collection_summary.h"

namespace th::ledger {

namespace {

bool IsDate(std::string_view s) {  // yyyy/mm/dd
  if (s.size() != 10 || s[4] != '/' || s[7] != '/') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (s[i] < '0' || s[i] > '9') return false;
  }
  return true;
}

bool IsTime(std::string_view s) {  // hh:nn:ss
  if (s.size() != 8 || s[2] != ':' || s[5] != ':') return false;
  for (std::size_t i : {0, 1, 3, 4, 6, 7}) {
    if (s[i] < '0' || s[i] > '9') return false;
  }
  return true;
}

std::string IsoDate(std::string_view date) {
  std::string d(date);
  d[4] = d[7] = '-';
  return d;
}

void First(std::string_view& slot, std::string_view value) {
  if (slot.empty()) slot = value;
}

}  // namespace

std::string JoinBlank(const std::vector<std::string_view>& values) {
  std::string out;
  for (std::string_view v : values) {
    if (!out.empty()) out += ' ';
    out += v;
  }
  return out;
}

CollectionSummary Summarise(const RecordFile& file) {
  CollectionSummary s;
  if (file.rows.empty()) return s;
  const std::string_view renewal = file.rows.front().fields[kRenewalday];
  s.renewalday = IsDate(renewal) ? IsoDate(renewal) : std::string(renewal);
  std::string_view osText;
  for (const RecordRow& row : file.rows) {
    const auto& f = row.fields;
    const std::string_view g = f[kGroup], item = f[kItem], sub = f[kSubItem], v = f[kContents];
    if (g == "Soft" && item == "Application") {
      ++s.applications;
    } else if (g == "Create" && item == "DateTime") {
      if (s.collectedAt.empty() && IsDate(sub) && IsTime(v)) s.collectedAt = IsoDate(sub) + " " + std::string(v);
    } else if (g == "LAN" && item.substr(0, 7) == "Adapter") {
      if (sub == "MACアドレス" && !v.empty()) s.macs.push_back(v);
      if (sub == "IPアドレス" && !v.empty()) s.ips.push_back(v);
    } else if (g == "LAN" && item == "LAN") {
      if (sub == "コンピュータ名") First(s.computerName, v);
      if (sub == "ユーザー名") First(s.userName, v);
    } else if (g == "Soft" && item == "OS" && sub == "Version") {
      First(osText, v);
    } else if (g == "Hard") {
      if (item == "CPU" && sub == "NameString") First(s.cpu, v);
      if (item == "メモリ" && sub == "全容量") First(s.memory, v);
      if (item == "SystemHDD" && sub == "全容量") First(s.systemDiskSize, v);
      if (item == "SystemHDD" && sub == "空容量") First(s.systemDiskFree, v);
      if (item == "Hard Disk" && sub == "合計量") First(s.totalDisk, v);
    } else if (g == "WMI") {
      if (item == "System" && sub == "Vendor") First(s.maker, v);
      if (item == "System" && sub == "Model") First(s.model, v);
      if (item == "System" && sub == "PC_Type") First(s.chassis, v);
      if (item == "MotherBoard" && sub == "SerialNo") First(s.boardSerial, v);
      if (item == "MotherBoard" && sub == "Device_ID") First(s.systemUuid, v);
    } else if (g == "資産" && item == "管理情報") {
      if (sub == "姓") First(s.surname, v);
      if (sub == "名") First(s.givenName, v);
    }
  }
  // "Windows 7 Professional 64-bit (Service Pack 1)": the service pack in
  // parentheses is the version within the OS.
  s.os = osText;
  if (!osText.empty() && osText.back() == ')') {
    const std::size_t open = osText.rfind(" (");
    if (open != std::string_view::npos) {
      s.os = osText.substr(0, open);
      s.osVersion = osText.substr(open + 2, osText.size() - open - 3);
    }
  }
  if (s.collectedAt.empty()) s.collectedAt = s.renewalday;
  const auto& last = file.rows.back().fields;
  s.complete = !file.cutShort && last[kGroup] == "資産" && last[kItem] == "管理情報";
  return s;
}

}  // namespace th::ledger
