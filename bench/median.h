#pragma once

#include <algorithm>
#include <vector>

namespace bench {

// The middle of the samples (the upper one of an even count); -1 for none.
inline double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace bench
