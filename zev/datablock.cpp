// The Mova datablock reader.
#include "datablock.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"

namespace zev {

namespace {

// The header line as four words; false when it has fewer than three or the
// number cannot be read.
bool read_header(PlotSource& src, DatablockHeader& hdr) {
  std::string_view rec;
  if (!src.next(rec)) {
    zv::ERRMSG("Mova datablock - no header line");
    return false;
  }
  std::array<std::string, 4> words;
  int nwords = 0, ierr = 0;
  zv::EXTROP(rec, nwords, 4, words, 80, ierr);
  if (nwords < 3) {
    zv::ERRMSG("Mova datablock - header needs label, type, number and format");
    (void)zv::textuo(" Header :", rec);
    return false;
  }
  hdr.label = words[0];
  hdr.type = words[1];
  hdr.format = nwords >= 4 ? words[3] : std::string();
  (void)zv::textuo(" Label  :", hdr.label);
  (void)zv::textuo(" Type   :", hdr.type);
  (void)zv::textuo(" Format :", hdr.format);
  int count = 0;
  if (zv::STRINT(words[2], count) != 0) {
    zv::ERRMSG("Mova datablock - invalid number of values");
    return false;
  }
  (void)zv::jvaluo(" Number :", count);
  if (count < 0 || count > kMaxPoints) {
    zv::ERRMSG("Mova datablock - number of values must be 0 to " +
               std::to_string(kMaxPoints) + "; datablock skipped");
    return false;
  }
  hdr.count = count;
  return true;
}

void report_data_error(int iostat) {
  if (iostat == zv::kIostatEnd) {
    zv::ERRMSG("Mova datablock - end of file before all values were read");
  } else {
    zv::ERRMSG("Mova datablock - cannot read the values");
  }
}

}  // namespace

int read_datablock(PlotSource& src, DatablockTarget target, PointStore& pts, int& n,
                   DatablockHeader& hdr) {
  DatablockHeader h;
  if (!read_header(src, h)) return -1;
  const std::size_t count = static_cast<std::size_t>(h.count);
  char kind = h.type.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(h.type[0])));
  if (target == DatablockTarget::Labels) kind = 'A';

  DataFormat fmt;  // free format unless the type reads with the format
  if (kind == 'I' || kind == 'F' || kind == 'A') {
    fmt = data_format(h.format);
    if (!fmt.free && fmt.format.empty() && count > 0) {
      zv::ERRMSG("Mova datablock - no format in the header");
      return -1;
    }
  }

  std::vector<zv::ReadItem> items;
  items.reserve(count);
  int iostat = 0;
  if (kind == 'A') {
    std::vector<std::string> texts(count);
    for (auto& t : texts) items.emplace_back(t, kLabelLen);
    iostat = read_data(src, fmt, items);
    if (iostat != 0) {
      report_data_error(iostat);
      return -1;
    }
    pts.ensure();
    for (std::size_t i = 0; i < count; ++i) pts.label[i + 1] = std::move(texts[i]);
    pts.labelled = std::max(pts.labelled, h.count);
  } else {
    std::vector<float> vals(count, 0.0f);
    std::vector<int> ivals;
    if (kind == 'I') {
      ivals.assign(count, 0);
      for (auto& v : ivals) items.emplace_back(v);
    } else {
      for (auto& v : vals) items.emplace_back(v);
    }
    iostat = read_data(src, fmt, items);
    if (iostat != 0) {
      report_data_error(iostat);
      return -1;
    }
    if (kind == 'I') {
      for (std::size_t i = 0; i < count; ++i) vals[i] = static_cast<float>(ivals[i]);
    }
    pts.ensure();
    std::vector<float>& dst = target == DatablockTarget::X ? pts.x : pts.y;
    for (std::size_t i = 0; i < count; ++i) dst[i + 1] = vals[i];
  }
  n = h.count;
  hdr = std::move(h);
  return 0;
}

int read_datablock_file(int unit, std::string file, DatablockTarget target, PointStore& pts,
                        int& n, DatablockHeader& hdr) {
  const int ierr = zv::XOPXOA(unit, file, zv::ISINTR());
  if (ierr != 0) return ierr;
  PlotSource src(unit);
  const int rc = read_datablock(src, target, pts, n, hdr);
  (void)zv::unit_close(unit);
  return rc;
}

}  // namespace zev
