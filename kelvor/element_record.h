// Reading the value of an element record: name, from, to, nres and the head
// and tail coordinates, as a list-directed READ of these ten items gives them.
#pragma once

#include <string_view>

#include "model.h"

namespace kelvor {

// Returns 0 on success, -1 when the value ends before all ten items are
// read or when any of them is a null value or follows a slash (the record
// does not hold all ten), or a positive number for a malformed item (the
// list-directed READ's status). Records in the usual layout (quoted or plain labels, blank
// separated numbers) take a hand-written path; everything else goes through
// the general list-directed reader, so the result is always the reader's.
int read_element_record(std::string_view value, ElementFields& f);

// The general list-directed reader alone (used when the fast path declines).
int read_element_record_general(std::string_view value, ElementFields& f);

// The fast path alone: true when it accepted the record (f filled), false
// when the record needs the general reader (f then undefined).
bool read_element_record_fast(std::string_view value, ElementFields& f);

}  // namespace kelvor
