#include "output.h"

#include "core/units.h"

namespace martuk {

void out_line(std::string_view text) { (void)zv::unit_write_line(zv::kUnitStdout, text); }

void out_empty() { out_line(""); }

}  // namespace martuk
