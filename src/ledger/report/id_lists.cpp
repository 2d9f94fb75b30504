#include "ledger/report/id_lists.h"

#include <algorithm>
#include <numeric>

namespace th::ledger {

std::string EncodeIds(const std::vector<int>& ids) {
  static constexpr char kMid[] = "0123456789abcdefghijklmnopqrstuv";
  static constexpr char kLast[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!#$%()";
  std::string out;
  out.reserve(ids.size() * 3);
  char digits[8];
  for (int id : ids) {
    unsigned v = static_cast<unsigned>(id);
    int n = 0;
    do {
      digits[n++] = static_cast<char>(v & 31);
      v >>= 5;
    } while (v);
    while (n > 1) out += kMid[static_cast<int>(digits[--n])];
    out += kLast[static_cast<int>(digits[0])];
  }
  return out;
}

std::vector<int> NumberByFrequency(const std::vector<std::vector<int>>& lists, int count) {
  std::vector<int> uses(static_cast<std::size_t>(count), 0);
  for (const auto& list : lists)
    for (int id : list) ++uses[static_cast<std::size_t>(id)];
  std::vector<int> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return uses[a] > uses[b]; });
  std::vector<int> renumber(order.size());
  for (std::size_t k = 0; k < order.size(); ++k) renumber[static_cast<std::size_t>(order[k])] = static_cast<int>(k);
  return renumber;
}

}  // namespace th::ledger
