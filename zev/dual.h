// Dual output: the bridge that draws one polyline or sets one colour both on
// the graphics device and in the PostScript file, as the 2D plots need.
#pragma once

#include <span>

namespace zev {

// The mapping from grid units to data units that DUALPL applies: a point
// (x, y) in grid units becomes (x * dx + xmin, y * dy + ymin), each operation
// in single precision. PLT2D sets it before it draws.
void dual_set_mapping(float dx, float dy, float xmin, float ymin);
// Whether DUALPL and DUALCL write to the PostScript file (on at start;
// PLT2D turns it off around the screen-only contouring of a ramp plot).
void dual_set_postscript(bool on);
bool dual_postscript();

// Polyline of n points given in grid units: on the device (if present)
// through its polyline, and in the PostScript file (if on) as XPS_MOVE to
// the first point, XPS_DRAW to the others and XPS_STROKE. The caller's
// arrays are not changed; n is limited to the arrays' sizes.
void DUALPL(std::span<const float> x, std::span<const float> y, int n);
// Colour number on the device and, if on, in the PostScript file.
void DUALCL(int colour);

}  // namespace zev
