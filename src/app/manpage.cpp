// kb4471-manpage FILE [HELP]: writes the manual page of kb4471, from its --help text, or of
// another program of the package from the --help text saved in the file HELP. Run by the build;
// the pages are installed, the tool is not.
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/core/CommandLine.h"
#include "app/core/ManPage.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: kb4471-manpage FILE [HELP]\n";
    return 2;
  }
  std::string help = kb::app::usageText();
  if (argc == 3) {
    std::ifstream in(argv[2]);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in || text.str().empty()) {
      std::cerr << "kb4471-manpage: cannot read " << argv[2] << '\n';
      return 1;
    }
    help = text.str();
  }
  std::ofstream out(argv[1], std::ios::out | std::ios::trunc);
  out << kb::app::manPage(help, kb::app::versionText());
  out.close();
  if (!out) {
    std::cerr << "kb4471-manpage: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
