// The two command files a search writes while it runs: the Mova macro and
// the VOBRIL input file.
#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

#include "model.h"
#include "search.h"

namespace kelvor {

inline constexpr int kUnitMacro = 11;
inline constexpr int kUnitVobril = 12;
// Width of the buffers in which collapsed lines are built.
inline constexpr int kCommandLineLen = 1024;

// A command file on a unit. Every line is written as "(10(A,1X))": each item
// up to its last non-blank character (a blank item as one blank), followed
// by one blank. The first failing write stops the writing; close() then
// reports it with the file's name and removes the incomplete file.
class CommandFile {
 public:
  CommandFile(int unit, const char* what) : unit_(unit), what_(what) {}
  // Opens the file (created or overwritten); on failure reports
  // "Could not open <what> " and the name, and the file stays closed.
  bool open(const std::string& name);
  bool is_open() const { return open_; }
  const std::string& name() const { return name_; }
  // One line of at most ten items.
  void line(std::initializer_list<std::string_view> items);
  // A line built in a buffer of kCommandLineLen characters with its runs of
  // blanks reduced to one, written as one item.
  void collapsed(std::string text);
  // Flushes and closes; reports a failed write or close. Safe to call twice.
  void close();

 private:
  void put(std::string_view text);

  int unit_;
  const char* what_;
  std::string name_;
  bool open_ = false;
  int error_ = 0;
  std::string buf_;
};

// What the outputs need of a finished entry.
struct HitOutput {
  const Entry* entry = nullptr;
  int solution = 0;     // index of the best solution in the store
  float score = 0.0f;
  int matched = 0;
};

// Writes the preambles, the block of each hit and the end lines of both
// files for one search.
class SearchOutputs {
 public:
  SearchOutputs(const SearchSetup& setup, const Query& query, const Database& db,
                bool vobril_save);
  // Opens the files the dialogue asked for and writes their preambles.
  void start(bool want_macro, const std::string& macro_name, bool want_vobril,
             const std::string& vobril_name);
  // The centroid line and operator on the terminal, then both blocks.
  void write_hit(const SearchWork& work, const HitOutput& hit);
  // End lines and close.
  void finish();

 private:
  void macro_preamble();
  void vobril_preamble();
  void macro_block(const SearchWork& work, const HitOutput& hit, const std::string& centroid_line,
                   const std::array<float, 12>& rt);
  void vobril_block(const SearchWork& work, const HitOutput& hit);
  std::string mismatch_line(std::string_view label) const;
  void settings_lines(CommandFile& f, std::string_view lead) const;

  const SearchSetup& setup_;
  const Query& query_;
  const Database& db_;
  bool vobril_save_;
  CommandFile macro_{kUnitMacro, "Mova macro file "};
  CommandFile vobril_{kUnitVobril, "VOBRIL input file "};
};

// The pair name of a hit: entry name, "_to_" and query name, blanks removed,
// at most 30 characters.
std::string pair_name(std::string_view entry, std::string_view query);
// "(1x,a4,a5,i3,a,f8.3,a)": the entry name, " ... ", the number of centres,
// " centroids with RMS distance ", the RMSD and " A".
std::string centroid_line(std::string_view entry, int ncentres, float rms);

}  // namespace kelvor
