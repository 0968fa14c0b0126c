// A text field of fixed capacity held inline (no heap allocation), kept
// without trailing blanks: what a blank-padded CHARACTER*N variable holds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvor {

template <int N>
class FixedText {
 public:
  static constexpr int kCapacity = N;

  FixedText() = default;
  explicit FixedText(std::string_view s) { assign(s); }

  // Stores s cut to N characters, trailing blanks dropped.
  void assign(std::string_view s) {
    if (s.size() > static_cast<std::size_t>(N)) s = s.substr(0, N);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    len_ = static_cast<std::uint16_t>(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) c_[i] = s[i];
  }
  void clear() { len_ = 0; }

  std::string_view view() const { return std::string_view(c_.data(), len_); }
  std::string str() const { return std::string(view()); }
  int size() const { return len_; }
  bool empty() const { return len_ == 0; }
  // The field blank padded to its full width, as written with A<N>.
  std::string padded() const {
    std::string s(view());
    s.resize(N, ' ');
    return s;
  }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }

 private:
  std::array<char, N> c_{};
  std::uint16_t len_ = 0;
};

}  // namespace kelvor
