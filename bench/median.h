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

// The sample that `share` of them (0..1) do not exceed; -1 for none.
inline double Percentile(std::vector<double> v, double share) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(share * static_cast<double>(v.size())))];
}

}  // namespace bench
