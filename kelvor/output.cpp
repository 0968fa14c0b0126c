#include "output.h"

#include <string>

#include "core/frame.h"
#include "core/units.h"

namespace kelvor {

void out_fmt(std::string_view format, std::initializer_list<zv::FmtItem> items) {
  (void)zv::unit_write_fmt(zv::kUnitStdout, format, items);
}

void out_line(std::string_view text) { (void)zv::unit_write_line(zv::kUnitStdout, text); }

void out_empty() { out_line(""); }

void out_list(std::string_view text) {
  std::string line = " ";
  line += text;
  out_line(line);
}

void echo_keyword(std::string_view key, std::string_view value) {
  out_fmt("(1X,A6,' > ',A,1X,A)", {key, value});
}

void print_entry_header(std::string_view name, std::string_view note, std::string_view pdb) {
  echo_keyword("MOL", name);
  echo_keyword("NOTE", note);
  echo_keyword("PDB", pdb);
}

void print_element_line(int number, const Element& e) {
  out_fmt("(1X,'====== > ',I3,1X,4(A6,1X),I4)",
          {number, type_keyword(e.type), e.name.padded(), e.from.padded(), e.to.padded(), e.nres});
}

void print_element_header() {
  out_fmt("(1X,'====== > ',A3,1X,4(A6,1X),A4)", {"Nr", "Type", "Name", "From", "To", "Nres"});
}

void print_cpu_line(std::string_view label) {
  float total = 0, user = 0, sys = 0;
  zv::CPUDIF(total, user, sys);
  out_fmt("(1x,a,3f10.1)", {label, total, user, sys});
}

}  // namespace kelvor
