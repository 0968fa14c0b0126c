#include "result_line.h"

#include "core/dialogue.h"
#include "core/strings.h"
#include "core/units.h"
#include "plotout/xps.h"

namespace zv {

std::string result_line(int width, std::string_view format, std::initializer_list<FmtItem> items) {
  std::string rec;
  (void)format_internal(rec, width, format, items);
  ONEBLANK(rec);
  return std::string(rtrim(rec));
}

void show_result(const std::string& line, bool legend) {
  if (legend) XPS_LEGEND(line);
  TXTOUT(" " + line);
}

void write_terminal(std::string_view format, std::initializer_list<FmtItem> items) {
  std::string out;
  (void)format_append(out, format, items);
  (void)unit_write(kUnitStdout, out);
}

}  // namespace zv
