#include "collect/asset_info.h"

#include "collect/record_file.h"
#include "support/guard.h"
#include "support/paths.h"

namespace th {

namespace {

constexpr const char* kProc = "SaveInputData";

void SaveIfPresent(RunContext& ctx, const char* subItem, const std::string& value) {
  Guarded(ctx, kProc, [&] { ctx.rec.SubItem = subItem; });
  Guarded(ctx, kProc, [&] { ctx.rec.Contents = value; });
  if (!ctx.rec.Contents.empty()) SaveTextSet(ctx);
}

}  // namespace

void SaveInputData(RunContext& ctx) {
  Guarded(ctx, kProc, [&] {
    ctx.rec.Group = "資産";
    ctx.rec.Item = "管理情報";
    ctx.rec.Unit.clear();
  });
  SaveIfPresent(ctx, "姓", ctx.entry.sei);
  SaveIfPresent(ctx, "名", ctx.entry.mei);
  SaveIfPresent(ctx, "管理番号", ctx.entry.kanriNo);
  Guarded(ctx, kProc, [&] { ctx.destinationPath = ResolvePath(ctx.os, ctx.outputFolder + ctx.rec.Contents + ".csv"); });
}

}  // namespace th
