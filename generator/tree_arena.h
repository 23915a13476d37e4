#ifndef TEXTRESGEN_GENERATOR_TREE_ARENA_H_
#define TEXTRESGEN_GENERATOR_TREE_ARENA_H_

#include <cstddef>
#include <memory_resource>
#include <vector>

namespace textresgen {

/// The memory of one resource tree. A tree of a million entries makes
/// millions of small allocations that are all freed together at the end,
/// so the arena hands out pieces of large blocks and never frees a piece:
/// everything goes when the arena does. The blocks are offered to the OS
/// for large pages, which cuts the page faults of filling them.
class TreeArena : public std::pmr::memory_resource {
 public:
  TreeArena() = default;
  TreeArena(const TreeArena&) = delete;
  TreeArena& operator=(const TreeArena&) = delete;
  ~TreeArena() override;

 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override;
  void do_deallocate(void*, std::size_t, std::size_t) override {}
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }

  std::vector<std::byte*> blocks_;
  std::byte* next_ = nullptr;
  std::byte* end_ = nullptr;
  std::size_t next_block_size_ = kFirstBlockSize;

  static constexpr std::size_t kFirstBlockSize = std::size_t{1} << 21;
  static constexpr std::size_t kLargestBlockSize = std::size_t{1} << 26;
};

}  // namespace textresgen

#endif  // TEXTRESGEN_GENERATOR_TREE_ARENA_H_
