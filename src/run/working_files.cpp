#include "run/working_files.h"

#include "platform/failure.h"
#include "support/guard.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/random_name.h"
#include "support/text.h"

namespace th {

namespace {

// A name already taken is a collision of 64 random bits or a folder someone
// made to catch the run: a few fresh names are plenty either way.
constexpr int kNameTries = 8;

WorkingFiles FilesIn(const std::string& parent, const std::string& unique) {
  WorkingFiles files;
  files.folder = parent + "TH-" + unique + "\\";
  files.trustLevel = files.folder + "TrustLevel.CMD";
  files.runas = files.folder + "Runas.CMD";
  files.regScan = files.folder + "RegScan.CMD";
  files.dump = files.folder + "TH_reg.TxT";
  files.taskName = "TH_tmp_task_" + unique;
  return files;
}

// Full control ("FA") for the user, SYSTEM ("SY") and the administrators
// ("BA"); "P": protected, nothing inherited from above.
std::string PrivateAccess(const std::string& userSid, const std::string& aceFlags) {
  return "O:" + userSid + "D:P(A;" + aceFlags + ";FA;;;" + userSid + ")(A;" + aceFlags + ";FA;;;SY)(A;" + aceFlags +
         ";FA;;;BA)";
}

}  // namespace

std::string PrivateFolderAccess(const std::string& userSid) { return PrivateAccess(userSid, "OICI"); }
std::string PrivateFileAccess(const std::string& userSid) { return PrivateAccess(userSid, ""); }

bool OpenToOthers(const std::string& access, const std::string& userSid) {
  // "D:" and its flags, then the entries: "(type;flags;rights;;;SID)". What
  // counts is who the entries let in, inherited ones included; no list at
  // all ("D:NO_ACCESS_CONTROL") lets everyone in.
  const std::size_t first = access.find('(');
  if (!StartsWith(access, "D:") || access.find("NO_ACCESS_CONTROL") != std::string::npos) return true;
  if (first == std::string::npos) return false;  // an empty list: nobody at all
  for (std::size_t at = first; at < access.size();) {
    const std::size_t end = access.find(')', at);
    if (access[at] != '(' || end == std::string::npos) return true;  // not read: not taken for private
    const std::string entry = access.substr(at + 1, end - at - 1);
    const std::string type = entry.substr(0, entry.find(';'));
    const std::string sid = entry.substr(entry.rfind(';') + 1);
    // Entries that deny or audit give nobody access; every other kind is an allowing one.
    const bool allows = type != "D" && type != "OD" && type != "AU" && type != "OU";
    if (allows && sid != userSid && sid != "SY" && sid != "BA") return true;
    at = end + 1;
  }
  return false;
}

platform::FileValue<std::unique_ptr<platform::Hold>> HoldOwn(platform::Platform& os, const std::string& path,
                                                             const std::string& userSid,
                                                             const std::string* expected) {
  auto held = os.fs.hold(path);
  if (!held.done()) return held;
  const std::string access = held.value->access();
  if (access == platform::kNoAccessList) {
    return {{platform::FileResult::kDenied, "アクセス権を保てないドライブ (FAT、exFAT など) にあります。"}, nullptr};
  }
  if (OpenToOthers(access, userSid)) {
    return {{platform::FileResult::kDenied, "作成したはずのファイルに、ほかのユーザーが使えるアクセス権があります。"}, nullptr};
  }
  if (held.value->owner() != userSid) {
    return {{platform::FileResult::kDenied, "作成したはずのファイルの所有者が違います。"}, nullptr};
  }
  if (expected && held.value->contents() != *expected) {
    return {{platform::FileResult::kFailed, "作成したファイルの内容が書いた内容と違います。"}, nullptr};
  }
  return held;
}

WorkingFiles ClaimWorkingFiles(RunContext& ctx) {
  platform::Platform& os = ctx.os;
  const std::string parent = AddPathSep(os.fs.tempFolder());
  const std::string user = os.system.userSid();
  for (int tries = 1; tries <= kNameTries; ++tries) {
    WorkingFiles files = FilesIn(parent, RandomHex(os));
    const platform::FileOutcome made = os.fs.createSecuredFolder(files.folder, PrivateFolderAccess(user));
    if (made.done()) {
      auto held = HoldOwn(os, files.folder, user, nullptr);
      if (!held.done()) {
        // Not private: never used. Removed only if empty (a link put in its
        // place goes itself, never what it points to).
        IgnoreFailure([&] { return os.fs.removeFolder(files.folder); });
        throw Failure(held.outcome.failure + " (" + parent + ")");
      }
      files.holds.push_back(std::move(held.value));
      ctx.workingFolder = files.folder;
      return files;
    }
    // Refused for another reason than the name: another name will not help.
    if (made.result != platform::FileResult::kExists) throw Failure(made.failure);
  }
  throw Failure("作業フォルダーを作成できません。同じ名前のフォルダーが既にあります。");
}

void DeleteWorkingFiles(RunContext& ctx, WorkingFiles& files) {
  files.holds.clear();
  if (files.folder.empty()) return;  // none was made: nothing here is ours
  DeleteFiles(ctx.os, files.regScan);
  DeleteFiles(ctx.os, files.dump);
  DeleteFiles(ctx.os, files.runas);
  DeleteFiles(ctx.os, files.trustLevel);
  // Not empty (a file that could not be deleted) or gone: left as it is.
  IgnoreFailure([&] { return ctx.os.fs.removeFolder(files.folder); });
}

std::string BatchDumpName(const std::string& dumpPath, const std::string& relativeDump) {
  return StartsWith(dumpPath, "\\\\") ? DQuote(dumpPath) : relativeDump;
}

}  // namespace th
