// Built with the other fuzz targets (fuzz/CMakeLists.txt, -DZV_FUZZ=ON), or by hand:
// clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Ilib fuzz/text_read_fuzz.cpp lib/text/*.cpp -o text_read_fuzz
//
// Feeds arbitrary bytes to the text engine as a format and as records: the
// formatted and list-directed readers, formatted output to a string and to
// internal records, and list-directed output. No input may crash, hang or
// overrun; a bad format must come back as iostat 5006.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "text/format.h"
#include "text/read.h"

namespace {

// Splits the input: byte 0 chooses options and item types, then the format
// up to the first NUL byte, then the record text.
struct Input {
  std::uint8_t flags = 0;
  std::uint8_t types = 0;
  std::string_view format;
  std::string_view record;
};

Input split(const std::uint8_t* data, std::size_t size) {
  Input in;
  if (size > 0) in.flags = data[0];
  if (size > 1) in.types = data[1];
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  rest.remove_prefix(size > 2 ? 2 : size);
  std::size_t nul = rest.find('\0');
  if (nul == std::string_view::npos) {
    in.format = rest;
    in.record = rest;
  } else {
    in.format = rest.substr(0, nul);
    in.record = rest.substr(nul + 1);
  }
  return in;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in = split(data, size);

  // Reading: four variables whose types come from two bits each.
  int iv[4] = {};
  float rv[4] = {};
  double dv[4] = {};
  bool lv[4] = {};
  std::string tv[4];
  std::vector<zv::ReadItem> items;
  for (int k = 0; k < 4; ++k) {
    switch ((in.types >> (2 * k)) & 3) {
      case 0: items.emplace_back(iv[k]); break;
      case 1: items.emplace_back(rv[k]); break;
      case 2: items.emplace_back(tv[k], 1 + (in.flags & 15)); break;
      default:
        if (in.flags & 16) {
          items.emplace_back(lv[k]);
        } else {
          items.emplace_back(dv[k]);
        }
    }
  }
  zv::ReadOptions opt;
  opt.blank_zero = (in.flags & 32) != 0;
  opt.pad = (in.flags & 64) == 0;
  opt.internal = (in.flags & 128) != 0;
  (void)zv::format_read_line(in.format, in.record, items);
  {
    zv::TextRecordSource src(in.record);
    (void)zv::format_read(in.format, src, items, opt);
  }
  (void)zv::list_read(in.record, items);
  {
    zv::TextRecordSource src(in.record);
    (void)zv::list_read(src, items);
  }

  // Writing: items made from the record's bytes (any float bit pattern).
  float f = 0;
  double d = 0;
  std::int64_t i = 0;
  if (in.record.size() >= 8) {
    std::memcpy(&f, in.record.data(), 4);
    std::memcpy(&d, in.record.data(), 8);
    std::memcpy(&i, in.record.data(), 8);
  }
  const zv::FmtItem out_items[] = {zv::FmtItem(static_cast<long long>(i)), zv::FmtItem(f),
                                   zv::FmtItem(d), zv::FmtItem(in.record.substr(0, 20)),
                                   zv::FmtItem::logical(in.flags & 1), zv::FmtItem(static_cast<int>(i))};
  std::size_t n = (in.flags >> 4) % 7;
  std::string out;
  (void)zv::format_append(out, in.format, std::span<const zv::FmtItem>(out_items, n));
  std::string rec(40, '#');
  (void)zv::format_internal(rec, 1 + in.flags % 60, in.format, std::span<const zv::FmtItem>(out_items, n));
  std::vector<std::string> recs(3);
  (void)zv::format_internal(recs, in.flags % 30, in.format, std::span<const zv::FmtItem>(out_items, n));
  out.clear();
  zv::list_write_append(out, std::span<const zv::FmtItem>(out_items, n));
  return 0;
}
