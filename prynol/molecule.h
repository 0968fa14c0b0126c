// The run state of prynol: the four answers, the CA atoms read from the PDB
// file with their VARSTO results, and the elements formed from them.
#pragma once

#include <string>
#include <vector>

#include "params.h"

namespace prynol {

struct Element {
  int kind;   // kAlpha or kBeta
  int first;  // index (0-based) of the first residue
  int last;   // index of the last residue
  int length() const { return last - first + 1; }
  bool operator==(const Element&) const = default;
};

struct Molecule {
  std::vector<std::string> labels;  // residue labels, blanks removed
  std::vector<float> xyz;           // CA x, y, z of each residue
  std::vector<float> rms_alpha;     // RMS distance of the window on the helix template
  std::vector<float> rms_beta;      // ... on the strand template
  std::vector<int> type;            // kUnassigned, kAlpha or kBeta

  int size() const { return static_cast<int>(labels.size()); }
  // Appends a residue as read: RMS distances not done, type unassigned.
  void add(std::string_view label, const float* p) {
    labels.emplace_back(label);
    xyz.insert(xyz.end(), p, p + 3);
    rms_alpha.push_back(kRmsNotDone);
    rms_beta.push_back(kRmsNotDone);
    type.push_back(kUnassigned);
  }
};

struct RunState {
  std::string mol_id{kDefaultMolId};
  std::string note{kDefaultNote};
  std::string pdb_file{kDefaultPdbFile};
  std::string sse_file{kDefaultSseFile};
  // A file name answer too long for its field was refused: the file cannot
  // be opened.
  bool pdb_file_refused = false;
  bool sse_file_refused = false;
  Molecule mol;
  std::vector<Element> elements;  // every element the pass closes, short ones included
};

}  // namespace prynol
