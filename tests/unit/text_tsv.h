// Reading the tab-separated golden vector files of the Fortran I/O oracles:
// a header row, then one case per line; fields may be empty (split on every
// tab); text fields are wrapped in |...| with \n \t \r \\ escapes.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace zv::testing_tsv {

struct Table {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;

  int col(std::string_view name) const {
    for (std::size_t i = 0; i < header.size(); ++i) {
      if (header[i] == name) return static_cast<int>(i);
    }
    return -1;
  }
  // Field of a row by column name ("" when the row is shorter).
  const std::string& get(const std::vector<std::string>& row, std::string_view name) const {
    static const std::string empty;
    int c = col(name);
    if (c < 0 || static_cast<std::size_t>(c) >= row.size()) return empty;
    return row[static_cast<std::size_t>(c)];
  }
};

inline std::vector<std::string> split_tabs(std::string_view line) {
  std::vector<std::string> f;
  std::size_t start = 0;
  while (true) {
    std::size_t t = line.find('\t', start);
    if (t == std::string_view::npos) {
      f.emplace_back(line.substr(start));
      return f;
    }
    f.emplace_back(line.substr(start, t - start));
    start = t + 1;
  }
}

inline bool load(const std::string& path, Table& t) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (first) {
      t.header = split_tabs(line);
      first = false;
    } else {
      t.rows.push_back(split_tabs(line));
    }
  }
  return !first;
}

// Decodes |...| with escapes; other fields are returned as they are.
inline std::string decode(std::string_view f) {
  if (f.size() < 2 || f.front() != '|' || f.back() != '|') return std::string(f);
  std::string out;
  for (std::size_t i = 1; i + 1 < f.size(); ++i) {
    char c = f[i];
    if (c == '\\' && i + 2 < f.size()) {
      char n = f[++i];
      switch (n) {
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case 'r': out.push_back('\r'); break;
        case '\\': out.push_back('\\'); break;
        default: out.push_back('\\'); out.push_back(n); break;
      }
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// Makes control characters visible in failure messages.
inline std::string show(std::string_view s) {
  std::string o = "|";
  for (char c : s) {
    switch (c) {
      case '\n': o += "\\n"; break;
      case '\t': o += "\\t"; break;
      case '\r': o += "\\r"; break;
      case '\\': o += "\\\\"; break;
      default: o.push_back(c);
    }
  }
  return o + "|";
}

// A Fortran real literal as C reads it: D and Q exponents become E.
inline std::string c_literal(std::string_view s) {
  std::string o(s);
  for (char& c : o) {
    if (c == 'd' || c == 'D' || c == 'q' || c == 'Q') c = 'e';
  }
  return o;
}

inline std::string golden_path(const char* name) {
  return std::string(ZV_SHARED_DIR) + "/tools/" + name;
}

}  // namespace zv::testing_tsv
