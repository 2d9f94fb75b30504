#pragma once
// The page's template, styles and script, embedded at build time from page/.
#include <string_view>

namespace th::ledger {

extern const std::string_view kReportHtml;
extern const std::string_view kReportCss;
extern const std::string_view kReportJs;

}  // namespace th::ledger
