// The unit table. A file opened for reading is a stream read through a buffer
// of fixed size (a ".gz" name through zlib): a line is found with memchr in
// the buffer and copied into the caller's string, and a bounded read skips
// the rest of a long line without holding it, so no input makes the program
// grow. A gzip file of moderate size (a PDB entry, a database file) is
// instead decompressed whole at its first read, about three times faster
// than streaming it; any file the whole decompression does not take cleanly
// (too large, not gzip, cut, corrupt, trailing bytes) is read by the stream
// from its start, so what a reader sees never depends on the path. Each file
// remembers where its last lines began, so stepping back and rewinding seek
// (in the buffer when the line is still there). Units open for writing, unit
// 6 included, collect their bytes in a buffer of their own that goes to the
// stream when it grows large, when asked (unit_flush), before unit 5 is read,
// and at stop; a stream that is a terminal gets every write at once, so that
// a user watching a long run sees each line as it is written.
#include "core/units.h"

#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
// The C library's view of the processor (a C header: its _Bool is not C++
// for clang, which then goes without it).
#if __has_include(<sys/platform/x86.h>) && !defined(__clang__)
#define ZV_CPU_FEATURES_FROM_LIBC 1
#include <sys/platform/x86.h>
#endif
#include <sys/stat.h>
#include <unistd.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>

namespace zv {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;  // bytes collected before a write-out
constexpr std::size_t kReadBuffer = 1 << 18;  // bytes of a file held at once
constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();
// Limits of the whole decompression of a gzip file: its compressed size and
// the size it declares. Larger files are streamed, so memory stays bounded.
constexpr std::size_t kWholeGzipIn = std::size_t{4} << 20;
constexpr std::size_t kWholeGzipOut = std::size_t{16} << 20;

enum class Kind { File, InStream, OutStream };

// How a read ends a line: at an LF only (a CR just before it, or before the
// end of the file, is dropped), or as a formatted READ ends a record (a lone
// CR among the characters kept ends it too).
enum class LineRule { Line, Record };

// Collects what a bounded read reads past. A CR is counted only once the
// next character shows it is not the CR of a CR LF line end.
struct Skipped {
  std::size_t dropped = 0;
  bool nonblank = false;
  bool pending_cr = false;
  void add(const char* p, std::size_t n) {
    if (n == 0) return;
    if (pending_cr) {
      ++dropped;
      nonblank = true;
      pending_cr = false;
    }
    if (p[n - 1] == '\r') {
      pending_cr = true;
      --n;
    }
    dropped += n;
    for (std::size_t i = 0; i < n && !nonblank; ++i) nonblank = p[i] != ' ';
  }
};

#if defined(__x86_64__) && LIBDEFLATE_VERSION_MAJOR == 1 && LIBDEFLATE_VERSION_MINOR == 14 && \
    defined(ZV_CPU_FEATURES_FROM_LIBC)
// libdeflate picks its code for the processor from the CPUID instruction at
// its first call. Under a hypervisor every CPUID traps, at some 13 us each
// (measured here), a good part of decompressing a small entry; the C library
// has read the same features at start-up, so they are handed over from it.
// The word and its bits are those of this libdeflate version (checked
// above); a build against a shared libdeflate does not see the word and
// leaves the choice to libdeflate.
extern "C" __attribute__((weak)) volatile std::uint32_t libdeflate_x86_cpu_features;

void hand_over_cpu_features() {
  if (&libdeflate_x86_cpu_features == nullptr || libdeflate_x86_cpu_features != 0) return;
  std::uint32_t f = 0x80000000u;  // known
  if (CPU_FEATURE_ACTIVE(SSE2)) f |= 0x1u;
  if (CPU_FEATURE_ACTIVE(PCLMULQDQ)) f |= 0x2u;
  if (CPU_FEATURE_ACTIVE(AVX)) f |= 0x4u;
  if (CPU_FEATURE_ACTIVE(AVX2)) f |= 0x8u;
  if (CPU_FEATURE_ACTIVE(BMI2)) f |= 0x10u;
  libdeflate_x86_cpu_features = f;
}
#else
void hand_over_cpu_features() {}
#endif

// The decompressor of whole gzip files, made once (it holds its tables).
libdeflate_decompressor* whole_gzip_decompressor() {
  static const std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> d(
      (hand_over_cpu_features(), libdeflate_alloc_decompressor()), libdeflate_free_decompressor);
  return d.get();
}

// The compressed bytes of a file decompressed whole are read through a
// read-only mapping of the file: no copy, and no fresh memory to fill. Should
// the file be cut by another program meanwhile, touching the lost pages
// raises SIGBUS; while a mapping is read, that signal returns to the reader,
// which then streams the file instead (and meets the cut as zlib does).
sigjmp_buf* g_mapped_read = nullptr;

void on_bus_error(int sig) {
  if (g_mapped_read) siglongjmp(*g_mapped_read, 1);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

class MappedFile {
 public:
  MappedFile(int fd, std::size_t n) : n_(n) {
    void* p = ::mmap(nullptr, n, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (p != MAP_FAILED) p_ = static_cast<const unsigned char*>(p);
  }
  ~MappedFile() {
    if (p_) ::munmap(const_cast<unsigned char*>(p_), n_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  const unsigned char* data() const { return p_; }

 private:
  const unsigned char* p_ = nullptr;
  std::size_t n_;
};

// The size a gzip file declares for its (last) member: the last 4 bytes.
std::size_t declared_size(const unsigned char* last4) {
  return std::size_t{last4[0]} | std::size_t{last4[1]} << 8 | std::size_t{last4[2]} << 16 |
         std::size_t{last4[3]} << 24;
}

// Decompresses a gzip file held whole into out (room bytes); size gets the
// number of bytes. False when the file is not one or more complete gzip
// members making up all its bytes and fitting in room, or when a member
// carries a header check (which the streaming reader verifies and this one
// would not): such files go to the stream.
bool gunzip_whole(const unsigned char* in, std::size_t n, char* out, std::size_t room,
                  std::size_t& size) {
  std::size_t pos = 0;
  size = 0;
  while (pos < n) {
    constexpr unsigned char kHeaderCheck = 0x02;
    if (n - pos < 18 || in[pos] != 0x1f || in[pos + 1] != 0x8b || (in[pos + 3] & kHeaderCheck))
      return false;
    std::size_t used_in = 0;
    std::size_t used_out = 0;
    if (libdeflate_gzip_decompress_ex(whole_gzip_decompressor(), in + pos, n - pos, out + size,
                                      room - size, &used_in, &used_out) != LIBDEFLATE_SUCCESS)
      return false;
    pos += used_in;
    size += used_out;
  }
  return n > 0;
}

// The memory of a file's window: from the heap, or, for a gzip file
// decompressed whole, mapped with all its pages made present in one call,
// which costs far less than the page faults of filling fresh memory.
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  ~Window() { release(); }

  char* get() const { return p_; }
  std::size_t mapped() const { return mapped_; }
  char& operator[](std::size_t i) const { return p_[i]; }
  explicit operator bool() const { return p_ != nullptr; }

  void heap(std::size_t n) {
    release();
    p_ = new char[n];
  }
  bool map(std::size_t n) {
    release();
    void* p = ::mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE,
                     -1, 0);
    if (p == MAP_FAILED) return false;
    p_ = static_cast<char*>(p);
    mapped_ = n;
    return true;
  }
  // Gives back the mapped pages wholly past the first keep bytes.
  void shrink(std::size_t keep) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t from = (keep + page - 1) / page * page;
    if (mapped_ == 0 || from >= mapped_) return;
    ::munmap(p_ + from, mapped_ - from);
    mapped_ = from;
    if (mapped_ == 0) p_ = nullptr;
  }
  void release() {
    if (mapped_ > 0) ::munmap(p_, mapped_);
    else delete[] p_;
    p_ = nullptr;
    mapped_ = 0;
  }

 private:
  char* p_ = nullptr;
  std::size_t mapped_ = 0;  // bytes mapped, 0 for heap memory
};

// A file open for reading: the source (a descriptor, or zlib reading it) and
// a window of its bytes. buf_[0] is byte buf_off_ of the (uncompressed)
// stream; bytes [beg_, end_) are read but not yet consumed. A gzip file
// decompressed whole is one window holding all of it.
class FileReader {
 public:
  FileReader() = default;
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;
  ~FileReader() {
    if (gz_) gzclose(gz_);
    else if (fd_ >= 0) ::close(fd_);
  }

  // Opens the file; reads nothing. Returns 0 or errno.
  int open(const std::string& path, bool gz) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return errno ? errno : EIO;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return errno ? errno : EIO;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    gz_pending_ = gz;
    size_ = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    return 0;
  }

  bool at_eof() const { return eof_; }

  // The usual line: whole in the window, shorter than max, no CR in it. Gives
  // it as a view into the window and consumes it; false (nothing consumed)
  // for any other line.
  bool read_plain(std::string_view& line, std::size_t max) {
    if (beg_ >= end_) return false;
    const char* p = buf_.get() + beg_;
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', std::min(end_ - beg_, max)));
    if (!nl || !no_cr_before(nl)) return false;
    const auto seg = static_cast<std::size_t>(nl - p);
    eof_ = false;
    remember_start(buf_off_ + beg_);
    line = std::string_view(p, seg);
    beg_ += seg + 1;
    return true;
  }

  int read(std::string& out, std::size_t max, LineRule rule, LineCut* cut) {
    if (cut) *cut = LineCut{};
    std::string_view plain;
    if (read_plain(plain, max)) {
      out.assign(plain);
      return 0;
    }
    out.clear();
    if (beg_ == end_) {
      if (int e = fill()) return e;
      if (beg_ == end_) {
        eof_ = true;
        return -1;
      }
    }
    eof_ = false;
    remember_start(buf_off_ + beg_);
    // The characters kept.
    for (;;) {
      if (beg_ == end_) {
        if (int e = fill()) return e;
        if (beg_ == end_) {  // the end of the file ends the last line
          if (rule == LineRule::Line && !out.empty() && out.back() == '\r') out.pop_back();
          return 0;
        }
      }
      const std::size_t room = max - out.size();
      if (room == 0) break;
      const char* p = buf_.get() + beg_;
      const std::size_t n = std::min(end_ - beg_, room);
      const char* nl = static_cast<const char*>(std::memchr(p, '\n', n));
      const std::size_t seg = nl ? static_cast<std::size_t>(nl - p) : n;
      if (rule == LineRule::Record) {
        if (const void* cr = std::memchr(p, '\r', seg)) {
          const std::size_t k = static_cast<std::size_t>(static_cast<const char*>(cr) - p);
          out.append(p, k);
          beg_ += k + 1;
          // A CR LF is one line end.
          if (beg_ == end_) {
            if (int e = fill()) return e;
          }
          if (beg_ < end_ && buf_[beg_] == '\n') ++beg_;
          return 0;
        }
      }
      out.append(p, seg);
      beg_ += seg;
      if (nl) {
        ++beg_;
        if (rule == LineRule::Line && !out.empty() && out.back() == '\r') out.pop_back();
        return 0;
      }
    }
    // The rest of a long line, read past up to its LF.
    Skipped skip;
    for (;;) {
      if (beg_ == end_) {
        if (int e = fill()) return e;
        if (beg_ == end_) break;
      }
      const char* p = buf_.get() + beg_;
      const std::size_t n = end_ - beg_;
      const char* nl = static_cast<const char*>(std::memchr(p, '\n', n));
      const std::size_t seg = nl ? static_cast<std::size_t>(nl - p) : n;
      skip.add(p, seg);
      beg_ += seg;
      if (nl) {
        ++beg_;
        break;
      }
    }
    // A line of exactly max characters and its CR LF: the CR was kept.
    if (rule == LineRule::Line && skip.dropped == 0 && !skip.pending_cr && !out.empty() &&
        out.back() == '\r')
      out.pop_back();
    if (cut) *cut = LineCut{skip.dropped, !skip.nonblank};
    return 0;
  }

  // True when no CR lies between the read position and end: the next CR
  // of the window is remembered, so a file without CRs is searched once.
  bool no_cr_before(const char* end) {
    const char* p = buf_.get() + beg_;
    if (cr_at_ == nullptr || cr_at_ < p) {
      cr_at_ = static_cast<const char*>(std::memchr(p, '\r', end_ - beg_));
      if (cr_at_ == nullptr) cr_at_ = buf_.get() + end_;
    }
    return cr_at_ >= end;
  }

  int backspace() {
    if (eof_) {
      // After the end of the file the step back lands after the last line,
      // as after an endfile record.
      eof_ = false;
      return 0;
    }
    if (nstarts_ == 0) return buf_off_ + beg_ == 0 ? 0 : ESPIPE;
    const std::uint64_t at = starts_[(first_start_ + nstarts_ - 1) % kMaxBackspace];
    if (int e = seek(at)) return e;
    --nstarts_;
    return 0;
  }

  int rewind() {
    if (int e = seek(0)) return e;
    nstarts_ = 0;
    eof_ = false;
    return 0;
  }

 private:
  // Reads more bytes once the window is consumed: 0 with nothing added at
  // the end of the file, else 0 or an error number. The beginning of the last
  // line stays in the window when it is near, so one step back stays cheap.
  int fill() {
    if (gz_pending_) {
      if (int e = start_gzip()) return e;
    }
    if (src_eof_) return 0;
    cr_at_ = nullptr;  // the window moves and grows
    if (!buf_) buf_.heap(kReadBuffer);
    std::size_t keep = beg_;
    if (nstarts_ > 0) {
      const std::uint64_t last = starts_[(first_start_ + nstarts_ - 1) % kMaxBackspace];
      if (last >= buf_off_ && buf_off_ + beg_ - last <= kReadBuffer / 4)
        keep = static_cast<std::size_t>(last - buf_off_);
    }
    std::memmove(buf_.get(), buf_.get() + keep, end_ - keep);
    buf_off_ += keep;
    beg_ -= keep;
    end_ -= keep;
    for (;;) {
      const std::size_t want = kReadBuffer - end_;
      if (gz_) {
        const int n = gzread(gz_, buf_.get() + end_, static_cast<unsigned>(want));
        if (n < 0) return EIO;  // corrupt compressed data
        if (n == 0) {
          // A cut compressed file reads as a short one: zlib tells it apart.
          int zerr = Z_OK;
          gzerror(gz_, &zerr);
          if (zerr != Z_OK) return EIO;
          src_eof_ = true;
          return 0;
        }
        end_ += static_cast<std::size_t>(n);
        return 0;
      }
      const ssize_t n = ::read(fd_, buf_.get() + end_, want);
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno ? errno : EIO;
      }
      if (n == 0) {
        src_eof_ = true;
        return 0;
      }
      end_ += static_cast<std::size_t>(n);
      return 0;
    }
  }

  // At the first read of a gzip file: its whole decompression, or else zlib
  // streaming it from its start. Returns 0 or an error number.
  int start_gzip() {
    gz_pending_ = false;
    if (size_ >= 18 && size_ <= kWholeGzipIn) {
      const auto n = static_cast<std::size_t>(size_);
      const MappedFile in(fd_, n);
      std::size_t got = 0;
      if (in.data() && gunzip_mapped(in.data(), n, got) && same_size(n)) {
        buf_.shrink(got);
        buf_off_ = 0;
        beg_ = 0;
        end_ = got;
        src_eof_ = true;
        whole_ = true;
        cr_at_ = nullptr;
        return 0;
      }
      buf_.release();
    }
    gz_ = gzdopen(fd_, "rb");
    if (!gz_) return ENOMEM;
    fd_ = -1;  // zlib owns the descriptor now
    gzbuffer(gz_, 1 << 18);
    return 0;
  }

  // Decompresses the mapped file whole into buf_, mapped for the size the
  // file declares. False (the file is left to the stream) when that size is
  // out of bounds, the decompression fails, or the file is cut meanwhile.
  bool gunzip_mapped(const unsigned char* bytes, std::size_t n, std::size_t& got) {
    struct sigaction bus {};
    struct sigaction old_bus {};
    bus.sa_handler = on_bus_error;
    sigemptyset(&bus.sa_mask);
    if (::sigaction(SIGBUS, &bus, &old_bus) != 0) return false;
    sigjmp_buf env;
    volatile bool ok = false;
    if (sigsetjmp(env, 1) == 0) {
      g_mapped_read = &env;
      const std::size_t declared = declared_size(bytes + n - 4);
      ok = declared > 0 && declared <= kWholeGzipOut && buf_.map(declared) &&
           gunzip_whole(bytes, n, buf_.get(), declared, got);
    }
    g_mapped_read = nullptr;
    ::sigaction(SIGBUS, &old_bus, nullptr);
    return ok;
  }

  // True when the file still has the size it had at its opening.
  bool same_size(std::size_t n) const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 && static_cast<std::size_t>(st.st_size) == n;
  }

  int seek(std::uint64_t at) {
    cr_at_ = nullptr;
    if (at >= buf_off_ && at <= buf_off_ + end_) {
      beg_ = static_cast<std::size_t>(at - buf_off_);
      return 0;
    }
    if (gz_pending_) {
      if (int e = start_gzip()) return e;
      if (at <= end_) {
        beg_ = static_cast<std::size_t>(at);
        return 0;
      }
    }
    if (whole_) return ESPIPE;  // nothing lies outside the one window
    if (gz_) {
      gzclearerr(gz_);
      if (gzseek(gz_, static_cast<z_off_t>(at), SEEK_SET) < 0) return ESPIPE;
    } else if (::lseek(fd_, static_cast<off_t>(at), SEEK_SET) < 0) {
      return errno ? errno : ESPIPE;
    }
    buf_off_ = at;
    beg_ = end_ = 0;
    src_eof_ = false;
    return 0;
  }

  void remember_start(std::uint64_t at) {
    if (nstarts_ == kMaxBackspace) {
      first_start_ = (first_start_ + 1) % kMaxBackspace;
      --nstarts_;
    }
    starts_[(first_start_ + nstarts_) % kMaxBackspace] = at;
    ++nstarts_;
  }

  int fd_ = -1;
  gzFile gz_ = nullptr;
  bool gz_pending_ = false;  // a gzip file not read yet
  bool whole_ = false;       // a gzip file decompressed whole into buf_
  std::uint64_t size_ = 0;   // bytes of a regular file at its opening
  Window buf_;
  std::uint64_t buf_off_ = 0;
  std::size_t beg_ = 0;
  std::size_t end_ = 0;
  const char* cr_at_ = nullptr;  // the next CR at or after the read position, or buf_ + end_
  bool src_eof_ = false;
  bool eof_ = false;
  // Where the last lines began (a ring of kMaxBackspace offsets).
  std::uint64_t starts_[kMaxBackspace] = {};
  std::size_t first_start_ = 0;
  std::size_t nstarts_ = 0;
};

struct Unit {
  Kind kind = Kind::File;
  std::string name;
  // File: the stream being read.
  std::unique_ptr<FileReader> file;
  bool eof = false;  // InStream: end of input met
  // Streams.
  std::FILE* fp = nullptr;
  bool owns_fp = false;
  std::string out;  // bytes not yet handed to fp
  bool at_once = false;  // a terminal: every write goes out at once
  int write_error = 0;  // the first error of a write or flush
  std::string held;  // the last record read by unit_read_record_view as a copy
  // InStream: the previous line, so that one step back is possible.
  std::string last;
  bool have_last = false;
  bool pushed_back = false;
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
    if (err != 0 && u.write_error == 0) u.write_error = err;
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

// One line of a stream (unit 5 on the program's standard input), read a
// character at a time under the same rules as a file: stdio buffers it, and
// answers are short.
int read_stream_line(Unit& u, std::string& line, std::size_t max, LineRule rule, LineCut* cut) {
  if (cut) *cut = LineCut{};
  if (u.pushed_back) {
    u.pushed_back = false;
    line = u.last;
    return 0;
  }
  if (u.eof) return -1;
  // A question must be visible before the program waits for its answer.
  if (Unit* out = table().find(kUnitStdout)) UnitTable::flush(*out);
  line.clear();
  std::FILE* fp = u.fp;
  Skipped skip;
  bool any = false;
  char one[1];
  for (;;) {
    errno = 0;
    const int c = getc_unlocked(fp);
    if (c == EOF) {
      if (std::ferror(fp)) {
        const int e = errno ? errno : EIO;
        std::clearerr(fp);
        // The error is reported once; the stream (a directory, a terminal
        // that hung up) gives nothing more, so later reads meet end of input
        // and a command loop ends instead of repeating its default for ever.
        u.eof = true;
        return e;
      }
      if (!any) {
        u.eof = true;
        return -1;
      }
      break;
    }
    any = true;
    if (c == '\n') break;
    if (line.size() < max && skip.dropped == 0 && !skip.pending_cr) {
      if (c == '\r') {
        const int d = getc_unlocked(fp);
        if (d == '\n' || d == EOF) break;  // the CR of a CR LF line end (or of the last line)
        ungetc(d, fp);
        if (rule == LineRule::Record) break;  // a lone CR ends a record
      }
      line.push_back(static_cast<char>(c));
      continue;
    }
    one[0] = static_cast<char>(c);
    skip.add(one, 1);
  }
  if (cut) *cut = LineCut{skip.dropped, !skip.nonblank};
  u.last = line;
  u.have_last = true;
  return 0;
}

int read_unit(int unit, std::string& line, std::size_t max, LineRule rule, LineCut* cut) {
  Unit* u = table().find(unit);
  if (!u) return EBADF;
  switch (u->kind) {
    case Kind::File:
      return u->file->read(line, max, rule, cut);
    case Kind::InStream:
      return read_stream_line(*u, line, max, rule, cut);
    case Kind::OutStream:
      return EBADF;
  }
  return EBADF;
}

}  // namespace

int unit_open(int unit, const std::string& path, UnitMode mode) {
  if (unit < 0) return EBADF;
  if (path.find('\0') != std::string::npos) return EINVAL;  // would name another file
  unit_close(unit);
  if (mode == UnitMode::Read) {
    auto file = std::make_unique<FileReader>();
    if (int err = file->open(path, ends_with_gz(path))) return err;
    Unit& u = table().make(unit);
    u.kind = Kind::File;
    u.name = path;
    u.file = std::move(file);
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
  return read_unit(unit, line, kUnbounded, LineRule::Line, nullptr);
}

int unit_read_line(int unit, std::string& line, std::size_t max, LineCut* cut) {
  return read_unit(unit, line, max, LineRule::Line, cut);
}

int unit_read_record(int unit, std::string& record, std::size_t max, LineCut* cut) {
  return read_unit(unit, record, max, LineRule::Record, cut);
}

int unit_read_record_view(int unit, std::string_view& record, std::size_t max, LineCut* cut) {
  Unit* u = table().find(unit);
  if (!u) {
    record = {};
    return EBADF;
  }
  if (u->kind == Kind::File && u->file->read_plain(record, max)) {
    if (cut) *cut = LineCut{};
    return 0;
  }
  // Any other record is read as a copy the unit holds, and viewed there.
  const int rc = read_unit(unit, u->held, max, LineRule::Record, cut);
  record = u->held;
  return rc;
}

bool unit_at_eof(int unit) {
  Unit* u = table().find(unit);
  if (!u) return false;
  return u->kind == Kind::File ? u->file->at_eof() : u->eof;
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
  if (u->kind != Kind::File) return 0;
  return u->file->backspace();
}

int unit_rewind(int unit) {
  Unit* u = table().find(unit);
  if (!u) return EBADF;
  if (u->kind == Kind::File) return u->file->rewind();
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
  const bool is_file = u->owns_fp || u->kind == Kind::File;
  if (standard && !is_file) return err;  // the program's own streams stay open
  if (u->owns_fp && u->fp && std::fclose(u->fp) != 0 && err == 0) err = errno ? errno : EIO;
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

int unit_write_error(int unit) {
  Unit* u = table().find(unit);
  return u ? u->write_error : 0;
}

int unit_close_checked(int unit) {
  const int first = unit_write_error(unit);
  const int err = unit_close(unit);
  return first != 0 ? first : err;
}

void unit_flush_all() { table().flush_all(); }

void unit_bind_stream(int unit, std::FILE* fp) { table().bind(unit, fp); }

int unit_fd(int unit) {
  Unit* u = table().find(unit);
  if (!u || u->kind == Kind::File || !u->fp) return -1;
  return ::fileno(u->fp);
}

void unit_reset_stdio() { table().reset_stdio(); }

}  // namespace zv
