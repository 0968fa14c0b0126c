// The question-and-answer dialogue on units 5 and 6. Every ii routine shows a
// prompt with the current values in parentheses and reads one answer line; an
// empty answer (or end of input) keeps the values. The uo routines write the
// same line without reading. All return the dialogue status: 0 success, -2
// buffer overflow, -3 no variables, -4 format overflow, -5 output buffer
// overflow, positive for a malformed answer or an I/O error.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace zv {

// Text answers: `text` is cut to len characters and kept without trailing
// blanks.
int textii(std::string_view prompt, std::string& text, int len);
int textuo(std::string_view text1, std::string_view text2);
// A file name answer: as textii, but an answer longer than len characters
// (trailing blanks aside) is never cut to a name of another file. It is
// refused with ERRMSG "File name longer than <len> characters"; an
// interactive run asks again, a batch run returns kNameTooLong with `file`
// unchanged, and the caller then fails as it does when the file cannot be
// opened.
inline constexpr int kNameTooLong = -6;
int fileii(std::string_view prompt, std::string& file, int len);

int ivalii(std::string_view prompt, std::span<int> vals);
int jvalii(std::string_view prompt, std::span<int> vals);
int fvalii(std::string_view prompt, std::span<float> vals);
inline int ivalii(std::string_view prompt, int& v) { return ivalii(prompt, std::span<int>(&v, 1)); }
inline int jvalii(std::string_view prompt, int& v) { return jvalii(prompt, std::span<int>(&v, 1)); }
inline int fvalii(std::string_view prompt, float& v) { return fvalii(prompt, std::span<float>(&v, 1)); }
// items: texts of declared length len each.
int asciii(std::string_view prompt, std::span<std::string> items, int len);

int ivaluo(std::string_view text, std::span<const int> vals);
int jvaluo(std::string_view text, std::span<const int> vals);
int fvaluo(std::string_view text, std::span<const float> vals);
int rvaluo(std::string_view text, std::span<const float> vals);
int gvaluo(std::string_view text, std::span<const float> vals);
inline int ivaluo(std::string_view t, int v) { return ivaluo(t, std::span<const int>(&v, 1)); }
inline int jvaluo(std::string_view t, int v) { return jvaluo(t, std::span<const int>(&v, 1)); }
inline int fvaluo(std::string_view t, float v) { return fvaluo(t, std::span<const float>(&v, 1)); }
inline int rvaluo(std::string_view t, float v) { return rvaluo(t, std::span<const float>(&v, 1)); }
inline int gvaluo(std::string_view t, float v) { return gvaluo(t, std::span<const float>(&v, 1)); }
int asciuo(std::string_view text, std::span<const std::string> items, int len);

bool YESNO(std::string_view question);
void TXTOUT(std::string_view text);
// Splits a line into at most maxitems items (items must hold maxitems
// elements; each item is cut to len characters). ierr is always 0.
void EXTROP(std::string_view line, int& nitems, int maxitems, std::span<std::string> items,
            int len, int& ierr);
[[nodiscard]] int STRINT(std::string_view text, int& ival);
[[nodiscard]] int STRREAL(std::string_view text, float& val);

// True once a question has met end of input on unit 5 (or a read error,
// which is reported once and then counts as end of input): a command loop
// then ends the program normally instead of repeating its default for ever.
bool input_exhausted();

}  // namespace zv
