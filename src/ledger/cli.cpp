#include "ledger/cli.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <ctime>
#include <filesystem>

#include "ledger/importer.h"
#include "ledger/input_files.h"
#include "ledger/progress_bar.h"
#include "ledger/schema.h"

namespace th::ledger {

namespace {

constexpr const char* kDescription =
    "記録ファイル（<管理番号>.csv）を一つのデータベースに取り込み、点検し、表計算用に書き出します。\n"
    "Imports record files (<number>.csv) into one database, checks them and exports them for spreadsheets.\n";

constexpr const char* kFooter =
    "\nフォルダーは *.csv をサブフォルダーまで探します。取り込みは一つのトランザクションで、\n"
    "同じ内容のファイルを再び取り込んでも何も変わりません。入力ファイルは変更しません。\n"
    "Folders are searched for *.csv recursively. An import is one transaction; importing the\n"
    "same file again changes nothing. Input files are never modified.\n"
    "\n終了コード / Exit status:\n"
    "  0  すべてのファイルを取り込んだ / every file was taken\n"
    "  1  取り込めなかったファイルがある（残りは取り込み済み） / some were rejected (the rest were imported)\n"
    "  2  使い方の誤り、または実行できなかった（データベースは元のまま） /\n"
    "     usage error, or the run could not be done (the database is as it was)\n";

std::string Now(const char* format) {
  const std::time_t t = std::time(nullptr);
  char buf[32];
  std::strftime(buf, sizeof buf, format, std::localtime(&t));
  return buf;
}

void PrintSummary(Database& db, const ImportResult& r, std::ostream& out) {
  out << "読み込んだファイル / files read: " << r.filesRead << "（うち取り込み済み / already imported: "
      << r.alreadyRead << "）\n"
      << "取り込んだファイル / taken: " << r.taken << "\n"
      << "PC: " << r.pcs << "（新規 / new: " << r.newPcs << "、更新 / updated: " << r.updatedPcs << "）\n"
      << "取り込めなかったファイル / rejected: " << r.rejected.size() << "\n";
  for (const Rejection& x : r.rejected) out << "  " << x.path << ": " << x.reason << "\n";
  out << "所見 / findings: " << r.findings << "\n";
  Statement kinds = db.prepare(
      "SELECT k.title, k.title_en, COUNT(*) FROM findings f JOIN finding_kinds k ON k.kind = f.kind"
      " GROUP BY f.kind ORDER BY MIN(f.id)");
  while (kinds.step()) out << "  " << kinds.text(0) << " / " << kinds.text(1) << ": " << kinds.integer(2) << "\n";
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app(kDescription, "tallyhawk-ledger");
  app.footer(kFooter);
  app.set_help_flag("-h,--help", "この説明を表示する / show this help");
  Options o;
  std::string encoding = "utf8";
  int staleDays = 0;
  app.add_option("PATH", o.paths, "記録ファイルまたはフォルダー / record files or folders");
  app.add_option("--db", o.db, "データベースファイル（既定: ledger.sqlite） / database file (default: ledger.sqlite)")
      ->option_text("FILE");
  auto* stale = app.add_option("--stale-days", staleDays,
                               "収集から N 日を超えた PC を所見にする / flag PCs collected more than N days ago")
                    ->check(CLI::NonNegativeNumber)
                    ->option_text("N");
  auto* reg = app.add_option("--register", o.registerFile,
                             "管理番号の台帳（CSV またはテキスト、1行に1番号） / register of expected numbers"
                             " (CSV or text, one per line)")
                  ->check(CLI::ExistingFile)
                  ->option_text("FILE");
  auto* cat = app.add_option("--catalogue", o.catalogueFile,
                             "ソフトウェアのカタログ（CSV または TAB 区切り） / software catalogue (CSV or TAB-separated)")
                  ->check(CLI::ExistingFile)
                  ->option_text("FILE");
  auto* exp = app.add_option("--export", o.exportDir,
                             "pcs.csv, software.csv, installs.csv, licences.csv, changes.csv を書き出すフォルダー / folder for the exports")
                  ->option_text("DIR");
  app.add_option("--encoding", encoding,
                 "書き出しの文字コード: utf8（BOM 付き、既定）または cp932 / exports' encoding: utf8 (with BOM,"
                 " default) or cp932")
      ->check(CLI::IsMember({"utf8", "cp932"}))
      ->option_text("utf8|cp932");

  app.add_option("--report", o.reportFile,
                 "レポートの HTML ファイル（既定: データベースと同じフォルダーの report.html） / the report's HTML"
                 " file (default: report.html beside the database)")
      ->option_text("FILE");
  auto* open = app.add_flag("--open", o.openReport, "レポートを既定のブラウザーで開く / open the report in the default browser");
  app.add_flag("--no-report", o.noReport, "レポートを書かない / write no report")->excludes(open);

  std::vector<std::string> reversed(args.rbegin(), args.rend() - 1);  // CLI11 takes them last first
  try {
    app.parse(reversed);
    if (o.paths.empty() && !*reg && !*cat && !*exp) throw CLI::ValidationError("PATH", "記録ファイルまたはフォルダーを指定してください / give a PATH");
    for (const std::string& p : o.paths) {
      std::error_code ec;
      if (!std::filesystem::exists(PathFromUtf8(p), ec)) {
        throw CLI::ValidationError("PATH", "見つかりません / not found: " + p);
      }
    }
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, out, err);
    return {std::nullopt, code == 0 ? 0 : kUsageError};
  }
  if (*stale) o.staleDays = staleDays;
  o.encoding = encoding == "cp932" ? ExportEncoding::Cp932 : ExportEncoding::Utf8Bom;
  return {o, 0};
}

int RunLedger(const Options& o, platform::CodePage& codePage, std::ostream& out, std::ostream& err,
              bool showProgress) {
  try {
    Database db(o.db);
    ApplySchema(db);
    ImportRequest request;
    request.inputs = o.paths;
    request.startedAt = Now("%Y-%m-%d %H:%M:%S");
    request.checks.today = Now("%Y-%m-%d");
    request.checks.staleDays = o.staleDays;
    if (o.registerFile) {
      std::string bytes;
      if (!ReadWholeFile(PathFromUtf8(*o.registerFile), bytes)) throw std::runtime_error("台帳を読めません / cannot read the register");
      request.registerList = ParseRegister(bytes, codePage);
    }
    if (o.catalogueFile) {
      std::string bytes;
      if (!ReadWholeFile(PathFromUtf8(*o.catalogueFile), bytes)) {
        throw std::runtime_error("カタログを読めません / cannot read the catalogue");
      }
      request.catalogue = ParseCatalogue(bytes, codePage);
      for (const std::string& p : request.catalogue->problems) err << "カタログ / catalogue " << p << "\n";
    }
    ProgressBar bar(err);
    if (showProgress) request.progress = [&](std::size_t done, std::size_t total) { bar.update(done, total); };
    const ImportResult result = Import(db, codePage, request);
    bar.finish();
    PrintSummary(db, result, out);
    out << "データベース / database: " << o.db << "\n";
    if (o.exportDir) {
      WriteExports(db, PathFromUtf8(*o.exportDir), o.encoding, codePage);
      out << "書き出し / exported: " << *o.exportDir << "\n";
    }
    return result.rejected.empty() ? kAllTaken : kSomeRejected;
  } catch (const std::exception& e) {
    err << "tallyhawk-ledger: " << e.what() << "\n";
    return kUsageError;
  }
}

}  // namespace th::ledger
