// The unit table. Files opened for reading are loaded whole into memory (a
// ".gz" name is decompressed through zlib on the way), so that reading a line
// is a memchr and a copy into the caller's string, and stepping back or
// rewinding only moves an offset. Units open for writing, unit 6 included,
// collect their bytes in a buffer of their own that goes to the stream when it
// grows large, when asked (unit_flush), before unit 5 is read, and at stop; a
// stream that is a terminal gets every write at once, so that a user watching
// a long run sees each line as it is written.
#include "core/units.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace zv {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;  // bytes collected before a write-out
constexpr std::size_t kGzChunk = 1 << 20;

enum class Kind { Memory, InStream, OutStream };

// The bytes of a file read whole. The memory comes straight from mmap and is
// marked for huge pages: on a machine where every fresh page costs a fault,
// that makes loading a 100 MB database several times faster than a
// std::string (which would also zero-fill it first).
class FileBytes {
 public:
  FileBytes() = default;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  FileBytes(FileBytes&& o) noexcept { swap(o); }
  FileBytes& operator=(FileBytes&& o) noexcept {
    swap(o);
    return *this;
  }
  ~FileBytes() {
    if (p_) ::munmap(p_, cap_);
  }

  const char* data() const { return p_; }
  std::size_t size() const { return size_; }
  char operator[](std::size_t i) const { return p_[i]; }
  // Room for at least n more bytes after size(); false when memory runs out.
  bool reserve_more(std::size_t n) {
    if (cap_ - size_ >= n) return true;
    std::size_t want = std::max(cap_ * 2, size_ + n);
    const bool huge = want >= kHuge;  // small files stay on small pages
    const std::size_t unit = huge ? kHuge : kPage;
    want = (want + unit - 1) / unit * unit;
    void* q = p_ ? ::mremap(p_, cap_, want, MREMAP_MAYMOVE)
                 : ::mmap(nullptr, want, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (q == MAP_FAILED) return false;
    if (huge) ::madvise(q, want, MADV_HUGEPAGE);
    p_ = static_cast<char*>(q);
    cap_ = want;
    return true;
  }
  char* tail() { return p_ + size_; }
  std::size_t room() const { return cap_ - size_; }
  void grow(std::size_t n) { size_ += n; }

 private:
  static constexpr std::size_t kHuge = 2u << 20;
  static constexpr std::size_t kPage = 4096;
  void swap(FileBytes& o) noexcept {
    std::swap(p_, o.p_);
    std::swap(size_, o.size_);
    std::swap(cap_, o.cap_);
  }
  char* p_ = nullptr;
  std::size_t size_ = 0;
  std::size_t cap_ = 0;
};

struct Unit {
  Kind kind = Kind::Memory;
  std::string name;
  // Memory: the whole file and the offset of the next line.
  FileBytes data;
  std::size_t pos = 0;
  bool eof = false;
  // Streams.
  std::FILE* fp = nullptr;
  bool owns_fp = false;
  std::string out;  // bytes not yet handed to fp
  bool at_once = false;  // a terminal: every write goes out at once
  // InStream: the previous line, so that one step back is possible.
  std::string last;
  bool have_last = false;
  bool pushed_back = false;
  char* getline_buf = nullptr;
  std::size_t getline_cap = 0;

  ~Unit() { std::free(getline_buf); }
};

class UnitTable {
 public:
  UnitTable() { reset_stdio(); }
  ~UnitTable() { flush_all(); }

  Unit* find(int unit) {
    if (unit == cached_no_ && cached_) return cached_;
    auto it = units_.find(unit);
    if (it == units_.end()) return nullptr;
    cached_no_ = unit;
    cached_ = it->second.get();
    return cached_;
  }

  Unit& make(int unit) {
    auto& slot = units_[unit];
    slot = std::make_unique<Unit>();
    cached_no_ = unit;
    cached_ = slot.get();
    return *slot;
  }

  void erase(int unit) {
    units_.erase(unit);
    cached_ = nullptr;
  }

  // Binds unit 5 or 6 (or 0, standard error) to a stream not owned by us.
  void bind(int unit, std::FILE* fp) {
    if (Unit* u = find(unit)) {
      flush(*u);
      if (u->owns_fp && u->fp) std::fclose(u->fp);
    }
    Unit& u = make(unit);
    u.kind = unit == kUnitStdin ? Kind::InStream : Kind::OutStream;
    u.fp = fp;
    u.at_once = unit == 0 || (u.kind == Kind::OutStream && fp && ::isatty(::fileno(fp)));
  }

  void reset_stdio() {
    bind(kUnitStdin, stdin);
    bind(kUnitStdout, stdout);
    bind(0, stderr);
  }

  static int flush(Unit& u) {
    if (u.kind != Kind::OutStream || !u.fp) return 0;
    int err = 0;
    if (!u.out.empty()) {
      if (std::fwrite(u.out.data(), 1, u.out.size(), u.fp) != u.out.size()) err = errno ? errno : EIO;
      u.out.clear();  // a failed write drops the bytes: a broken stream must not grow
    }
    if (std::fflush(u.fp) != 0 && err == 0) err = errno ? errno : EIO;
    return err;
  }

  void flush_all() {
    for (auto& [no, u] : units_) flush(*u);
  }

 private:
  std::unordered_map<int, std::unique_ptr<Unit>> units_;
  int cached_no_ = -1;
  Unit* cached_ = nullptr;
};

UnitTable& table() {
  static UnitTable t;
  return t;
}

bool ends_with_gz(const std::string& path) {
  return path.size() > 3 && path.compare(path.size() - 3, 3, ".gz") == 0;
}

int load_plain(const std::string& path, FileBytes& data) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    int e = errno;
    ::close(fd);
    return e;
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return EISDIR;
  }
  // One byte more than the size, so that the end is seen in one pass.
  std::size_t chunk = S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : kGzChunk;
  for (;;) {
    if (!data.reserve_more(chunk)) {
      ::close(fd);
      return ENOMEM;
    }
    ssize_t n = ::read(fd, data.tail(), data.room());
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      return e;
    }
    if (n == 0) break;
    data.grow(static_cast<std::size_t>(n));
    chunk = kGzChunk;
  }
  ::close(fd);
  return 0;
}

int load_gz(const std::string& path, FileBytes& data) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return EISDIR;
  errno = 0;
  gzFile gz = gzopen(path.c_str(), "rb");
  if (!gz) return errno ? errno : ENOMEM;
  gzbuffer(gz, 1 << 18);
  // Compressed text shrinks about four times: start with room for that.
  std::size_t chunk = S_ISREG(st.st_mode) ? 4 * static_cast<std::size_t>(st.st_size) + kGzChunk
                                          : 4 * kGzChunk;
  for (;;) {
    if (data.room() < kGzChunk && !data.reserve_more(chunk)) {
      gzclose(gz);
      return ENOMEM;
    }
    const unsigned want = static_cast<unsigned>(std::min<std::size_t>(data.room(), 1u << 30));
    int n = gzread(gz, data.tail(), want);
    if (n < 0) {
      gzclose(gz);
      return EIO;  // corrupt compressed data
    }
    if (n == 0) break;
    data.grow(static_cast<std::size_t>(n));
    chunk = kGzChunk;
  }
  // A truncated stream reads as a short file without a gzread error; gzerror
  // and gzclose report it (Z_BUF_ERROR).
  int zerr = Z_OK;
  gzerror(gz, &zerr);
  int rc = gzclose(gz);
  if (zerr != Z_OK || rc != Z_OK) return EIO;
  return 0;
}

// Removes the CR of a CRLF line end.
inline std::size_t without_cr(const char* p, std::size_t n) {
  return n > 0 && p[n - 1] == '\r' ? n - 1 : n;
}

int read_stream_line(Unit& u, std::string& line) {
  if (u.pushed_back) {
    u.pushed_back = false;
    line = u.last;
    return 0;
  }
  if (u.eof) return -1;
  // A question must be visible before the program waits for its answer.
  if (Unit* out = table().find(kUnitStdout)) UnitTable::flush(*out);
  errno = 0;
  ssize_t n = ::getline(&u.getline_buf, &u.getline_cap, u.fp);
  if (n < 0) {
    if (std::ferror(u.fp)) {
      int e = errno ? errno : EIO;
      std::clearerr(u.fp);
      // The error is reported once; the stream (a directory, a terminal
      // that hung up) gives nothing more, so later reads meet end of input
      // and a command loop ends instead of repeating its default for ever.
      u.eof = true;
      return e;
    }
    u.eof = true;
    return -1;
  }
  std::size_t len = static_cast<std::size_t>(n);
  if (len > 0 && u.getline_buf[len - 1] == '\n') --len;
  line.assign(u.getline_buf, without_cr(u.getline_buf, len));
  u.last = line;
  u.have_last = true;
  return 0;
}

}  // namespace

int unit_open(int unit, const std::string& path, UnitMode mode) {
  if (unit < 0) return EBADF;
  if (path.find('\0') != std::string::npos) return EINVAL;  // would name another file
  unit_close(unit);
  if (mode == UnitMode::Read) {
    FileBytes data;
    int err = ends_with_gz(path) ? load_gz(path, data) : load_plain(path, data);
    if (err) return err;
    Unit& u = table().make(unit);
    u.kind = Kind::Memory;
    u.name = path;
    u.data = std::move(data);
    return 0;
  }
  std::FILE* fp = std::fopen(path.c_str(), mode == UnitMode::Append ? "ae" : "we");
  if (!fp) return errno ? errno : EIO;
  Unit& u = table().make(unit);
  u.kind = Kind::OutStream;
  u.name = path;
  u.fp = fp;
  u.owns_fp = true;
  return 0;
}

bool unit_is_open(int unit) { return table().find(unit) != nullptr; }

std::string unit_name(int unit) {
  Unit* u = table().find(unit);
  return u ? u->name : std::string();
}

int unit_read_line(int unit, std::string& line) {
  Unit* u = table().find(unit);
  if (!u) return EBADF;
  switch (u->kind) {
    case Kind::Memory: {
      const std::size_t size = u->data.size();
      if (u->pos >= size) {
        u->eof = true;
        return -1;
      }
      const char* begin = u->data.data() + u->pos;
      const void* nl = std::memchr(begin, '\n', size - u->pos);
      std::size_t len = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - begin)
                           : size - u->pos;
      line.assign(begin, without_cr(begin, len));
      u->pos += nl ? len + 1 : len;
      return 0;
    }
    case Kind::InStream:
      return read_stream_line(*u, line);
    case Kind::OutStream:
      return EBADF;
  }
  return EBADF;
}

bool unit_at_eof(int unit) {
  Unit* u = table().find(unit);
  return u && u->eof;
}

int unit_backspace(int unit) {
  Unit* u = table().find(unit);
  if (!u) return EBADF;
  if (u->kind == Kind::InStream) {
    if (u->eof) {
      u->eof = false;  // back before the end of input: the next read meets it again
      return 0;
    }
    if (u->have_last) u->pushed_back = true;
    return 0;
  }
  if (u->kind != Kind::Memory) return 0;
  if (u->eof) {
    // After end of file the step back lands after the last line, as after
    // an endfile record.
    u->eof = false;
    return 0;
  }
  std::size_t p = u->pos;
  if (p == 0) return 0;
  // The line just read ends at p - 1 (its LF) or at the end of a last line
  // without LF.
  if (u->data[p - 1] == '\n') --p;
  while (p > 0 && u->data[p - 1] != '\n') --p;
  u->pos = p;
  return 0;
}

int unit_rewind(int unit) {
  Unit* u = table().find(unit);
  if (!u) return EBADF;
  if (u->kind == Kind::Memory) {
    u->pos = 0;
    u->eof = false;
    return 0;
  }
  if (u->kind == Kind::OutStream) {
    UnitTable::flush(*u);
    return std::fseek(u->fp, 0, SEEK_SET) == 0 ? 0 : errno;
  }
  if (std::fseek(u->fp, 0, SEEK_SET) != 0) return errno ? errno : ESPIPE;
  u->eof = false;
  u->have_last = false;
  u->pushed_back = false;
  return 0;
}

int unit_write(int unit, std::string_view bytes) {
  Unit* u = table().find(unit);
  if (!u || u->kind != Kind::OutStream) return EBADF;
  u->out.append(bytes);
  return u->at_once || u->out.size() >= kFlushAt ? UnitTable::flush(*u) : 0;
}

int unit_write_line(int unit, std::string_view line) {
  Unit* u = table().find(unit);
  if (!u || u->kind != Kind::OutStream) return EBADF;
  u->out.append(line);
  u->out.push_back('\n');
  return u->at_once || u->out.size() >= kFlushAt ? UnitTable::flush(*u) : 0;
}

int unit_write_fmt(int unit, std::string_view format, std::initializer_list<FmtItem> items) {
  Unit* u = table().find(unit);
  if (!u || u->kind != Kind::OutStream) return EBADF;
  int rc = format_append(u->out, format, items);
  if (rc != 0) return rc;
  return u->at_once || u->out.size() >= kFlushAt ? UnitTable::flush(*u) : 0;
}

int unit_flush(int unit) {
  Unit* u = table().find(unit);
  if (!u) return EBADF;
  return UnitTable::flush(*u);
}

int unit_close(int unit) {
  Unit* u = table().find(unit);
  if (!u) return 0;
  int err = UnitTable::flush(*u);
  const bool standard = unit == kUnitStdin || unit == kUnitStdout || unit == 0;
  const bool is_file = u->owns_fp || u->kind == Kind::Memory;
  if (standard && !is_file) return err;  // the program's own streams stay open
  if (u->owns_fp && u->fp && std::fclose(u->fp) != 0 && err == 0) err = errno;
  u->fp = nullptr;
  u->owns_fp = false;
  if (standard) {
    // A file opened on a standard unit gives the unit back to its stream.
    table().bind(unit, unit == kUnitStdin ? stdin : unit == kUnitStdout ? stdout : stderr);
    return err;
  }
  table().erase(unit);
  return err;
}

void unit_flush_all() { table().flush_all(); }

void unit_bind_stream(int unit, std::FILE* fp) { table().bind(unit, fp); }

int unit_fd(int unit) {
  Unit* u = table().find(unit);
  if (!u || u->kind == Kind::Memory || !u->fp) return -1;
  return ::fileno(u->fp);
}

void unit_reset_stdio() { table().reset_stdio(); }

}  // namespace zv
