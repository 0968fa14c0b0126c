// The 1D and 2D plotters are not part of this build yet: the options that
// need them say so and the loop goes on.
#include "plots.h"

#include "core/messages.h"

namespace zev {

void PLT1D(ZevState&, int, std::string_view, int, std::string&, const std::string&, bool,
           int& n, std::string_view title, int& object, int& error) {
  zv::ERRMSG("Option " + std::string(title) + " is not available in this build");
  n = 0;
  object = 0;
  error = 1;
}

void PLT2D(ZevState&, int, std::string&, int& n, bool, bool, const std::string&,
           std::string_view title, int& object, int& error) {
  zv::ERRMSG("Option " + std::string(title) + " is not available in this build");
  n = 0;
  object = 0;
  error = 1;
}

}  // namespace zev
