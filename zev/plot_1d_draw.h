// The drawings of the one-dimensional plot types, called by PLT1D for one
// data set once its limits are known and the picture is set up.
#pragma once

#include "plot_data.h"
#include "plot_out.h"

namespace zev {

// The data limits of the picture as drawn (after XYVIEW and widening).
struct Limits {
  float xmin = 0.0f, xmax = 0.0f, ymin = 0.0f, ymax = 0.0f;
};

// Marker half-sizes: MRKSIZ when positive, else 1 % of the range.
void marker_halves(const Plot1D& p, const Limits& lim, float& dx, float& dy);

void draw_scatter(PlotOut& out, const Plot1D& p, const Limits& lim);
void draw_spike(PlotOut& out, const Plot1D& p, const Limits& lim);
void draw_line(PlotOut& out, const Plot1D& p);
// X(n + 1) is set for the last box.
void draw_cd(PlotOut& out, Plot1D& p, const Limits& lim);
void draw_boxplot(const Plot1D& p);
// n becomes n - 1.
void draw_histogram(PlotOut& out, Plot1D& p);
// n becomes n - 1.
void draw_pie(PlotOut& out, Plot1D& p);

}  // namespace zev
