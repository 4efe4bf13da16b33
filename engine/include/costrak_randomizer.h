#pragma once
// TRandomizer: picks one of a list of values with a probability proportional to
// its weight, drawing from the shared generator (the playlists choose their next
// piece with it).
#include <cstdint>
#include <utility>
#include <vector>

#include "costrak_ehs.h"
#include "costrak_random.h"

template <typename T>
class TRandomizer {
 public:
  void AddValue(T value, int32_t weight) { m_values.emplace_back(std::move(value), weight); }
  int32_t GetCount() const { return static_cast<int32_t>(m_values.size()); }
  void Clear() { m_values.clear(); }

  // No values: throws the text "No values were thrown in randomizer!". One value:
  // returns it without drawing. Otherwise r := next random value modulo the total
  // weight, and the first value whose range [sum before it, sum with it) holds r
  // wins. A total weight of 0 or below leaves nothing to pick and throws
  // "Error in TRandomizer::GetRandomValue!", as does an r that no range holds.
  T GetRandomValue() const {
    if (m_values.empty()) EHS_ThrowText("No values were thrown in randomizer!");
    if (m_values.size() == 1) return m_values.front().first;
    int64_t total = 0;
    for (const auto& v : m_values) total += v.second;
    if (total > 0) {
      const int64_t r = static_cast<int64_t>(O2D_Random()) % total;
      int64_t lower = 0;
      for (const auto& v : m_values) {
        const int64_t upper = lower + v.second;
        if (lower <= r && r < upper) return v.first;
        lower = upper;
      }
    }
    EHS_ThrowText("Error in TRandomizer::GetRandomValue!");
  }

 private:
  std::vector<std::pair<T, int32_t>> m_values;
};
