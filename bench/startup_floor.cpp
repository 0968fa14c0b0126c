// The floor of the start-up benchmark (bench/prynol_startup.sh): the least a
// C++ program started once per file does. It reads its standard input to the
// end, line by line, and exits. Built with the compiler's default options.
#include <iostream>
#include <string>

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  return 0;
}
