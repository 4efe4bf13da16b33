#pragma once
// T2DSafeArray: a two-dimensional array whose every access is bounds-checked.
// An index outside the array reads as tOutOfBoundsValue, so the board code can
// look at the neighbours of edge cells without testing the edges itself.
#include <cstdint>
#include <vector>

#include "costrak_ehs.h"

template <typename T, T tOutOfBoundsValue>
class T2DSafeArray {
 public:
  // Replaces the storage by x columns of y elements, every one set to T{}.
  // A negative size counts as 0.
  void Create(int32_t x, int32_t y) {
    m_sizeX = x > 0 ? x : 0;
    m_sizeY = y > 0 ? y : 0;
    m_cells.assign(static_cast<size_t>(m_sizeX) * static_cast<size_t>(m_sizeY), T{});
    m_created = true;
  }
  // Drops the storage (not what the elements point to).
  void Destroy() {
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_sizeX = m_sizeY = 0;
    m_created = false;
  }

  // 0-based. Without storage, throws the text "Error in T2DSafeArray<T,
  // tOutOfBoundsValue>::At". Outside the array, returns the scratch element reset
  // to tOutOfBoundsValue: a write through it changes no cell.
  T& At(int32_t x, int32_t y) {
    if (!m_created) EHS_ThrowText("Error in T2DSafeArray<T, tOutOfBoundsValue>::At");
    if (x < 0 || y < 0 || x >= m_sizeX || y >= m_sizeY) {
      m_scratch = tOutOfBoundsValue;
      return m_scratch;
    }
    return m_cells[static_cast<size_t>(x) * static_cast<size_t>(m_sizeY) + static_cast<size_t>(y)];
  }

  bool IsCreated() const { return m_created; }
  int32_t GetSizeX() const { return m_sizeX; }
  int32_t GetSizeY() const { return m_sizeY; }

 private:
  int32_t m_sizeX = 0;
  int32_t m_sizeY = 0;
  T m_scratch = tOutOfBoundsValue;
  std::vector<T> m_cells;
  bool m_created = false;
};
