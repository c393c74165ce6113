// AcArray: the growable array of the SDK (ids of objects, icon bytes).
#pragma once

#include <algorithm>
#include <vector>

template <class T>
class AcArray {
 public:
  explicit AcArray(int initPhysicalLength = 0, int initGrowLength = 8) : m_grow(std::max(1, initGrowLength)) {
    if (initPhysicalLength > 0) m_items.reserve(static_cast<size_t>(initPhysicalLength));
  }

  int append(const T& value) {
    if (m_items.size() == m_items.capacity()) m_items.reserve(m_items.size() + static_cast<size_t>(m_grow));
    m_items.push_back(value);
    return length() - 1;
  }
  int length() const { return static_cast<int>(m_items.size()); }
  int logicalLength() const { return length(); }
  bool isEmpty() const { return m_items.empty(); }
  void setLogicalLength(int n) { m_items.resize(static_cast<size_t>(std::max(0, n))); }
  int growLength() const { return m_grow; }
  void setGrowLength(int n) { m_grow = std::max(1, n); }
  void removeAll() { m_items.clear(); }

  T& at(int i) { return m_items.at(static_cast<size_t>(i)); }
  const T& at(int i) const { return m_items.at(static_cast<size_t>(i)); }
  T& operator[](int i) { return m_items[static_cast<size_t>(i)]; }
  const T& operator[](int i) const { return m_items[static_cast<size_t>(i)]; }
  T* asArrayPtr() { return m_items.data(); }
  const T* asArrayPtr() const { return m_items.data(); }

 private:
  std::vector<T> m_items;
  int m_grow;
};
