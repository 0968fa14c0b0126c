// Error messages, fatal errors and the Mova link of socket mode.
#pragma once

#include <string_view>

namespace zv {

void ERRMSG(std::string_view text);
[[noreturn]] void ERRFAT(std::string_view text);
// ERRMSG in interactive mode, ERRFAT otherwise.
void ERRBAT(std::string_view text);
void MOVAPRINT(int unit, std::string_view text);
void MOVACLOSE(int unit);

}  // namespace zv
