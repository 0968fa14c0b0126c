// Capacities and fixed settings of kelvor. Every limit printed at start-up is
// printed from the constant here.
#pragma once

#include <cstddef>

namespace kelvor {

inline constexpr const char* kProgramName = "KELVOR";
inline constexpr const char* kProgramVersion = "050113/5.9.1";

// Database capacity.
inline constexpr int kMaxEntries = 20000;
inline constexpr int kMaxElements = 650000;
inline constexpr int kMaxElementsPerEntry = 325;
inline constexpr int kMaxTypes = 2;

// Hits of a search: MAXHITS, never below the minimum.
inline constexpr int kDefaultMaxHits = 1000;
inline constexpr int kMinMaxHits = 10;

// Field widths of the stored texts.
inline constexpr int kMolNameLen = 10;
inline constexpr int kNoteLen = 70;
inline constexpr int kPdbNameLen = 128;
inline constexpr int kElementTextLen = 6;
inline constexpr int kKeywordLen = 6;
inline constexpr int kTypeDescLen = 40;
inline constexpr int kValueLen = 1024;
// Columns of a line of an SSE file that are read: keyword and value.
inline constexpr std::size_t kRecordLen = kKeywordLen + kValueLen;
inline constexpr int kFileNameLen = 256;
inline constexpr int kOptionLen = 10;

// Select macro files: items per line and their width.
inline constexpr int kMaxSelectItems = 10;
inline constexpr int kSelectItemLen = 40;

// Histogram of element lengths in ST: lengths 1..24 one by one, then 25 or more.
inline constexpr int kHistogramLengths = 24;

// Units.
inline constexpr int kUnitLibrary = 11;   // database files, user file, EX output
inline constexpr int kUnitPdbTest = 12;   // PDB existence test while loading
inline constexpr int kUnitSelect = 13;    // select macro file
inline constexpr int kUnitTopology = 14;  // topology plot file

}  // namespace kelvor
