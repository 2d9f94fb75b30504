#pragma once
// A failed platform call or step. Carries the description that the error log
// records, as the platform gave it.
#include <stdexcept>
#include <string>

namespace th {

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace th
