// zev's fixed capacities and start-up constants, each printed or checked from
// this one place.
#pragma once

#include <string_view>

namespace zev {

inline constexpr std::string_view kProgramName = "ZEV";
inline constexpr std::string_view kProgramVersion = "051205/5.6.1";

// 2D plot buffers: elements, default and minimum (ZVBUFFER).
inline constexpr int kDefaultBuffer = 500000;
inline constexpr int kMinBuffer = 10000;

// Option line, words and remembered file names.
inline constexpr int kOptionLineLen = 1024;
inline constexpr int kMaxWords = 10;
inline constexpr int kWordLen = 80;
inline constexpr int kFileNameLen = 128;
inline constexpr int kWindowNameLen = 80;

// Windows of a graphics device (0 holds the data of a run without one).
inline constexpr int kMaxWindows = 8;
inline constexpr int kMaxViewportCols = 1;
inline constexpr int kMaxViewportRows = 1;

// Plot files.
inline constexpr int kMaxPoints = 100000;     // points of one data set (per window)
inline constexpr int kMaxExtras = 1000;       // LINE/BOX/CIRCLE/ELLIPS objects of a plot
inline constexpr int kMaxTextLabels = 100;    // TEXT labels of one data set
inline constexpr int kMaxLevels = 50;         // contour levels
inline constexpr int kLabelLen = 80;          // axis, point and text labels
inline constexpr int kValueLen1D = 250;       // value field of a 1D plot-file line
inline constexpr int kValueLen2D = 1024;      // ... of a 2D plot-file line
inline constexpr int kValueLenTopology = 80;  // ... of a topology plot-file line
inline constexpr int kTitleLen = 40;
inline constexpr int kTypeLen = 10;

// Units: the plot file, the Mova datablock (plot-file unit + 1), the VRML
// file (plot-file unit + 1) and the converted output (plot-file unit + 29).
inline constexpr int kUnitPlot = 11;
inline constexpr int kUnitDatablockOffset = 1;
inline constexpr int kUnitVrmlOffset = 1;
inline constexpr int kUnitConvertOffset = 29;

}  // namespace zev
