// kb4471-manpage FILE: writes the manual page of kb4471, from its --help text. Run by the build;
// the page is installed, the tool is not.
#include <fstream>
#include <iostream>

#include "app/core/CommandLine.h"
#include "app/core/ManPage.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kb4471-manpage FILE\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::out | std::ios::trunc);
  out << kb::app::manPage(kb::app::usageText(), kb::app::versionText());
  out.close();
  if (!out) {
    std::cerr << "kb4471-manpage: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
