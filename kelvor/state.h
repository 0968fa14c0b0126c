// The run state of kelvor: one instance, owned by main and passed by
// reference to every command.
#pragma once

#include <array>
#include <string>

#include "capacities.h"
#include "model.h"

namespace kelvor {

// Answers of the PA command; used by the searches.
struct SearchParams {
  std::string distance_letter = "C";
  DistanceMode distance_mode = DistanceMode::C;
  std::string extensive_answer = "N";
  bool extensive = false;
  std::string vobril_save_answer = "N";
  bool vobril_save = false;
  std::string avoid_multichain_answer = "Y";
  bool avoid_multichain = true;
  std::string avoid_identical_answer = "N";
  bool avoid_identical = false;
};

// Defaults of the incremental search dialogue, kept between searches.
struct IncrementalDefaults {
  int min_residues = 3;
  int min_match = 4;
  int too_short = 2;
  int too_long = 4;
  float mismatch_length = 10.0f;
  float mismatch_distance = 8.0f;
  float mismatch_cosine = 0.4f;
  std::array<float, 5> weights{0.001f, 0.001f, 0.1f, 0.1f, 0.5f};
  std::string directionality = "Y";
  std::string absolute_motif = "Y";
  std::string neighbours = "N";
  std::string create_macro = "Y";
  std::string create_vobril = "Y";
  std::string skeldo = "N";
  std::string symbolic = "N";
  std::string explicit_lsq = "N";
};

// Motif-find settings, reset by every RE.
struct FindSettings {
  int nmatch = 0;
  std::array<std::string, kMaxElementsPerEntry> names{};
  void reset() {
    nmatch = 0;
    for (auto& n : names) n.clear();
  }
};

struct TopologyParams {
  float cos_cutoff = 0.8f;
  float dist_cutoff = 6.0f;
};

// Figures of ST, computed on its first use.
struct DatabaseStats {
  bool computed = false;
  int nentries = 0;
  int total_elements = 0, min_elements = 999, max_elements = -99;
  float avg_elements = 0.0f;
  int total_residues = 0, min_residues = 999, max_residues = -99;
  float avg_residues = 0.0f;
  struct PerType {
    int total = 0, min_per_entry = 999, max_per_entry = -99;
    float avg_per_entry = 0.0f;
    int residues = 0;
    std::array<int, kHistogramLengths + 1> histogram{};  // [0..23] lengths 1..24, [24] 25+
  };
  std::array<PerType, kMaxTypes> types{};
};

struct FileNames {
  std::string library = "kelvor.lib";
  std::string user = "user.sse";
  std::string out_sse = "out.sse";
  std::string macro = "lsq.movamac";
  std::string select = "user.sel";
  std::string topology = "topo.zev";
  std::string vobril = "vobril.inp";
};

struct KelvorState {
  Database db;
  Query query;
  FileNames files;
  SearchParams params;
  IncrementalDefaults incremental;
  FindSettings find;
  TopologyParams topology;
  DatabaseStats stats;

  int max_hits = kDefaultMaxHits;
  bool list_library = false;
  bool skip_missing_pdb = false;
  bool skeldo_mode = false;

  std::string last_option = "READ";
  // SE defaults.
  int select_option = 1;
  std::string select_code = "1cbs";
  // The molecule name shared by EX and LI (the first entry's name after loading).
  std::string mol_name = "1cbs";
  // LI defaults.
  std::string list_field = "N";
  std::string list_elements = "N";
};

}  // namespace kelvor
