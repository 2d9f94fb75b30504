// The report written from the records the import handed over is the one
// read back from the database, byte for byte, whichever of a PC's
// collections the run took: none, the current one, the previous one, both,
// or only an older one.
#include <fstream>
#include <sstream>

#include "ledger/report/report.h"
#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(LedgerTest, ReportFromTheImportsRecordsIsTheOneReadBack) {
  const std::vector<std::string> apps = {"Alpha Tool,1.2,Alpha Works", "Beta Viewer,5.0,"};
  const std::vector<std::vector<Pc>> runs = {
      // 0001 twice in one run: its previous collection taken too.
      {{.key = "abc-05-0001", .date = "2026/11/01", .records = {"Hard,メモリ,全容量,8388608,KB"}},
       {.key = "abc-05-0001", .date = "2026/12/01", .software = apps, .records = {"Hard,メモリ,全容量,16777216,KB"}},
       {.key = "abc-05-0002", .computer = "PC-BETA", .uuid = "{2222}", .mac = "00-1A-2B-3C-4D-02"}},
      // 0001's previous from the first run, 0002 only read back (an older file of it taken), 0003 new.
      {{.key = "abc-05-0001", .date = "2026/12/03", .software = {apps[1]}},
       {.key = "abc-05-0002", .date = "2026/10/01", .computer = "PC-OLD"},
       {.key = "abc-05-0003", .computer = "PC-GAMMA", .software = {apps[1], "Gamma,1,G"}}},
      {},  // nothing taken: every record read back
  };
  for (std::size_t run = 0; run < runs.size(); ++run) {
    for (const Pc& pc : runs[run]) write(pc, pc.key + "-" + pc.date.substr(5, 2) + pc.date.substr(8) + ".csv");
    TakenRecords taken;
    ImportRequest request;
    request.keep = &taken;
    import(request);
    // Each collection taken, as it is stored; those of earlier runs not.
    const auto listed = [&](std::int64_t id, bool expected) {
      const std::vector<int>* list = taken.Find(id);
      EXPECT_EQ(list != nullptr, expected) << run << " " << id;
      std::string text;
      for (std::size_t i = 0; list && i < list->size(); ++i) {
        const Record r = taken.records.Get((*list)[i]);
        text += (i ? "\n" : "") + r.grp + "|" + r.item + "|" + r.subitem + "|" + r.contents + "|" + r.unit;
      }
      if (list) {
        EXPECT_EQ(text, query("SELECT grp, item, subitem, contents, unit FROM records WHERE collection_id = " +
                              std::to_string(id) + " ORDER BY line"));
      }
    };
    const std::string collections = "SELECT c.id, f.import_id = (SELECT max(id) FROM imports), c.id IN"
                                    " (SELECT collection_id FROM pcs) FROM collections c JOIN files f ON f.id = c.file_id";
    Statement each = db().prepare(collections);
    while (each.step()) listed(each.integer(0), !runs[run].empty() && each.integer(1));

    WriteReport(db().get(), dir / "read_back.html", {"2026-12-07 12:00:00"});
    WriteReport(db().get(), dir / "handed.html", {"2026-12-07 12:00:00", &taken});
    EXPECT_TRUE(ReadFile(dir / "read_back.html") == ReadFile(dir / "handed.html")) << run;
    // The current collections' lists were handed over and are no longer held.
    Statement after = db().prepare(collections);
    while (after.step()) listed(after.integer(0), !runs[run].empty() && after.integer(1) && !after.integer(2));
  }
}

}  // namespace
}  // namespace th::ledger::test
