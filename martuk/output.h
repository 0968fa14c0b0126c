// Terminal lines of martuk on unit 6.
#pragma once

#include <string_view>

namespace martuk {

// One line written as it is / an empty line.
void out_line(std::string_view text);
void out_empty();

}  // namespace martuk
