// Conversions shared by the formatted and the list-directed reader: decimal
// text to REAL (correctly rounded straight to single precision) or DOUBLE,
// and the storing of values into read items.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/read.h"

namespace zv::text {

// Builds the value of a decimal number given as its parts and stores it in a
// Real or Double item. `digits` are the mantissa digits with the decimal
// point at `point` digits from the left (point may be any integer), `exp10`
// the exponent. The conversion is one correct rounding (strtof / strtod of
// the exact decimal string), never a float multiplication.
void store_decimal(const ReadItem& it, bool negative, std::string_view digits, long long point,
                   long long exp10);

// Stores +-Infinity or NaN.
void store_special(const ReadItem& it, bool negative, bool nan);

inline void store_int(const ReadItem& it, int v) { *static_cast<int*>(it.p) = v; }

// Text into a CHARACTER*len item: cut or blank padded to exactly len.
void store_text(const ReadItem& it, std::string_view s);

extern std::string g_message;  // message of the last read error

// Remembers the message of the last read error; returns code.
int read_error(int code, std::string_view msg);

// Message text with the 1-based item number in it ("... item 3 ...").
int read_error_item(int code, std::string_view before, std::size_t index, std::string_view after);

}  // namespace zv::text
