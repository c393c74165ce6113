// A growable array whose elements never move, so that references and indexes stay valid.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace orv::db {

template <class T, std::size_t ChunkSize = 4096>
class StableVector {
 public:
  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return chunks_[i / ChunkSize][i % ChunkSize]; }
  const T& operator[](std::size_t i) const { return chunks_[i / ChunkSize][i % ChunkSize]; }

  T& push_back(T value) {
    if (size_ % ChunkSize == 0) {
      chunks_.emplace_back();
      chunks_.back().reserve(ChunkSize);
    }
    chunks_.back().push_back(std::move(value));
    ++size_;
    return chunks_.back().back();
  }

 private:
  std::vector<std::vector<T>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace orv::db
