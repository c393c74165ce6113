#include "orv/db/shared_string.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace orv::db {

SharedString::SharedString(std::string_view s) {
  if (s.empty()) return;
  if (s.size() > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("shared string too long");
  void* memory = ::operator new(sizeof(Block) + s.size() + 1);
  block_ = new (memory) Block{{1}, static_cast<std::uint32_t>(s.size())};
  char* bytes = reinterpret_cast<char*>(block_ + 1);
  std::memcpy(bytes, s.data(), s.size());
  bytes[s.size()] = '\0';
}

void SharedString::release() noexcept {
  if (!block_) return;
  if (block_->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    block_->~Block();
    ::operator delete(block_);
  }
  block_ = nullptr;
}

}  // namespace orv::db
