#include "ledger/report/report.h"

#include <fstream>
#include <new>
#include <stdexcept>
#include <string_view>

#include "ledger/report/report_page.h"

namespace th::ledger {
namespace {

// Writes the template with each marker replaced by its part, in the order the
// markers appear; the data is streamed, never scanned for markers.
void WritePage(sqlite3* db, const ReportOptions& options, std::ostream& out) {
  std::string_view page = kReportHtml;
  const auto copyUntil = [&](std::string_view marker) {
    const std::size_t at = page.find(marker);
    if (at == std::string_view::npos) throw std::logic_error("report template lacks " + std::string(marker));
    out.write(page.data(), static_cast<std::streamsize>(at));
    page.remove_prefix(at + marker.size());
  };
  copyUntil("@@CSS@@");
  out << kReportCss;
  copyUntil("@@DATA@@");
  WriteReportData(db, options, out);
  copyUntil("@@JS@@");
  out << kReportJs;
  out << page;
}

}  // namespace

void WriteReport(sqlite3* db, const std::filesystem::path& file, const ReportOptions& options) {
  std::filesystem::path partial = file;
  partial += ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + partial.string());
    // A page cut short is not left behind: the database's errors (DbError),
    // a failed write, the template's own fault, memory exhausted.
    const auto discard = [&] {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(partial, ignored);
    };
    try {
      WritePage(db, options, out);
      out.close();
      if (!out) throw std::runtime_error("cannot write " + partial.string());
    } catch (const std::runtime_error&) {
      discard();
      throw;
    } catch (const std::logic_error&) {
      discard();
      throw;
    } catch (const std::bad_alloc&) {
      discard();
      throw;
    }
  }
  std::filesystem::rename(partial, file);
}

}  // namespace th::ledger
