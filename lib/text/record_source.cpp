#include "text/read.h"

namespace zv {

bool TextRecordSource::next(std::string_view& rec) {
  if (pos_ >= text_.size()) return false;
  std::size_t start = pos_;
  std::size_t i = start;
  while (i < text_.size() && text_[i] != '\n' && text_[i] != '\r') ++i;
  rec = text_.substr(start, i - start);
  if (i < text_.size()) {
    // LF, CR LF, or a lone CR ends the record.
    if (text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
    ++i;
  }
  pos_ = i;
  return true;
}

}  // namespace zv
