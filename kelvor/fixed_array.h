// A growable array of trivially copyable values with a capacity fixed when it
// is made. The whole capacity is reserved as address space at once and backed
// by memory only as it is filled, in huge pages where the system offers them
// (the database's element table is tens of megabytes; huge pages spare the
// loader most of its page faults).
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>

namespace kelvor {

namespace detail {
// Address space for `bytes` bytes, zero-filled on first touch; nullptr on
// failure. Released with release_pages(p, bytes).
void* reserve_pages(std::size_t bytes);
void release_pages(void* p, std::size_t bytes);
}  // namespace detail

template <typename T>
class FixedArray {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  explicit FixedArray(std::size_t capacity) : cap_(capacity), bytes_(capacity * sizeof(T)) {
    data_ = static_cast<T*>(detail::reserve_pages(bytes_));
    if (data_ == nullptr) throw std::bad_alloc();
  }
  ~FixedArray() { detail::release_pages(data_, bytes_); }
  FixedArray(const FixedArray&) = delete;
  FixedArray& operator=(const FixedArray&) = delete;

  std::size_t size() const { return size_; }
  std::size_t capacity() const { return cap_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T& back() { return data_[size_ - 1]; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }

  // Appends a value-initialised element; the caller checks the capacity.
  T& emplace_back() { return *new (data_ + size_++) T(); }
  // Drops the elements from n on (n <= size()).
  void shrink_to(std::size_t n) {
    if (n < size_) size_ = n;
  }
  void clear() { size_ = 0; }

 private:
  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t cap_;
  std::size_t bytes_;
};

}  // namespace kelvor
