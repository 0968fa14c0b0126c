// Terminal output of kelvor: formatted lines on unit 6 and the lines that
// several commands share (keyword echoes, entry headers, element lists).
#pragma once

#include <initializer_list>
#include <string_view>

#include "model.h"
#include "text/format.h"

namespace kelvor {

// WRITE(6, format) items.
void out_fmt(std::string_view format, std::initializer_list<zv::FmtItem> items);
// One line written as it is / an empty line.
void out_line(std::string_view text);
void out_empty();
// A list-directed line of one text: a blank, then the text.
void out_list(std::string_view text);

// "(1X,A6,' > ',A,1X,A)" with a keyword and a value.
void echo_keyword(std::string_view key, std::string_view value);
// The MOL, NOTE and PDB lines of an entry.
void print_entry_header(std::string_view name, std::string_view note, std::string_view pdb);
// "(1X,'====== > ',I3,1X,4(A6,1X),I4)": number within the entry, type
// keyword, name, from, to, nres.
void print_element_line(int number, const Element& e);
// The header of an element list.
void print_element_header();
// The CPU-time line "(1x,a,3f10.1)" with the times since the last reading.
void print_cpu_line(std::string_view label);

}  // namespace kelvor
