#pragma once
// A one-line progress bar on the console for long imports.
#include <cstddef>
#include <ostream>

namespace th::ledger {

class ProgressBar {
 public:
  explicit ProgressBar(std::ostream& out) : out_(out) {}
  // Redraws only when the shown percentage changes; stays silent for small
  // imports, which end before a bar would help.
  void update(std::size_t done, std::size_t total);
  void finish();

 private:
  std::ostream& out_;
  int shown_ = -1;
};

}  // namespace th::ledger
