// Variables of a golden READ case: one per type letter (i INTEGER, r REAL,
// d DOUBLE PRECISION, a CHARACTER*len, l LOGICAL), set from the case's
// initial values, and compared with the values gfortran printed.
#pragma once

#include <cmath>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "text/read.h"
#include "text_tsv.h"

namespace zv::testing_tsv {

struct Vars {
  std::string types;  // one letter per variable
  int len = 10;
  std::deque<int> ints;
  std::deque<float> reals;
  std::deque<double> doubles;
  std::deque<std::string> texts;
  std::deque<bool> logicals;
  std::vector<zv::ReadItem> items;

  Vars(std::string t, int n, int l, const std::string& init) : types(std::move(t)), len(l) {
    if (types.size() == 1 && n > 1) types.assign(static_cast<std::size_t>(n), types[0]);
    std::vector<std::string> inits;
    std::size_t start = 0;
    while (start <= init.size()) {
      std::size_t c = init.find(',', start);
      if (c == std::string::npos) c = init.size();
      inits.push_back(init.substr(start, c - start));
      start = c + 1;
    }
    for (std::size_t k = 0; k < types.size(); ++k) {
      std::string v = k < inits.size() ? inits[k] : "";
      switch (types[k]) {
        case 'i':
          ints.push_back(v.empty() ? -999 : std::atoi(v.c_str()));
          items.emplace_back(ints.back());
          break;
        case 'r':
          reals.push_back(v.empty() ? -999.0f : std::strtof(c_literal(v).c_str(), nullptr));
          items.emplace_back(reals.back());
          break;
        case 'd':
          doubles.push_back(v.empty() ? -999.0 : std::strtod(c_literal(v).c_str(), nullptr));
          items.emplace_back(doubles.back());
          break;
        case 'l':
          logicals.push_back(v == "T" || v == "t");
          items.emplace_back(logicals.back());
          break;
        default: {
          std::string s = v.empty() ? "#" : v;
          s.resize(static_cast<std::size_t>(len), ' ');
          texts.push_back(s);
          items.emplace_back(texts.back(), len);
        }
      }
    }
  }

  // The value of variable k printed the way the oracle prints it is compared
  // with `want` (REAL: the first word, the ES form, read with strtof).
  // Returns "" when equal, else a description of the value held.
  std::string compare(std::size_t k, const std::string& want) const {
    const zv::ReadItem& it = items[k];
    switch (it.kind) {
      case zv::ReadItem::Kind::Int: {
        int v = *static_cast<const int*>(it.p);
        return std::to_string(v) == want ? "" : std::to_string(v);
      }
      case zv::ReadItem::Kind::Real: {
        float v = *static_cast<const float*>(it.p);
        std::string w = want.substr(0, want.find(' '));
        float e = std::strtof(w.c_str(), nullptr);
        bool same = (std::isnan(v) && std::isnan(e)) ||
                    (v == e && std::signbit(v) == std::signbit(e));
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.9E", static_cast<double>(v));
        return same ? "" : buf;
      }
      case zv::ReadItem::Kind::Double: {
        double v = *static_cast<const double*>(it.p);
        std::string w = want.substr(0, want.find(' '));
        double e = std::strtod(w.c_str(), nullptr);
        bool same = (std::isnan(v) && std::isnan(e)) ||
                    (v == e && std::signbit(v) == std::signbit(e));
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17E", v);
        return same ? "" : buf;
      }
      case zv::ReadItem::Kind::Logical: {
        bool v = *static_cast<const bool*>(it.p);
        return std::string(v ? "T" : "F") == want ? "" : (v ? "T" : "F");
      }
      case zv::ReadItem::Kind::Text: {
        const std::string& v = *static_cast<const std::string*>(it.p);
        return v == decode(want) ? "" : show(v);
      }
    }
    return "?";
  }
};

inline const char* ios_class(int ios) {
  if (ios == 0) return "ok";
  if (ios == -1) return "end";
  if (ios == -2) return "eor";
  return ios < 0 ? "end" : "error";
}

}  // namespace zv::testing_tsv
