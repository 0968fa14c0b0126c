// zev's start-up: the usage text, the size of the 2D plot buffers and their
// allocation.
#pragma once

#include "state.h"

namespace zev {

// True when the only argument is --help or -h: the usage has then been
// printed and the program ends.
bool usage_asked(int argc, char** argv);

// The buffer size: ZVBUFFER (environment or command-line pair), default
// kDefaultBuffer, at least kMinBuffer; reported with jvaluo.
int buffer_size();

// Allocates the four buffers of n elements. False after "Could not
// allocate sufficient memory" (nothing stays allocated then).
bool allocate_buffers(Buffers& buf, int n);
void free_buffers(Buffers& buf);

}  // namespace zev
