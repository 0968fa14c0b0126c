// The old macro as a stream of records read through a bounded buffer. A
// record ends at LF, CR LF or a lone CR; a last line without a line end is a
// record. Each record is handed over with its byte offset in the file and its
// first kLineLen bytes, so that a line of any length (a 10 MB line too) costs
// no more memory than the buffer: the blocks of the new macro are copied
// later straight from the file by byte range.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "capacities.h"

namespace martuk {

inline constexpr std::size_t kMacroBufferBytes = 256 * 1024;

struct Record {
  std::uint64_t start = 0;   // offset of its first byte
  std::uint64_t length = 0;  // bytes without the line end
  // The first min(length, kLineLen) bytes; valid until the next call of
  // MacroFile::next or step_back.
  std::string_view head;
};

class MacroFile {
 public:
  // buffer_bytes: size of the read buffer (small sizes serve the tests).
  explicit MacroFile(std::size_t buffer_bytes = kMacroBufferBytes) : buffer_bytes_(buffer_bytes) {}
  ~MacroFile();
  MacroFile(const MacroFile&) = delete;
  MacroFile& operator=(const MacroFile&) = delete;

  // Opens the file for reading from its start. Returns 0 or errno.
  [[nodiscard]] int open(const std::string& path);
  void close();
  bool is_open() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // The next record: 0, -1 at end of file, or errno of a failed read (the
  // file then reads as ended).
  [[nodiscard]] int next(Record& rec);
  // The next call of next() hands over this record (the one the last call
  // gave) again.
  void step_back(const Record& last) {
    last_head_.assign(last.head);
    last_ = last;
    last_.head = last_head_;
    pushed_back_ = true;
  }
  // Offset just after the last byte read so far (the file size once next()
  // has met end of file).
  std::uint64_t offset() const { return buf_offset_ + beg_; }

 private:
  // Reads more bytes into the buffer; false at end of file or error.
  bool fill();

  std::size_t buffer_bytes_;
  int fd_ = -1;
  std::vector<char> buf_;
  std::size_t beg_ = 0, end_ = 0;  // unread bytes are buf_[beg_, end_)
  std::uint64_t buf_offset_ = 0;   // file offset of buf_[0]
  bool has_cr_ = false;            // the buffer holds a CR somewhere
  bool eof_ = false;
  int error_ = 0;
  Record last_;
  std::string last_head_;
  bool pushed_back_ = false;
  // The head of a record that runs over a refill of the buffer.
  std::array<char, kLineLen> spill_{};
};

// Receives the lines of a copied byte range, one call per piece; a line may
// come in several pieces, and its end is marked by end_line().
class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void piece(std::string_view bytes) = 0;
  virtual void end_line() = 0;
};

// Copies the records of the byte range [from, to) of the file open on fd,
// reading through `buffer` (made kMacroBufferBytes long when empty). Returns 0, -1 when the
// file ends before `to`, or errno of a failed read.
[[nodiscard]] int copy_records(int fd, std::uint64_t from, std::uint64_t to, LineSink& sink,
                               std::vector<char>& buffer);

// Where the bytes of the new macro go.
class ByteOut {
 public:
  virtual ~ByteOut() = default;
  virtual void write(std::string_view bytes) = 0;
};

// A sink that writes every line up to its last non-blank character (blanks
// only; a tab is kept), and at least one character, followed by LF.
class TrimmedLines : public LineSink {
 public:
  explicit TrimmedLines(ByteOut& out) : out_(out) {}
  void piece(std::string_view bytes) override;
  void end_line() override;

 private:
  ByteOut& out_;
  std::uint64_t pending_blanks_ = 0;  // trailing blanks not yet known to be inner
  bool any_ = false;                  // a non-blank byte was written in this line
};

}  // namespace martuk
