// IN and FI: the searches are not part of this build. The option loop has
// already refused them when no user file has been read.
#include "commands.h"
#include "core/messages.h"

namespace kelvor {

void cmd_search(KelvorState&) { zv::ERRMSG("IN and FI are not available in this build"); }

}  // namespace kelvor
