#include "ledger/report/win11_data.h"

#include <map>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "ledger/store/win11_plan.h"

namespace th::ledger {

namespace {

void OptionalNumber(JsonWriter& w, const std::optional<double>& v) {
  if (!v) {
    w.Null();
    return;
  }
  // Tenths of a GiB are all a reader needs; the page divides by ten.
  w.Int(static_cast<std::int64_t>(*v * 10 + 0.5));
}

void OptionalInt(JsonWriter& w, const std::optional<long long>& v) {
  if (v) w.Int(*v);
  else w.Null();
}

void Group(JsonWriter& w, const Win11Group& g) {
  w.BeginArray().String(g.key).Int(g.pcs).BeginArray();
  for (int n : g.byVerdict) w.Int(n);
  w.EndArray().Int(g.costYen).Int(g.unpriced).Int(g.esuPcs).EndArray();
}

}  // namespace

void WriteWin11Data(sqlite3* db, const std::vector<std::string>& numbers, JsonWriter& w) {
  Database borrowed(db);
  w.Key("win11").BeginObject().Key("verdicts").BeginArray();
  for (const char* v : kWin11Verdicts) w.String(v);
  w.EndArray();

  // [verdict index, reasons, action, basis, TPM, firmware, Secure Boot,
  //  memory (tenths of GiB), memory estimated, system drive (tenths of GiB),
  //  OS version, cost, cost note, ESU, form, maker, model]
  using Profile = std::tuple<int, std::string, std::string, std::string, std::string, std::string, std::string,
                             std::optional<double>, bool, std::optional<double>, std::string, std::optional<long long>,
                             std::string, bool, std::string, std::string, std::string>;
  std::map<Profile, int> profiles;
  std::vector<const Profile*> order;
  std::unordered_map<std::string, int> profileOf;
  for (const Win11PlanRow& r : ReadWin11Plan(borrowed)) {
    Profile p{Win11VerdictIndex(r.verdict), r.reasons, r.action, r.basis, r.tpm, r.firmware, r.secureBoot, r.memoryGb,
              r.memoryEstimated, r.systemDriveGb, r.osVersion, r.costYen, r.costNote, r.esu, r.form, r.maker, r.model};
    const auto [it, added] = profiles.emplace(std::move(p), static_cast<int>(order.size()));
    if (added) order.push_back(&it->first);
    profileOf.emplace(r.number, it->second);
  }
  w.Key("profiles").BeginArray();
  for (const Profile* p : order) {
    const auto& [verdict, reasons, action, basis, tpm, firmware, secureBoot, memory, estimated, drive, osVersion, cost,
                 note, esu, form, maker, model] = *p;
    w.BeginArray().Int(verdict).String(reasons).String(action).String(basis).String(tpm).String(firmware).String(secureBoot);
    OptionalNumber(w, memory);
    w.Bool(estimated);
    OptionalNumber(w, drive);
    w.String(osVersion);
    OptionalInt(w, cost);
    w.String(note).Bool(esu).String(form).String(maker).String(model).EndArray();
  }
  w.EndArray();
  w.Key("pcs").BeginArray();
  for (const std::string& number : numbers) {
    const auto it = profileOf.find(number);
    w.Int(it == profileOf.end() ? -1 : it->second);
  }
  w.EndArray();

  const Win11Totals t = ReadWin11Totals(borrowed);
  w.Key("totals").BeginObject().Key("all");
  Group(w, t.all);
  for (const auto& [key, groups] : {std::pair{"byVerdict", &t.byVerdict}, std::pair{"byDepartment", &t.byDepartment},
                                    std::pair{"byModel", &t.byModel}}) {
    w.Key(key).BeginArray();
    for (const Win11Group& g : *groups) Group(w, g);
    w.EndArray();
  }
  w.Key("departmentColumn").String(t.departmentColumn).Key("esuYen").BeginArray();
  for (const auto& yen : t.esuYen) OptionalInt(w, yen);
  w.EndArray().EndObject();

  w.Key("prices").BeginArray();
  for (const Win11Price& p : ReadWin11Prices(borrowed)) w.BeginArray().String(p.category).Int(p.yen).EndArray();
  w.EndArray().EndObject();
}

}  // namespace th::ledger
