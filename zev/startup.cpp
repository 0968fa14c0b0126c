// Start-up of zev.
#include "startup.h"

#include <cstdio>
#include <cstring>

#include "core/dialogue.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/utils.h"

namespace zev {

namespace {

constexpr const char* kUsage =
    "zev - plotting program: draws plot files as Encapsulated PostScript and converts them\n"
    "\n"
    "usage: zev [-I | -B | -S] [ZVBUFFER n]\n"
    "  -I  interactive (default): questions on the terminal\n"
    "  -B  batch: answers piped in on standard input, one per line\n"
    "  -S  socket mode under Mova: messages sent as Mova print commands\n"
    "  ZVBUFFER n  size of the 2D plot buffers in grid points (overrides the variable)\n"
    "\n"
    "Environment:\n"
    "  ZVBUFFER  size of the 2D plot buffers (default 500000, at least 10000)\n"
    "  ZVPATH    directories searched for input files not found in the current one\n"
    "\n"
    "At the \" Option ?\" prompt, ? lists the options and quit ends the program.\n"
    "User guide: docs/zev.md\n";

}  // namespace

bool usage_asked(int argc, char** argv) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--help") != 0 && std::strcmp(argv[1], "-h") != 0) return false;
  std::fputs(kUsage, stdout);
  return true;
}

int buffer_size() {
  int n = kDefaultBuffer;
  zv::ENVINT("ZVBUFFER", n);
  if (n < kMinBuffer) n = kMinBuffer;
  (void)zv::jvaluo(" Allocate 2D plot buffers of size :", n);
  return n;
}

bool allocate_buffers(Buffers& buf, int n) {
  const std::int64_t words = 4 * static_cast<std::int64_t>(n);
  buf.n = n;
  buf.real = static_cast<float*>(zv::MEMALL(words));
  buf.words = static_cast<std::int32_t*>(zv::MEMALL(words));
  buf.ints = static_cast<std::int32_t*>(zv::MEMALL(words));
  buf.bytes = static_cast<unsigned char*>(zv::MEMALL(2 * static_cast<std::int64_t>(n)));
  if (buf.real && buf.words && buf.ints && buf.bytes) return true;
  zv::ERRMSG("Could not allocate sufficient memory");
  free_buffers(buf);
  return false;
}

void free_buffers(Buffers& buf) {
  zv::MEMFRE(buf.real);
  zv::MEMFRE(buf.words);
  zv::MEMFRE(buf.ints);
  zv::MEMFRE(buf.bytes);
  buf = Buffers{};
}

}  // namespace zev
