#include "ledger/exports/glpi_inventory.h"

#include <map>
#include <string_view>

#include "ledger/text/local_time.h"

#ifndef TALLYHAWK_VERSION
#define TALLYHAWK_VERSION "0"
#endif

namespace th::ledger {

namespace {

using Json = nlohmann::ordered_json;

std::vector<std::string> SplitBlanks(std::string_view s) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t end = std::min(s.find(' ', i), s.size());
    if (end > i) out.emplace_back(s.substr(i, end - i));
    i = end + 1;
  }
  return out;
}

bool IsIpv4(std::string_view s) {
  int parts = 0;
  std::size_t i = 0;
  while (true) {
    std::size_t digits = 0;
    int value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 4) value = value * 10 + (s[i++] - '0'), ++digits;
    if (digits == 0 || digits > 3 || value > 255) return false;
    if (++parts == 4) return i == s.size();
    if (i >= s.size() || s[i++] != '.') return false;
  }
}

bool IsIpv6(std::string_view s) {
  if (s.find(':') == std::string_view::npos) return false;
  for (char c : s) {
    if (!(std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.')) return false;
  }
  return true;
}

std::optional<long long> WholeNumber(std::string_view s) {
  if (s.empty() || s.size() > 15) return std::nullopt;
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

struct Adapter {
  std::string item;  // Adapter, Adapter2...
  std::multimap<std::string, std::string> values;
  bool placeholderMac = false;
};

// The records of one collection, looked up by group, item and subitem. An
// identifier that identifies nothing counts as absent.
class Facts {
 public:
  explicit Facts(const std::vector<StoredRecord>& records) {
    for (const StoredRecord& r : records) {
      if (r.group == "Soft" && r.item == "Application") continue;
      if (r.group == "LAN" && r.item.rfind("Adapter", 0) == 0) {
        if (adapters_.empty() || adapters_.back().item != r.item) adapters_.push_back({r.item, {}});
        adapters_.back().values.emplace(r.subItem, r.contents);
        if (r.subItem == "MACアドレス" && r.placeholder) adapters_.back().placeholderMac = true;
      } else if (r.group == "Hard" && r.item == "CPU" && r.subItem == "NameString") {
        if (!r.contents.empty()) cpus_.push_back(r.contents);
      } else if (!r.contents.empty() && !r.placeholder) {
        first_.emplace(r.group + '\t' + r.item + '\t' + r.subItem, r.contents);
      }
    }
  }
  // The first non-empty value; empty when there is none.
  std::string get(const char* group, const char* item, const char* subItem) const {
    const auto it = first_.find(std::string(group) + '\t' + item + '\t' + subItem);
    return it == first_.end() ? std::string() : it->second;
  }
  const std::vector<Adapter>& adapters() const { return adapters_; }
  const std::vector<std::string>& cpus() const { return cpus_; }

 private:
  std::map<std::string, std::string> first_;
  std::vector<Adapter> adapters_;
  std::vector<std::string> cpus_;
};

std::string AdapterValue(const Adapter& a, const char* subItem) {
  const auto it = a.values.find(subItem);
  return it == a.values.end() ? std::string() : it->second;
}

void Put(Json& object, const char* key, const std::string& value) {
  if (!value.empty()) object[key] = value;
}

// GLPI keeps one agent per deviceid and, when a computer is linked to a new
// one, deletes the computer's other agents. Its own agents form the deviceid
// once, from the host and the time of their first run; here the number and
// its first collection's time, which later collections do not change.
std::string DeviceId(const std::string& number, const std::string& firstCollectedAt) {
  std::string when = firstCollectedAt;
  for (char& c : when) {
    if (c == ' ' || c == ':' || c == '/') c = '-';
  }
  return when.empty() ? number : number + "-" + when;
}

// The computer name; GLPI refuses a computer without one, so a PC whose
// record lacks it goes under its management number.
std::string ComputerName(const Facts& f, const std::string& number) {
  const std::string name = f.get("LAN", "LAN", "コンピュータ名");
  return name.find_first_not_of(' ') == std::string::npos ? number : name;
}

Json Bios(const Facts& f, const std::string& number) {
  Json bios = Json::object();
  Put(bios, "smanufacturer", f.get("WMI", "System", "Vendor"));
  Put(bios, "smodel", f.get("WMI", "System", "Model"));
  Put(bios, "ssn", f.get("WMI", "BIOS", "SerialNo"));
  Put(bios, "bmanufacturer", f.get("WMI", "BIOS", "Vendor"));
  // The firmware's own version is the caption (WMI's SMBIOS version); WMI's
  // Version is the ACPI table's maker and revision (DELL - 1072009).
  Put(bios, "bversion", f.get("WMI", "BIOS", "Caption"));
  std::string date = f.get("WMI", "BIOS", "ReleaseDate");  // yyyy/mm/dd
  if (date.size() == 10 && date[4] == '/' && date[7] == '/') {
    const auto y = WholeNumber(date.substr(0, 4)), m = WholeNumber(date.substr(5, 2)), d = WholeNumber(date.substr(8, 2));
    if (y && m && d && IsRealDay(static_cast<int>(*y), static_cast<int>(*m), static_cast<int>(*d))) {
      date[4] = date[7] = '-';
      bios["bdate"] = date;
    }
  }
  Put(bios, "mmanufacturer", f.get("WMI", "MotherBoard", "Vendor"));
  Put(bios, "mmodel", f.get("WMI", "MotherBoard", "Product"));
  Put(bios, "msn", f.get("WMI", "MotherBoard", "SerialNo"));
  Put(bios, "assettag", number);
  // Secure Boot as Windows reads it without elevation: a firmware that
  // cannot do it is "unsupported"; a fact the record could not read is left out.
  const std::string capable = f.get("Platform", "Firmware", "SecureBootCapable");
  const std::string enabled = f.get("Platform", "Firmware", "SecureBootEnabled");
  if (capable == "0") bios["secure_boot"] = "unsupported";
  else if (enabled == "1") bios["secure_boot"] = "enabled";
  else if (enabled == "0") bios["secure_boot"] = "disabled";
  return bios;
}

// The processor's CPUID signature from Windows' identifier ("Intel64 Family
// 6 Model 158 Stepping 10"; ARM's "Model D4B Revision 0" has a model in hex).
void PutSignature(Json& cpu, const std::string& identifier) {
  const std::vector<std::string> words = SplitBlanks(identifier);
  cpu["description"] = identifier;
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    const auto number = WholeNumber(words[i + 1]);
    if (words[i] == "Family" && number) cpu["familynumber"] = words[i + 1];
    if (words[i] == "Model") cpu["model"] = words[i + 1];
    if (words[i] == "Stepping" && number) cpu["stepping"] = *number;
  }
}

Json Cpus(const Facts& f) {
  Json cpus = Json::array();
  for (const std::string& name : f.cpus()) cpus.push_back(Json{{"name", name}});
  const std::string identifier = f.get("Platform", "CPU", "Identifier");
  if (!identifier.empty()) {
    if (cpus.empty()) cpus.push_back(Json::object());
    for (Json& cpu : cpus) PutSignature(cpu, identifier);  // the first processor's: sockets hold one kind
  }
  return cpus;
}

Json Hardware(const Facts& f, const std::string& number) {
  Json hw = Json::object();
  hw["name"] = ComputerName(f, number);
  // The UUID is recorded in braces; without them the record holds the
  // board's maker and serial instead, which is no UUID.
  const std::string uuid = f.get("WMI", "MotherBoard", "Device_ID");
  if (uuid.size() > 2 && uuid.front() == '{' && uuid.back() == '}') hw["uuid"] = uuid.substr(1, uuid.size() - 2);
  const std::string domain = f.get("LAN", "LAN", "ドメイン");
  Put(hw, "workgroup", domain.empty() ? f.get("LAN", "LAN", "ワークグループ") : domain);
  if (const auto kb = WholeNumber(f.get("Hard", "メモリ", "全容量"))) hw["memory"] = *kb / 1024;
  const std::string user = f.get("LAN", "LAN", "ユーザー名");  // DOMAIN\user
  Put(hw, "lastloggeduser", user.substr(user.rfind('\\') == std::string::npos ? 0 : user.rfind('\\') + 1));
  Put(hw, "description", f.get("LAN", "LAN", "コンピュータの説明"));
  Put(hw, "chassis_type", f.get("WMI", "System", "PC_Type"));
  Put(hw, "winprodid", f.get("Soft", "OS", "ProductID"));
  std::string dns;
  for (const Adapter& a : f.adapters()) {
    for (const char* key : {"PrimaryDNS", "SecondaryDNS"}) {
      const std::string server = AdapterValue(a, key);
      if (!server.empty() && ("/" + dns + "/").find("/" + server + "/") == std::string::npos) {
        dns += (dns.empty() ? "" : "/") + server;
      }
    }
  }
  Put(hw, "dns", dns);
  return hw;
}

Json OperatingSystem(const GlpiPc& pc) {
  Json os = Json::object();
  // The caption is followed by the word size the system reports.
  std::string caption = pc.os;
  static const std::pair<const char*, const char*> kWordSizes[] = {
      {" 64 ビット", "64-bit"}, {" 32 ビット", "32-bit"}, {" 64-bit", "64-bit"}, {" 32-bit", "32-bit"}};
  for (const auto& [suffix, arch] : kWordSizes) {
    const std::string_view s = suffix;
    if (caption.size() > s.size() && caption.compare(caption.size() - s.size(), s.size(), s) == 0) {
      caption.resize(caption.size() - s.size());
      os["arch"] = arch;
      break;
    }
  }
  Put(os, "full_name", caption);
  Put(os, "service_pack", pc.osVersion);
  return os;
}

// GLPI names a port after its description and knows it again by name and
// MAC; a port that matches none is deleted and made anew. The record names
// adapters by their place (Adapter, Adapter2...), which changes when one is
// off, so a port is named after its MAC; a second adapter with the same MAC
// gets " (2)", one without a MAC its place.
Json Networks(const Facts& f) {
  Json networks = Json::array();
  std::map<std::string, int> names;
  for (const Adapter& a : f.adapters()) {
    Json base = Json::object();
    std::string mac = AdapterValue(a, "MACアドレス");
    for (char& c : mac) c = c == '-' ? ':' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string name = mac.empty() ? a.item : mac;
    if (const int n = ++names[name]; n > 1) name += " (" + std::to_string(n) + ")";
    base["description"] = name;
    if (!a.placeholderMac) Put(base, "mac", mac);
    if (const std::string dhcp = AdapterValue(a, "DHCPServer"); IsIpv4(dhcp)) base["ipdhcp"] = dhcp;
    const std::vector<std::string> ips = SplitBlanks(AdapterValue(a, "IPアドレス"));
    const std::vector<std::string> masks = SplitBlanks(AdapterValue(a, "サブネットマスク"));
    const std::string gateway = AdapterValue(a, "ゲートウェイ");
    bool any = false;
    for (std::size_t i = 0; i < ips.size(); ++i) {
      Json n = base;
      // A link-local address carries its zone (fe80::1%4), which GLPI's address check refuses.
      const std::string_view ip6 = std::string_view(ips[i]).substr(0, ips[i].find('%'));
      if (IsIpv4(ips[i])) {
        n["ipaddress"] = ips[i];
        if (i < masks.size() && IsIpv4(masks[i])) n["ipmask"] = masks[i];
        if (IsIpv4(gateway)) n["ipgateway"] = gateway;
      } else if (IsIpv6(ip6)) {
        n["ipaddress6"] = std::string(ip6);
      } else {
        continue;
      }
      networks.push_back(std::move(n));
      any = true;
    }
    if (!any) networks.push_back(std::move(base));
  }
  return networks;
}

Json Softwares(const std::vector<StoredRecord>& records) {
  Json list = Json::array();
  for (const StoredRecord& r : records) {
    if (r.group != "Soft" || r.item != "Application" || r.subItem.empty()) continue;
    Json s = Json::object();
    s["name"] = r.subItem;
    Put(s, "version", r.contents);
    if (UnitIsPublisher(r.unit)) s["publisher"] = r.unit;
    list.push_back(std::move(s));
  }
  return list;
}

}  // namespace

bool UnitIsPublisher(std::string_view unit) {
  if (unit.empty()) return false;
  // An install folder: a drive, a share or a path.
  if (unit.find('\\') != std::string_view::npos || unit.find('/') != std::string_view::npos) return false;
  if (unit.size() >= 2 && unit[1] == ':') return false;
  if (unit.front() == '{' && unit.back() == '}') return false;  // a product code
  // A product ID: digits, capitals and hyphens (00330-80000-00000-AA478), or digits alone.
  bool digit = false, hyphen = false, letter = false;
  for (char c : unit) {
    if (c >= '0' && c <= '9') digit = true;
    else if (c == '-') hyphen = true;
    else if (c >= 'A' && c <= 'Z') letter = true;
    else return true;
  }
  return !(digit && (hyphen || !letter));
}

nlohmann::ordered_json GlpiInventory(const GlpiPc& pc) {
  const Facts facts(pc.records);
  Json content = Json::object();
  content["versionclient"] = "Tallyhawk-Ledger_" TALLYHAWK_VERSION;
  content["bios"] = Bios(facts, pc.number);
  content["hardware"] = Hardware(facts, pc.number);
  if (Json os = OperatingSystem(pc); !os.empty()) content["operatingsystem"] = std::move(os);
  if (Json cpus = Cpus(facts); !cpus.empty()) content["cpus"] = std::move(cpus);
  Json drive = Json::object();
  Put(drive, "letter", facts.get("Hard", "SystemHDD", "Drive"));
  if (const auto total = WholeNumber(facts.get("Hard", "SystemHDD", "全容量"))) drive["total"] = *total;
  if (const auto free = WholeNumber(facts.get("Hard", "SystemHDD", "空容量"))) drive["free"] = *free;
  if (!drive.empty()) {
    drive["systemdrive"] = true;
    content["drives"] = Json::array({drive});
  }
  // GLPI takes the memory from its modules, not from hardware.memory; the
  // record holds the total only, which becomes one module. GLPI files a
  // module under its description and drops one without a capacity.
  if (const auto kb = WholeNumber(facts.get("Hard", "メモリ", "全容量")); kb && *kb >= 1024) {
    content["memories"] = Json::array({Json{{"capacity", *kb / 1024}, {"description", "Total memory"}}});
  }
  if (Json networks = Networks(facts); !networks.empty()) content["networks"] = std::move(networks);
  if (Json softwares = Softwares(pc.records); !softwares.empty()) content["softwares"] = std::move(softwares);

  Json inventory = Json::object();
  inventory["action"] = "inventory";
  inventory["deviceid"] = DeviceId(pc.number, pc.firstCollectedAt);
  inventory["itemtype"] = "Computer";
  // GLPI takes a full inventory as the whole PC and uninstalls what it lacks;
  // a partial one only adds and updates.
  if (pc.cutShort) inventory["partial"] = true;
  if (pc.tag && !pc.tag->empty()) inventory["tag"] = *pc.tag;
  inventory["content"] = std::move(content);
  return inventory;
}

}  // namespace th::ledger
