// Numeric and logical output fields as the gfortran runtime writes them:
// integers (I, B, O, Z), reals (F, E, EN, ES, D, G) and logicals (L).
//
// Every function fills `field` (cleared first) with exactly the characters of
// the field: w characters, or the minimal width when w is 0. Reals are
// rounded from their exact binary value, ties to even, so a REAL prints the
// digits of the float itself (2.675 as a REAL is 2.67499995 and F5.2 gives
// 2.67).
#pragma once

#include <cstdint>
#include <string>

#include "text/format_program.h"

namespace zv::text {

enum class SignMode : std::uint8_t { Default, Plus, Suppress };

// I, B, O, Z (and G) of an integer. B, O and Z show the bits of a default
// INTEGER (32-bit two's complement) for values in its range.
void field_integer(std::string& field, std::int64_t v, const Tok& t, SignMode sign);

// F, E, EN, ES, D or G of a real; `single` is true for a REAL (float): it
// decides G's choice of form (made in the kind's precision) and the minimal
// forms. Returns 0, or 5006 when the scale factor is out of range for an E
// or D field (the field is then empty).
int field_real(std::string& field, double v, bool single, const Tok& t, int scale,
               SignMode sign);

// Lw of a logical.
void field_logical(std::string& field, bool v, int w);

// Infinity and NaN in a field of width w (0: minimal), as the runtime writes
// them.
void field_infnan(std::string& field, double v, int w, SignMode sign);

// List-directed forms (WRITE(6,*)) without the separator blank: INTEGER in
// 11 columns, REAL in 16 (9 significant digits), DOUBLE in 25 (17 digits).
void list_integer(std::string& field, std::int64_t v);
void list_real(std::string& field, double v, bool single);

}  // namespace zv::text
