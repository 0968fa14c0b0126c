#include "macro_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace martuk {
namespace {

// Where the record that starts at p (n bytes available) ends: the number of
// content bytes before the first LF or CR, and which of the two (0 when
// neither is in the n bytes). maybe_cr false: the bytes hold no CR.
inline std::size_t line_span(const char* p, std::size_t n, char& terminator, bool maybe_cr) {
  const void* lf = std::memchr(p, '\n', n);
  std::size_t span = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - p) : n;
  const void* cr = maybe_cr ? std::memchr(p, '\r', span) : nullptr;
  if (cr) {
    terminator = '\r';
    return static_cast<std::size_t>(static_cast<const char*>(cr) - p);
  }
  terminator = lf ? '\n' : '\0';
  return span;
}

}  // namespace

MacroFile::~MacroFile() { close(); }

int MacroFile::open(const std::string& path) {
  close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno ? errno : EIO;
  fd_ = fd;
  buf_.resize(std::max<std::size_t>(buffer_bytes_, 1));
  beg_ = end_ = 0;
  buf_offset_ = 0;
  eof_ = false;
  error_ = 0;
  pushed_back_ = false;
  return 0;
}

void MacroFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  eof_ = true;
  pushed_back_ = false;
}

bool MacroFile::fill() {
  if (eof_ || fd_ < 0) return false;
  // Called only once every buffered byte is used.
  buf_offset_ += end_;
  beg_ = end_ = 0;
  for (;;) {
    const ssize_t n = ::read(fd_, buf_.data(), buf_.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error_ = errno ? errno : EIO;
      eof_ = true;
      return false;
    }
    if (n == 0) {
      eof_ = true;
      return false;
    }
    end_ = static_cast<std::size_t>(n);
    // Macros seldom hold a CR: one look per buffer spares one per line.
    has_cr_ = std::memchr(buf_.data(), '\r', end_) != nullptr;
    return true;
  }
}

int MacroFile::next(Record& rec) {
  if (pushed_back_) {
    pushed_back_ = false;
    rec = last_;
    return 0;
  }
  if (beg_ == end_ && !fill()) {
    const int err = error_;
    error_ = 0;  // reported once; the file then reads as ended
    return err ? err : -1;
  }
  rec.start = offset();
  rec.length = 0;
  std::size_t spilled = 0;  // head bytes kept in spill_ across refills
  bool failed = false;
  for (;;) {
    const char* p = buf_.data() + beg_;
    char terminator = '\0';
    const std::size_t span = line_span(p, end_ - beg_, terminator, has_cr_);
    if (terminator != '\0' && rec.length == 0) {
      rec.head = std::string_view(p, std::min(span, kLineLen));  // the usual case: no copy
    } else if (spilled < kLineLen) {
      const std::size_t n = std::min(span, kLineLen - spilled);
      std::memcpy(spill_.data() + spilled, p, n);
      spilled += n;
    }
    rec.length += span;
    beg_ += span;
    if (terminator == '\n') {
      ++beg_;
      break;
    }
    if (terminator == '\r') {
      ++beg_;
      if (beg_ == end_) {
        // The view into the buffer would not survive the refill.
        if (rec.length == span && span > 0) {
          spilled = std::min(span, kLineLen);
          std::memcpy(spill_.data(), p, spilled);
        }
        fill();
      }
      if (beg_ < end_ && buf_[beg_] == '\n') ++beg_;
      break;
    }
    if (!fill()) {  // a last line without a line end, or a failed read
      failed = error_ != 0;
      break;
    }
  }
  if (rec.length != 0 && spilled > 0) rec.head = std::string_view(spill_.data(), spilled);
  else if (rec.length == 0) rec.head = std::string_view();
  if (failed) {
    const int err = error_;
    error_ = 0;
    return err;
  }
  return 0;
}

int copy_records(int fd, std::uint64_t from, std::uint64_t to, LineSink& sink,
                 std::vector<char>& buffer) {
  if (buffer.empty()) buffer.resize(kMacroBufferBytes);
  std::uint64_t pos = from;
  bool in_line = false;     // a record has begun and not yet ended
  bool cr_pending = false;  // the last chunk ended in a CR: an LF next belongs to it
  while (pos < to) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), to - pos));
    const ssize_t n = ::pread(fd, buffer.data(), want, static_cast<off_t>(pos));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno ? errno : EIO;
    if (n == 0) return -1;  // the file is shorter than when it was read
    pos += static_cast<std::uint64_t>(n);
    const char* p = buffer.data();
    const char* const e = p + n;
    if (cr_pending) {
      cr_pending = false;
      if (*p == '\n') ++p;
    }
    const bool maybe_cr = std::memchr(p, '\r', static_cast<std::size_t>(e - p)) != nullptr;
    while (p < e) {
      char terminator = '\0';
      const std::size_t span = line_span(p, static_cast<std::size_t>(e - p), terminator, maybe_cr);
      sink.piece(std::string_view(p, span));
      p += span;
      if (terminator == '\0') {
        in_line = true;
        break;
      }
      sink.end_line();
      in_line = false;
      ++p;
      if (terminator == '\r') {
        if (p < e) {
          if (*p == '\n') ++p;
        } else {
          cr_pending = true;
        }
      }
    }
  }
  if (in_line) sink.end_line();
  return 0;
}

void TrimmedLines::piece(std::string_view bytes) {
  const std::size_t last = bytes.find_last_not_of(' ');
  if (last == std::string_view::npos) {
    pending_blanks_ += bytes.size();
    return;
  }
  static const std::string kBlanks(4096, ' ');
  while (pending_blanks_ > 0) {
    const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(pending_blanks_, kBlanks.size()));
    out_.write(std::string_view(kBlanks.data(), k));
    pending_blanks_ -= k;
  }
  out_.write(bytes.substr(0, last + 1));
  pending_blanks_ = bytes.size() - last - 1;
  any_ = true;
}

void TrimmedLines::end_line() {
  out_.write(any_ ? std::string_view("\n") : std::string_view(" \n"));
  pending_blanks_ = 0;
  any_ = false;
}

}  // namespace martuk
