// The conversions: a 1D plot file's points as a CricketGraph text table
// (mode "CRIC"), binned into a counted 2D plot file (mode "COUN"), and a 2D
// plot file as a VRML scene.
#pragma once

#include <string>
#include <string_view>

#include "state.h"

namespace zev {

// PLT2CG: reads the 1D plot file `in` (unit) and writes `out` (unit + 29)
// in the given mode ("CRIC" or "COUN").
void PLT2CG(ZevState& st, std::string_view mode, int unit, std::string& in, std::string& out);

// vrml_2D: reads the 2D plot file `in` (unit) and writes its grid to the
// VRML file `out` (unit + 1) as triangle outlines or, with solid, as faces.
// error is 0 when the scene was written.
void VRML_2D(ZevState& st, int unit, std::string& in, std::string& out, bool solid, int& error);

}  // namespace zev
