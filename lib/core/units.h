// The unit table: small positive integers naming open text files. Unit 5 is
// the program's standard input and unit 6 its standard output. Files opened
// for reading are read whole (files whose name ends in ".gz" through zlib), so
// reading a line, stepping back one line and rewinding are cheap.
#pragma once

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
// Returns 0, -1 at end of file, or a positive error number.
[[nodiscard]] int unit_read_line(int unit, std::string& line);
// True once unit 5 has met end of input, or a read error after which the
// stream gives nothing more (reported once, then end of input).
bool unit_at_eof(int unit);
// Steps back one line / to the first line of a file opened for reading.
int unit_backspace(int unit);
int unit_rewind(int unit);

// Writes raw bytes / a line with its line end. Returns 0 or an error number.
int unit_write(int unit, std::string_view bytes);
int unit_write_line(int unit, std::string_view line);
// WRITE(unit, format) items. Returns 0 or an error number / iostat.
int unit_write_fmt(int unit, std::string_view format, std::initializer_list<FmtItem> items);
int unit_flush(int unit);
// Flushes and closes; closing a unit that is not open does nothing.
int unit_close(int unit);
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
