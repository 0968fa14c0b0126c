// The dialogue on arbitrary bytes as the answers on unit 5: a round of
// questions (ivalii, fvalii, jvalii, textii, asciii, YESNO) asked again and
// again until the answers run out, every value read shown again by the uo
// routines, and every line of the bytes taken apart by EXTROP, STRINT and
// STRREAL as the programs take apart their command lines.
//
// Beyond "no crash": a text answer never grows past its declared length, no
// item of asciii or EXTROP does either, EXTROP never reports more items than
// it was given room for, and STRINT/STRREAL leave the value alone on failure.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "core/dialogue.h"
#include "core/frame.h"
#include "core/strings.h"
#include "fuzz_session.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void split_line(std::string_view line) {
  // Room for 10 items in an array of 12, to see that EXTROP stays inside.
  std::array<std::string, 12> items;
  for (int maxitems : {0, 1, 10, 40}) {
    for (int len : {0, 1, 6, 80}) {
      int nitems = -1, ierr = -1;
      for (auto& it : items) it = "untouched";
      zv::EXTROP(line, nitems, maxitems, std::span<std::string>(items.data(), 10), len, ierr);
      check(ierr == 0);
      check(nitems >= 0 && nitems <= std::min(maxitems, 10));
      for (int k = 0; k < nitems; ++k) check(items[k].size() <= static_cast<std::size_t>(len));
      check(items[10] == "untouched" && items[11] == "untouched");
      for (int k = 0; k < nitems; ++k) {
        int iv = 12345;
        if (zv::STRINT(items[k], iv) != 0) check(iv == 12345);
        float fv = 1.5f;
        if (zv::STRREAL(items[k], fv) != 0) check(same_bits(fv, 1.5f));
      }
    }
  }
  int iv = -7;
  if (zv::STRINT(line, iv) != 0) check(iv == -7);
  float fv = 2.5f;
  if (zv::STRREAL(line, fv) != 0) check(same_bits(fv, 2.5f));
}

void one_round() {
  int ivals[3] = {1, -22, 333};
  (void)zv::ivalii(" Three integers ?", ivals);
  (void)zv::ivaluo(" Integers :", ivals);
  (void)zv::jvaluo(" Integers :", ivals);

  float fvals[3] = {1.5f, -2.25f, 1.0e7f};
  (void)zv::fvalii(" Three reals ?", fvals);
  (void)zv::fvaluo(" Reals :", fvals);
  (void)zv::rvaluo(" Reals :", fvals);
  (void)zv::gvaluo(" Reals :", fvals);

  int j = 42;
  (void)zv::jvalii(" One integer ?", j);
  float f = 0.5f;
  (void)zv::fvalii(" One real ?", f);

  for (int len : {1, 4, 80}) {
    std::string text = "default text";
    (void)zv::textii(" Some text ?", text, len);
    check(text.size() <= static_cast<std::size_t>(len));
    (void)zv::textuo(" Text :", text);
  }

  std::array<std::string, 4> items = {"one", "two", "three", "four"};
  for (int len : {0, 3, 10}) {
    (void)zv::asciii(" Four items ?", items, len);
    for (const std::string& it : items) check(it.size() <= std::max<std::size_t>(len, 5));
    (void)zv::asciuo(" Items :", items, len);
  }
  (void)zv::YESNO("Go on");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  {
    zvfuzz::Session session{std::string(bytes)};
    try {
      // Each round reads at least one line; the bound only guards the test.
      for (int round = 0; round < 10000 && !zv::input_exhausted(); ++round) one_round();
    } catch (const zv::Stop&) {
    }
  }
  // Every line as a command line.
  zvfuzz::Session quiet{""};
  std::size_t pos = 0;
  while (pos <= bytes.size()) {
    std::size_t nl = bytes.find('\n', pos);
    if (nl == std::string_view::npos) nl = bytes.size();
    split_line(bytes.substr(pos, nl - pos));
    pos = nl + 1;
  }
  return 0;
}
