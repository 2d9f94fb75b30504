#include "ledger/records/collection_summary.h"

#include <cstdio>

#include "ledger/text/local_time.h"

namespace th::ledger {

namespace {

// Digits only, 1 to `max` of them; -1 otherwise.
int Number(std::string_view s, std::size_t max) {
  if (s.empty() || s.size() > max) return -1;
  int n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// Splits "a<sep>b<sep>c" into three numbers of at most `max[i]` digits.
bool Three(std::string_view s, char sep, const std::size_t (&max)[3], int (&out)[3]) {
  for (int i = 0; i < 3; ++i) {
    const std::size_t at = i < 2 ? s.find(sep) : s.size();
    if (at == std::string_view::npos) return false;
    out[i] = Number(s.substr(0, at), max[i]);
    if (out[i] < 0) return false;
    s.remove_prefix(i < 2 ? at + 1 : at);
  }
  return true;
}

}  // namespace

std::optional<std::string> ParseDate(std::string_view date) {
  int d[3];
  if (!Three(date, '/', {4, 2, 2}, d) || date.size() < 8 || d[0] < 1900 || !IsRealDay(d[0], d[1], d[2])) {
    return std::nullopt;
  }
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d[0], d[1], d[2]);
  return std::string(buf);
}

std::optional<std::string> ParseTime(std::string_view time) {
  int t[3];
  if (!Three(time, ':', {2, 2, 2}, t) || t[0] > 23 || t[1] > 59 || t[2] > 59) return std::nullopt;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t[0], t[1], t[2]);
  return std::string(buf);
}

namespace {

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
  const std::optional<std::string> renewalDate = ParseDate(renewal);
  s.renewalday = renewalDate ? *renewalDate : std::string(renewal);
  bool dated = false;
  std::string_view osText;
  for (const RecordRow& row : file.rows) {
    const auto& f = row.fields;
    const std::string_view g = f[kGroup], item = f[kItem], sub = f[kSubItem], v = f[kContents];
    if (sub.size() > kCellChars || v.size() > kCellChars || f[kUnit].size() > kCellChars) s.longValue = true;
    if (g == "Soft" && item == "Application") {
      ++s.applications;
    } else if (g == "Create" && item == "DateTime") {
      if (!dated) {  // the first such record decides, readable or not
        dated = true;
        const auto day = ParseDate(sub);
        const auto time = ParseTime(v);
        if (day && time) s.collectedAt = *day + " " + *time;
      }
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
      if (item == "BIOS" && sub == "SerialNo") First(s.biosSerial, v);
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
  if (!dated && renewalDate) s.collectedAt = *renewalDate;
  const auto& last = file.rows.back().fields;
  s.complete = !file.cutShort && last[kGroup] == "資産" && last[kItem] == "管理情報";
  return s;
}

}  // namespace th::ledger
