#include "core/strings.h"

namespace zv {

int LENSTR(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') --n;
  return static_cast<int>(n);
}

int LENST1(std::string_view text) {
  int n = LENSTR(text);
  return n < 1 ? 1 : n;
}

void UPCSTR(std::string& text) {
  std::size_t n = static_cast<std::size_t>(LENSTR(text));
  for (std::size_t i = 0; i < n; ++i)
    if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
}

void LOWSTR(std::string& text) {
  std::size_t n = static_cast<std::size_t>(LENSTR(text));
  for (std::size_t i = 0; i < n; ++i)
    if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
}

void NOBLANKS(std::string& text) {
  std::size_t w = 0;
  for (char c : text)
    if (c != ' ') text[w++] = c;
  text.resize(w);
}

void ONEBLANK(std::string& text) {
  int len = LENSTR(text);
  if (len <= 2) return;
  // In place: the text only shrinks, so what is written never overtakes
  // what is still to be read.
  std::size_t out = 0;
  bool blank = true;  // drops leading blanks
  for (int i = 0; i < len; ++i) {
    const char c = text[static_cast<std::size_t>(i)];
    if (c == ' ') {
      if (!blank) text[out++] = ' ';
      blank = true;
    } else {
      text[out++] = c;
      blank = false;
    }
  }
  text.resize(out);
}

std::string fit(std::string_view s, std::size_t w) {
  std::string out(s.substr(0, w));
  out.resize(w, ' ');
  return out;
}

std::string_view rtrim(std::string_view s) {
  return s.substr(0, static_cast<std::size_t>(LENSTR(s)));
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace zv
