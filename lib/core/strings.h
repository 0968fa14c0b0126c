// Text-field helpers. Texts are std::string without significance of trailing
// blanks: a Fortran-style field of width w is the string cut or blank padded
// to w (fit), and "length" is the length without trailing blanks (LENSTR).
#pragma once

#include <string>
#include <string_view>

namespace zv {

// Length without trailing blanks; 0 for an all-blank text.
int LENSTR(std::string_view text);
// LENSTR, but at least 1.
int LENST1(std::string_view text);
// a-z to A-Z / A-Z to a-z; other characters unchanged.
void UPCSTR(std::string& text);
void LOWSTR(std::string& text);
// Removes every blank, closing the gaps.
void NOBLANKS(std::string& text);
// Removes leading blanks and reduces runs of blanks between words to one; a
// text whose length (LENSTR) is 1 or 2 stays unchanged.
void ONEBLANK(std::string& text);

// The text cut or blank padded to exactly w characters.
std::string fit(std::string_view s, std::size_t w);
// The text without trailing blanks.
std::string_view rtrim(std::string_view s);
// Upper-cased copy.
std::string upper(std::string_view s);

}  // namespace zv
