// The file layer on gzip files: a ".gz" file is decompressed whole when it
// is clean and of moderate size, else streamed through zlib from its start.
// Whichever way it goes, the lines read must be those of the file's content
// as zlib alone decompresses it, and a file zlib finds damaged must end in an
// error (how much comes before it depends on zlib's buffer sizes).
//
// The first input byte chooses what the file holds: the rest of the input as
// it is, or the rest compressed by zlib (one member, two members, or one with
// a name and a header check) and then damaged at a place the input picks
// (a byte changed, the end cut, bytes added), so that near-valid files are
// reached as well as valid ones.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/units.h"
#include "fuzz_session.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

std::string gzip_member(const std::string& bytes, bool header_check) {
  z_stream z{};
  check(deflateInit2(&z, 6, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) == Z_OK);
  gz_header h{};
  char name[] = "entry.pdb";
  if (header_check) {
    h.name = reinterpret_cast<Bytef*>(name);
    h.hcrc = 1;
    check(deflateSetHeader(&z, &h) == Z_OK);
  }
  std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  check(deflate(&z, Z_FINISH) == Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// The content of the file as zlib streams it, and whether it ended in an error.
std::string zlib_content(const std::string& path, bool& failed) {
  std::string content;
  failed = false;
  gzFile gz = gzopen(path.c_str(), "rb");
  check(gz != nullptr);
  char buf[1 << 16];
  for (;;) {
    const int n = gzread(gz, buf, sizeof buf);
    if (n < 0) {
      failed = true;
      break;
    }
    if (n == 0) {
      int err = Z_OK;
      gzerror(gz, &err);
      failed = err != Z_OK;
      break;
    }
    content.append(buf, static_cast<std::size_t>(n));
    if (content.size() > (std::size_t{16} << 20)) break;  // a bomb: not compared
  }
  gzclose(gz);
  return content;
}

// Lines as the file layer's line rule makes them: an LF ends a line, a CR
// just before it or before the end of the content is dropped.
std::vector<std::string> lines_of(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < content.size()) {
    std::size_t nl = content.find('\n', at);
    const bool last = nl == std::string::npos;
    if (last) nl = content.size();
    std::string line = content.substr(at, nl - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    at = nl + 1;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > (1u << 16)) return 0;
  const unsigned mode = data[0];
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string file;
  if (mode % 4 == 0) {
    file = rest;
  } else {
    // Two bytes of the rest say where to damage the compressed file.
    std::size_t at = 0;
    if (rest.size() >= 2) {
      at = static_cast<unsigned char>(rest[0]) | static_cast<unsigned char>(rest[1]) << 8;
      rest.erase(0, 2);
    }
    if (mode % 4 == 1) file = gzip_member(rest, false);
    if (mode % 4 == 2) file = gzip_member(rest.substr(0, rest.size() / 2), false) +
                              gzip_member(rest.substr(rest.size() / 2), false);
    if (mode % 4 == 3) file = gzip_member(rest, true);
    switch ((mode / 4) % 4) {
      case 0:  // left whole
        break;
      case 1:  // one byte changed
        if (!file.empty()) file[at % file.size()] ^= static_cast<char>(mode | 1);
        break;
      case 2:  // cut
        file.resize(at % (file.size() + 1));
        break;
      case 3:  // bytes added
        file += std::string(1 + mode / 16, static_cast<char>(at));
        break;
    }
  }
  const std::string path = zvfuzz::write_file("input.gz", file);
  bool failed = false;
  const std::string content = zlib_content(path, failed);
  if (content.size() > (std::size_t{16} << 20)) return 0;
  const std::vector<std::string> want = lines_of(content);

  check(zv::unit_open(10, path, zv::UnitMode::Read) == 0);
  std::vector<std::string> got;
  std::string line;
  int rc;
  while ((rc = zv::unit_read_line(10, line)) == 0) {
    if (!failed) check(got.size() < want.size());
    got.push_back(line);
  }
  (void)zv::unit_close(10);
  if (failed) {
    check(rc > 0);
  } else {
    check(rc == -1);
    check(got == want);
  }
  return 0;
}
