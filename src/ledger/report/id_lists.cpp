#include "ledger/report/id_lists.h"

#include <algorithm>

namespace th::ledger {

std::string EncodeIds(const std::vector<int>& ids, int& nextSingle, const std::vector<int>& rank) {
  static constexpr char kMid[] = "0123456789abcdefghijklmnopqrstuv";
  static constexpr char kLast[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!#$%()";
  static constexpr char kStep[] = "wxyz-._~:;=?@[]^";
  std::string out;
  out.reserve(ids.size() * 3);
  char digits[8];
  int previous = -1;  // the place of the list's last index that has one
  for (int id : ids) {
    if (id == nextSingle) {
      out += '*';
      ++nextSingle;
      continue;
    }
    if (id >= 0 && static_cast<std::size_t>(id) < rank.size()) {
      const int place = rank[static_cast<std::size_t>(id)], step = place - previous;
      const bool near = previous >= 0 && step >= 1 && step <= 16;
      previous = place;
      if (near) {
        out += kStep[step - 1];
        continue;
      }
    }
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

IdNumbering NumberByFrequency(const std::vector<std::vector<int>>& lists, int count) {
  std::vector<int> uses(static_cast<std::size_t>(count), 0);
  std::vector<int> order;
  order.reserve(uses.size());
  for (const auto& list : lists)
    for (int id : list)
      if (uses[static_cast<std::size_t>(id)]++ == 0) order.push_back(id);
  for (int id = 0; id < count; ++id)
    if (uses[static_cast<std::size_t>(id)] == 0) order.push_back(id);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return uses[a] > uses[b]; });
  IdNumbering out{std::vector<int>(order.size()), 0};
  for (std::size_t k = 0; k < order.size(); ++k) {
    out.renumber[static_cast<std::size_t>(order[k])] = static_cast<int>(k);
    if (uses[static_cast<std::size_t>(order[k])] > 1) out.singlesFrom = static_cast<int>(k) + 1;
  }
  return out;
}

}  // namespace th::ledger
