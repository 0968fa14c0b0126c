#include "elements.h"

namespace prynol {

void form_elements(std::span<const int> type, std::vector<Element>& out) {
  const int n = static_cast<int>(type.size());
  bool open = false;
  int kind = kUnassigned;
  int start = 0;
  for (int i = 0; i < n; ++i) {
    const int t = type[static_cast<std::size_t>(i)];
    if (!open) {
      if (t > kUnassigned) {
        open = true;
        kind = t;
        start = i;
      }
      continue;
    }
    if (i == n - 1 || type[static_cast<std::size_t>(i + 1)] != kind) {
      out.push_back({kind, start, i});
      open = false;
    }
  }
}

}  // namespace prynol
