#include "ledger/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>

#include "ledger/exports/glpi_export.h"
#include "ledger/import/importer.h"
#include "ledger/records/input_files.h"
#include "ledger/text/local_time.h"
#include "ledger/progress_bar.h"
#include "ledger/store/finding_kinds.h"
#include "ledger/store/schema.h"
#include "ledger/exports/xlsx_export.h"

namespace th::ledger {

namespace fs = std::filesystem;

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
    "  0  すべてのファイルを取り込み、対応の要る所見はない /\n"
    "     every file was taken, no finding needs attention\n"
    "  1  取り込めなかったファイルがある（残りは取り込み済み） / some were rejected (the rest were imported)\n"
    "  2  使い方の誤り、または実行できなかった（データベースは元のまま） /\n"
    "     usage error, or the run could not be done (the database is as it was)\n"
    "  3  取り込みは済んだが、書き出しまたはレポートを書けなかった /\n"
    "     the import was kept, but an export or the report could not be written\n"
    "  4  すべて取り込み書き出したが、対応の要る所見がある（要対応）: 取り込めなかったファイル、\n"
    "     途中で切れた記録ファイル、ファイル名と管理番号の違い、形式の正しくない管理番号、\n"
    "     一つの管理番号を複数のPCが報告、現行より新しい退避ファイル、読めないまたは取り込みより後の\n"
    "     収集日時、カタログの読めない値 /\n"
    "     all taken and written, but findings need attention (marked in the summary): a file not\n"
    "     imported, a record file cut short, a file name differing from its Key, a number of the\n"
    "     wrong shape, one number reported by two PCs, a set-aside file newer than the current one,\n"
    "     a collection date unreadable or after the import, a catalogue value unreadable\n"
    "  複数当てはまるときは 2、3、1、4 の順 / when several hold: 2, then 3, then 1, then 4\n";

// SQLite's messages that administrators meet, in Japanese too.
std::string Bilingual(const std::string& message) {
  static const std::pair<const char*, const char*> known[] = {
      {"database is locked", "データベースは別のプログラムが使用中です"},
      {"file is not a database", "データベースのファイルではありません"},
      {"unable to open database file", "データベースのファイルを開けません"},
      {"disk I/O error", "ディスクの読み書きに失敗しました"},
      {"database or disk is full", "ディスクがいっぱいです"},
  };
  for (const auto& [en, ja] : known) {
    if (message.find(en) != std::string::npos) return std::string(ja) + " / " + message;
  }
  return message;
}

// Settings remembered between runs, in meta.
std::optional<std::string> Setting(Database& db, const char* key) {
  Statement s = db.prepare("SELECT value FROM meta WHERE key = ?");
  s.bind(1, key);
  if (!s.step()) return std::nullopt;
  return s.text(0);
}

void RememberStaleDays(Database& db, const Options& o, CheckOptions& checks) {
  if (o.staleDays && *o.staleDays < 0) {
    db.prepare("DELETE FROM meta WHERE key = 'stale_days'").run();
  } else if (o.staleDays) {
    const std::string days = std::to_string(*o.staleDays);
    db.prepare("INSERT OR REPLACE INTO meta(key, value) VALUES('stale_days', ?)").bind(1, days).run();
  }
  if (const auto days = Setting(db, "stale_days")) checks.staleDays = std::stoi(*days);
}

void PrintSummary(Database& db, const ImportResult& r, const std::vector<std::string>& attention, std::ostream& out) {
  out << "読み込んだファイル / files read: " << r.filesRead << "（うち取り込み済み / already imported: "
      << r.alreadyRead << "）\n"
      << "取り込んだファイル / taken: " << r.taken << "\n"
      << "PC: " << r.pcs << "（新規 / new: " << r.newPcs << "、更新 / updated: " << r.updatedPcs << "）\n"
      << "取り込めなかったファイル / rejected: " << r.rejected.size() << "\n";
  for (const Rejection& x : r.rejected) out << "  " << x.path << ": " << x.reason << "\n";
  if (r.gone > 0) out << "見つからなくなったファイル / files gone: " << r.gone << "\n";
  if (r.forgotten > 0) out << "除いた収集 / collections forgotten: " << r.forgotten << "\n";
  out << "所見 / findings: " << r.findings << "\n";
  Statement kinds = db.prepare(
      "SELECT k.title, k.title_en, COUNT(*), f.kind FROM findings f JOIN finding_kinds k ON k.kind = f.kind"
      " GROUP BY f.kind ORDER BY MIN(f.id)");
  while (kinds.step()) {
    const bool needed = std::find(attention.begin(), attention.end(), kinds.text(3)) != attention.end();
    out << "  " << kinds.text(0) << " / " << kinds.text(1) << ": " << kinds.integer(2)
        << (needed ? "（要対応 / needs attention）" : "") << "\n";
  }
}

void WriteWorkbookAndSay(Database& db, const std::string& path, std::ostream& out) {
  for (const std::string& note : WorkbookNotes(WriteWorkbook(db, path))) out << note << "\n";
}

std::string Listed(const std::vector<std::string>& numbers) {
  std::string listed;
  for (std::size_t i = 0; i < numbers.size() && i < 5; ++i) listed += (i ? " " : "") + numbers[i];
  if (numbers.size() > 5) listed += " … (" + std::to_string(numbers.size()) + ")";
  return listed;
}

// What GLPI will make of the files, PC by PC where it differs from what was written.
void SayGlpi(const GlpiExport& glpi, const std::string& dir, std::ostream& out) {
  std::size_t merged = 0;
  for (const auto& [name, numbers] : glpi.mergedByName) merged += numbers.size() - 1;
  out << "GLPI: " << glpi.written << " 台を書き出しました";
  if (merged > 0) out << "（GLPI では " << glpi.written - merged << " 台）";
  out << " / " << glpi.written << " PCs written";
  if (merged > 0) out << " (" << glpi.written - merged << " in GLPI)";
  out << ": " << dir << "\n";
  for (const auto& [current, other] : glpi.olderNumbers) {
    out << "  " << current << ": 同じPC（同じUUID）の別の管理番号 " << Listed(other) << " は送りません / the same PC's"
        << " other numbers (same UUID) not sent: " << Listed(other) << "\n";
  }
  for (const auto& [name, numbers] : glpi.mergedByName) {
    out << "  " << name << ": " << Listed(numbers) << " はシリアル番号も UUID もなく名前が同じため、GLPI では1台にまとめられます"
        << " / no serial or UUID and the same name: GLPI makes them one computer\n";
  }
  for (const std::string& number : glpi.partial) {
    out << "  " << number << ": 記録ファイルが途中で切れているため、部分インベントリとして送ります（欠けたソフトウェアは GLPI"
        << " から削除されません） / record file cut short: sent as a partial inventory (software missing from it is"
        << " not removed in GLPI)\n";
  }
  for (const std::string& number : glpi.nameless) {
    out << "  " << number << ": コンピュータ名がないため管理番号を名前として送ります / no computer name: sent with"
        << " its management number as name\n";
  }
}

// A file option's check. Every path goes through PathFromUtf8: CLI11's own
// checks use the narrow file API, which on Windows cannot reach a path whose
// characters the ANSI code page lacks.
CLI::Validator ExistingFile(const std::string& ja, const std::string& en) {
  return CLI::Validator(
      [ja, en](std::string& f) {
        std::error_code ec;
        return fs::is_regular_file(PathFromUtf8(f), ec) ? std::string() : ja + "が見つかりません / " + en + " not found: " + f;
      },
      "FILE");
}

// Paths are printed as the administrator can find them again, whatever the
// current folder was.
void MakeAbsolute(std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(PathFromUtf8(path), ec);
  if (!ec) path = Utf8FromPath(absolute.lexically_normal());
}
void MakeAbsolute(std::optional<std::string>& path) {
  if (path) MakeAbsolute(*path);
}

// CLI11's own words in the help and in its errors, in Japanese first.
void TranslateHelp(CLI::App& app) {
  const auto formatter = app.get_formatter();
  formatter->label("Usage", "使い方 / Usage");
  formatter->label("OPTIONS", "オプション / OPTIONS");
  formatter->label("Positionals", "引数 / Arguments");
  formatter->label("Excludes", "併用不可 / excludes");
  formatter->label("Needs", "必要 / needs");
  formatter->label("REQUIRED", "必須 / required");
  app.option_defaults()->group("オプション / Options");
}

std::string UsageErrorText(const CLI::ParseError& e) {
  if (dynamic_cast<const CLI::ExtrasError*>(&e)) return "知らないオプションまたは引数です / " + std::string(e.what());
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) return "値がありません / " + std::string(e.what());
  if (dynamic_cast<const CLI::ExcludesError*>(&e)) return "一緒に指定できません / " + std::string(e.what());
  if (dynamic_cast<const CLI::RequiresError*>(&e)) return "ほかのオプションが必要です / " + std::string(e.what());
  const std::string what = e.what();  // the ledger's own checks are bilingual already; CLI11's are not
  return what.find(" / ") == std::string::npos ? "値が正しくありません / " + what : what;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                                   const std::string& defaultDb) {
  CLI::App app(kDescription, "tallyhawk-ledger");
  TranslateHelp(app);
  app.footer(kFooter);
  app.set_help_flag("-h,--help", "この説明を表示する / show this help");
  app.set_version_flag("--version", "tallyhawk-ledger " TALLYHAWK_VERSION,
                       "バージョンを表示する / show the version");
  Options o;
  o.db = defaultDb;
  std::string encoding = "utf8";
  std::string staleDays;
  app.add_option("PATH", o.paths, "記録ファイルまたはフォルダー / record files or folders")->type_name("");
  app.add_option("--db", o.db, "データベースファイル（既定: ledger.sqlite） / database file (default: ledger.sqlite)")
      ->option_text("FILE");
  auto* stale = app.add_option("--stale-days", staleDays,
                               "収集から N 日を超えた PC を所見にする（覚えておく。off でやめる） / flag PCs collected"
                               " more than N days ago (remembered; off to stop)")
                    ->check(CLI::NonNegativeNumber | CLI::IsMember({"off"}))
                    ->option_text("N|off");
  app.add_option("--forget", o.forget,
                 "この管理番号の収集をデータベースから除く / remove this number's collections from the database")
      ->option_text("NUMBER");
  app.add_flag("--settings", o.showSettings, "覚えている設定を表示する / show the remembered settings");
  auto* reg = app.add_option("--register", o.registerFile,
                             "管理番号の台帳（CSV またはテキスト、1行に1番号） / register of expected numbers"
                             " (CSV or text, one per line)")
                  ->check(ExistingFile("台帳", "register"))
                  ->option_text("FILE");
  auto* cat = app.add_option("--catalogue", o.catalogueFile,
                             "ソフトウェアのカタログ（CSV または TAB 区切り） / software catalogue (CSV or TAB-separated)")
                  ->check(ExistingFile("カタログ", "catalogue"))
                  ->option_text("FILE");
  auto* prices = app.add_option("--prices", o.pricesFile,
                                "Windows 11 移行の単価表（区分,単価） / the Windows 11 plan's price list (category,price)")
                    ->check(ExistingFile("単価表", "price list"))
                    ->option_text("FILE");
  auto* exp = app.add_option("--export", o.exportDir,
                             "pcs.csv, software.csv, installs.csv, findings.csv, licences.csv, licence_installs.csv,"
                             " changes.csv, win11.csv と"
                             " inventory.xlsx を書き出すフォルダー / folder for the exports")
                  ->option_text("DIR");
  auto* xlsx = app.add_option("--xlsx", o.xlsxFile, "Excel ブックだけを書き出す / write the Excel workbook alone")
                   ->option_text("FILE");
  auto* glpi = app.add_option("--glpi", o.glpiDir,
                              "GLPI のインベントリ（PC ごとの JSON と glpi-inventory.zip）を書き出すフォルダー /"
                              " folder for the GLPI inventory (one JSON per PC and glpi-inventory.zip)")
                   ->option_text("DIR");
  app.add_option("--glpi-tag", o.glpiTag, "GLPI のタグにする台帳の列（例: 部署） / register column for the GLPI tag")
      ->option_text("COLUMN")
      ->needs(glpi);
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
    if (o.paths.empty() && !*reg && !*cat && !*prices && !*exp && !*xlsx && !*glpi && o.forget.empty() && !o.showSettings &&
        !*stale) {
      throw CLI::ValidationError("PATH", "記録ファイルまたはフォルダーを指定してください / give a PATH");
    }
    for (const std::string& p : o.paths) {
      std::error_code ec;
      if (!std::filesystem::exists(PathFromUtf8(p), ec)) {
        throw CLI::ValidationError("PATH", "見つかりません / not found: " + p);
      }
    }
  } catch (const CLI::CallForVersion& e) {
    out << e.what() << "\n";
    return {std::nullopt, 0};
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {
      app.exit(e, out, err);
      return {std::nullopt, 0};
    }
    err << "tallyhawk-ledger: 使い方が正しくありません / " << UsageErrorText(e) << "\n"
        << "--help で使い方を表示します / --help shows the usage\n";
    return {std::nullopt, kUsageError};
  }
  if (*stale) o.staleDays = staleDays == "off" ? -1 : std::stoi(staleDays);
  o.encoding = encoding == "cp932" ? ExportEncoding::Cp932 : ExportEncoding::Utf8Bom;
  MakeAbsolute(o.db);
  for (std::optional<std::string>* path : {&o.exportDir, &o.xlsxFile, &o.glpiDir, &o.reportFile}) MakeAbsolute(*path);
  return {o, 0};
}

ParsedCommandLine ParseExplorerStart(const std::vector<std::string>& args, const std::string& programFolder,
                                     std::ostream& out, std::ostream& err) {
  const std::string db = Utf8FromPath(PathFromUtf8(programFolder) / "ledger.sqlite");
  if (args.size() > 1) {
    ParsedCommandLine parsed = ParseCommandLine(args, out, err, db);
    if (parsed.options) parsed.options->openReport = !parsed.options->noReport;
    return parsed;
  }
  // A double-click: what to drop, and the report of the database already there.
  // Lines that fit a console 80 columns wide.
  out << "記録ファイルのフォルダー（SAVE）を、このプログラムのアイコンに\n"
         "ドラッグ＆ドロップしてください。データベース（ledger.sqlite）と\n"
         "レポート（report.html）は、このプログラムと同じフォルダーに置きます:\n"
         "Drop the folder of record files (SAVE) onto this program's icon.\n"
         "The database (ledger.sqlite) and the report (report.html) are kept\n"
         "in the program's folder:\n"
      << programFolder << "\n\n";
  std::error_code ec;
  if (!fs::is_regular_file(PathFromUtf8(db), ec)) return {std::nullopt, kUsageError};
  Options o;
  o.db = db;
  o.openReport = true;
  return {o, kAllTaken};
}

int RunLedger(const Options& o, platform::CodePage& codePage, std::ostream& out, std::ostream& err,
              bool showProgress, TakenRecords* taken) {
  std::optional<Database> db;
  ImportResult result;
  std::vector<std::string> attention;
  try {
    db.emplace(o.db);
    ApplySchema(*db);
    ImportRequest request;
    request.inputs = o.paths;
    request.forget = o.forget;
    request.keep = taken;
    if (o.exportDir) request.excluded.push_back(PathFromUtf8(*o.exportDir));
    const std::time_t now = std::time(nullptr);  // one instant: the day cannot turn in between
    request.startedAt = LocalTimeText(now);
    request.checks.today = LocalTimeText(now, "%Y-%m-%d");
    if (o.registerFile) {
      std::string bytes;
      if (!ReadWholeFile(PathFromUtf8(*o.registerFile), bytes)) throw std::runtime_error("台帳を読めません / cannot read the register");
      request.registerList = ParseRegister(bytes, codePage);
      for (const std::string& note : RegisterNotes(*request.registerList)) err << "tallyhawk-ledger: " << note << "\n";
      if (request.registerList->rows.empty()) {
        err << "tallyhawk-ledger: 台帳に管理番号の形の行がありません / no line of the register is a management number\n";
      }
    }
    if (o.catalogueFile) {
      std::string bytes;
      if (!ReadWholeFile(PathFromUtf8(*o.catalogueFile), bytes)) {
        throw std::runtime_error("カタログを読めません / cannot read the catalogue");
      }
      request.catalogue = ParseCatalogue(bytes, codePage);
      request.catalogue->file = Utf8FromPath(PathFromUtf8(*o.catalogueFile).filename());
      for (const CatalogueProblem& p : request.catalogue->problems) err << "カタログ / catalogue " << ProblemText(p) << "\n";
    }
    if (o.pricesFile) {
      std::string bytes;
      if (!ReadWholeFile(PathFromUtf8(*o.pricesFile), bytes)) throw std::runtime_error("単価表を読めません / cannot read the price list");
      request.prices = ParsePriceList(bytes, codePage);
      for (const PriceProblem& p : request.prices->problems) err << "単価表 / price list " << PriceProblemText(p) << "\n";
    }
    ProgressBar bar(err);
    if (showProgress) request.progress = [&](std::size_t done, std::size_t total) { bar.update(done, total); };
    {
      Transaction tx(*db);  // the setting and the import stand or fall together
      RememberStaleDays(*db, o, request.checks);
      result = Import(*db, codePage, request);
      tx.commit();
    }
    bar.finish();
    attention = KindsNeedingAttention(*db);
    PrintSummary(*db, result, attention, out);
    out << "データベース / database: " << o.db << "\n";
    if (o.showSettings) {
      const auto days = Setting(*db, "stale_days");
      out << "設定 / settings:\n  --stale-days " << (days ? *days : "off") << "\n";
    }
  } catch (const std::runtime_error& e) {  // DbError, a file unreadable or unwritable
    err << "tallyhawk-ledger: " << Bilingual(e.what()) << "\n";
    return kUsageError;
  }
  try {
    if (o.exportDir) {
      WriteExports(*db, PathFromUtf8(*o.exportDir), o.encoding, codePage);
      WriteWorkbookAndSay(*db, Utf8FromPath(PathFromUtf8(*o.exportDir) / "inventory.xlsx"), out);
      out << "書き出し / exported: " << *o.exportDir << "\n";
    }
    if (o.xlsxFile) {
      WriteWorkbookAndSay(*db, *o.xlsxFile, out);
      out << "書き出し / exported: " << *o.xlsxFile << "\n";
    }
    if (o.glpiDir) {
      SayGlpi(WriteGlpiInventory(*db, PathFromUtf8(*o.glpiDir), o.glpiTag), *o.glpiDir, out);
    }
  } catch (const std::runtime_error& e) {  // DbError, a folder or file unwritable
    err << "tallyhawk-ledger: 書き出せません（取り込みは済んでいます） / cannot export (the import was kept): "
        << Bilingual(e.what()) << "\n";
    return kOutputFailed;
  }
  if (!result.rejected.empty()) return kSomeRejected;
  return attention.empty() ? kAllTaken : kNeedsAttention;
}

}  // namespace th::ledger
