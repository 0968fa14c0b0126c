// The unit table: small positive integers naming open text files. Unit 5 is
// the program's standard input and unit 6 its standard output. Files opened
// for reading (files whose name ends in ".gz" through zlib) are read as a
// stream through a buffer of fixed size, so memory does not grow with the
// file; opening one reads nothing. Stepping back and rewinding work on them.
#pragma once

#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "text/format.h"

namespace zv {

inline constexpr int kUnitStdin = 5;
inline constexpr int kUnitStdout = 6;

enum class UnitMode { Read, Write, Append };

// Opens path on unit (closing what the unit had open). Returns 0, or the
// operating system's error number (errno) when the open fails.
[[nodiscard]] int unit_open(int unit, const std::string& path, UnitMode mode);
bool unit_is_open(int unit);
// Name of the file open on the unit (empty when none).
std::string unit_name(int unit);

// Reads the next line without its line end; a CR before the LF is dropped.
// Returns 0, -1 at end of file, or a positive error number. The whole line is
// kept however long it is: a reader of files from users reads through the
// bounded forms below.
[[nodiscard]] int unit_read_line(int unit, std::string& line);

// What a bounded read read past without keeping.
struct LineCut {
  std::size_t dropped = 0;  // characters of the line past the ones kept
  bool blank = true;        // all of them blanks
};
// As unit_read_line, keeping at most max characters of the line: the rest is
// read past (never held) up to the LF. cut, when given, tells what was left.
[[nodiscard]] int unit_read_line(int unit, std::string& line, std::size_t max,
                                 LineCut* cut = nullptr);
// Reads the next record as a formatted READ of at most max characters sees
// it: among those characters an LF, a CR LF or a lone CR ends the record;
// past them the rest is read past up to the LF, CRs included. Every reader
// of data files uses this rule.
[[nodiscard]] int unit_read_record(int unit, std::string& record, std::size_t max,
                                   LineCut* cut = nullptr);
// As unit_read_record, giving the record as a view that stays valid until the
// next operation on the unit: a record lying whole in a file's buffer is not
// copied (readers of large files, such as a PDB file's, use it).
[[nodiscard]] int unit_read_record_view(int unit, std::string_view& record, std::size_t max,
                                        LineCut* cut = nullptr);
// True once unit 5 has met end of input, or a read error after which the
// stream gives nothing more (reported once, then end of input).
bool unit_at_eof(int unit);
// Steps back one line / to the first line of a file opened for reading. A
// file remembers where its last kMaxBackspace lines began; stepping back
// further, or back on a pipe whose line is no longer buffered, returns an
// error number (ESPIPE) and leaves the position as it was.
inline constexpr int kMaxBackspace = 1024;
int unit_backspace(int unit);
int unit_rewind(int unit);

// Writes raw bytes / a line with its line end. Returns 0 or an error number.
int unit_write(int unit, std::string_view bytes);
int unit_write_line(int unit, std::string_view line);
// WRITE(unit, format) items. Returns 0 or an error number / iostat.
int unit_write_fmt(int unit, std::string_view format, std::initializer_list<FmtItem> items);
int unit_flush(int unit);
// Flushes and closes; closing a unit that is not open does nothing. Returns
// the error of the flush or close (0 when none).
int unit_close(int unit);
// The first error met by any write or flush of the unit since it was
// opened (0 when none): a writer that does not test every write tests this.
int unit_write_error(int unit);
// Closes a unit open for writing and returns the first error met by any of
// its writes since it was opened, else the error of the final flush and
// close: 0 means that every byte written reached the file.
[[nodiscard]] int unit_close_checked(int unit);
// Flushes every unit open for writing (done at program stop).
void unit_flush_all();

// Rebinds unit 5, 6 or 0 (standard error) to another stream (tests run the dialogue in-process on
// memory streams). The stream is not closed by the unit table.
void unit_bind_stream(int unit, std::FILE* fp);
// The file descriptor of a unit bound to a stream (-1 for a file read into
// memory, a memory stream, or a unit that is not open).
int unit_fd(int unit);
// Restores units 5, 6 and 0 to the process's stdin, stdout and stderr and
// forgets the end-of-input state of unit 5.
void unit_reset_stdio();

}  // namespace zv
