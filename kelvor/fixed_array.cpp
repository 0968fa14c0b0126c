#include "fixed_array.h"

#include <sys/mman.h>

#include <cstdint>

namespace kelvor::detail {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t round_up(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

}  // namespace

// The mapping is made one huge page larger than needed so that the array can
// start on a huge-page boundary; the unused head and tail are unmapped, so
// the array is exactly round_up(bytes) long and release_pages can find it.
void* reserve_pages(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  const std::size_t span = round_up(bytes) + kHugePage;
  void* base = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return nullptr;
  const auto b = reinterpret_cast<std::uintptr_t>(base);
  const std::uintptr_t aligned = (b + kHugePage - 1) & ~(kHugePage - 1);
  // Give back the unused head and tail of the mapping.
  if (aligned > b) ::munmap(base, aligned - b);
  const std::uintptr_t end = b + span;
  const std::uintptr_t used_end = aligned + round_up(bytes);
  if (end > used_end) ::munmap(reinterpret_cast<void*>(used_end), end - used_end);
#ifdef MADV_HUGEPAGE
  (void)::madvise(reinterpret_cast<void*>(aligned), used_end - aligned, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(aligned);
}

void release_pages(void* p, std::size_t bytes) {
  if (p == nullptr) return;
  if (bytes == 0) bytes = 1;
  ::munmap(p, round_up(bytes));
}

}  // namespace kelvor::detail
