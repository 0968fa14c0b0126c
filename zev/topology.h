// The topology plot: helices and strands of a topology plot file (as
// kelvor's TO command writes it) drawn as upright symbols with their names.
#pragma once

#include <string>

#include "state.h"

namespace zev {

// Reads `file` (opened through the search path on unit) and draws it on the
// device and, with ps_wanted, into the PostScript file psfile, which XYVIEW
// opens. object receives the device's number of the picture; error is 0
// unless the file could not be opened.
void PLTTOP(ZevState& st, int unit, std::string& file, bool ps_wanted, const std::string& psfile,
            int& object, int& error);

}  // namespace zev
