#include "generator/tree_arena.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "textfile/platform.h"

namespace textresgen {
namespace {

// Large pages are 2 MiB on the usual hosts; blocks aligned to that can be
// backed by them whole.
constexpr std::align_val_t kBlockAlignment{std::size_t{1} << 21};

}  // namespace

TreeArena::~TreeArena() {
  for (std::byte* block : blocks_) ::operator delete(block, kBlockAlignment);
}

void* TreeArena::do_allocate(std::size_t bytes, std::size_t alignment) {
  const auto address = reinterpret_cast<std::uintptr_t>(next_);
  std::size_t padding = (alignment - address % alignment) % alignment;
  if (next_ == nullptr ||
      static_cast<std::size_t>(end_ - next_) < padding + bytes) {
    // Blocks double up to a limit, so a small tree takes little memory and
    // a large one few blocks; a larger piece gets a block of its own size.
    if (bytes > SIZE_MAX - alignment) throw std::bad_alloc();
    const std::size_t size = std::max(next_block_size_, bytes + alignment);
    if (next_block_size_ < kLargestBlockSize) next_block_size_ *= 2;
    blocks_.reserve(blocks_.size() + 1);  // no throw after the block is taken
    auto* block = static_cast<std::byte*>(::operator new(size, kBlockAlignment));
    blocks_.push_back(block);
    AdviseLargePages(block, size);
    next_ = block;
    end_ = block + size;
    padding = 0;
  }
  void* piece = next_ + padding;
  next_ += padding + bytes;
  return piece;
}

}  // namespace textresgen
