#include "run/collection.h"

#include "collect/network_identity.h"
#include "collect/registry_facts.h"
#include "collect/wmi_collectors.h"

namespace th {

void CollectMachineFacts(RunContext& ctx) {
  GetCPU(ctx);
  GetBIOS(ctx);
  GetPC(ctx);
  GetPCName(ctx);
  GetWindows(ctx, ctx.systemDrive);
  GetDisk(ctx, ctx.systemDrive);
  GetOSVersion(ctx);
  GetPCCase(ctx);
  GetMB(ctx);
  GetUUID(ctx);
  GetDisplay(ctx);
  GetKeyboard(ctx);
  GetPrinter(ctx);
}

}  // namespace th
