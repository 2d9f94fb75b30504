#include "ledger/progress_bar.h"

#include <string>

namespace th::ledger {

namespace {
constexpr std::size_t kMinFiles = 200;
constexpr int kWidth = 30;
}  // namespace

void ProgressBar::update(std::size_t done, std::size_t total) {
  if (total < kMinFiles) return;
  const int percent = static_cast<int>(done * 100 / total);
  if (percent == shown_) return;
  shown_ = percent;
  const int filled = percent * kWidth / 100;
  out_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
       << std::string(static_cast<std::size_t>(kWidth - filled), '-') << "] " << percent << "% " << done << "/"
       << total << std::flush;
}

void ProgressBar::finish() {
  if (shown_ >= 0) out_ << "\n";
  shown_ = -1;
}

}  // namespace th::ledger
