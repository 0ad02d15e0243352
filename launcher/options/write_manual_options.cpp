// Build tool: writes the manual page from its template, with the line
// "@OPTIONS_SECTION@" replaced by the OPTIONS section printed from the
// option table, so the page and --help cannot drift apart.
//   write_manual_options TEMPLATE OUTPUT
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "options/option_table.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: write_manual_options TEMPLATE OUTPUT\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "write_manual_options: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream page;
    bool replaced = false;
    for (std::string line; std::getline(in, line);) {
        if (line == "@OPTIONS_SECTION@") {
            page << manualOptionsSection();
            replaced = true;
        } else {
            page << line << '\n';
        }
    }
    if (!replaced) {
        std::fprintf(stderr, "write_manual_options: %s has no @OPTIONS_SECTION@ line\n", argv[1]);
        return 1;
    }
    const std::string partial = std::string(argv[2]) + ".partial";
    std::ofstream out(partial, std::ios::trunc);
    out << page.str();
    out.close();
    if (!out || std::rename(partial.c_str(), argv[2]) != 0) {
        std::remove(partial.c_str());
        std::fprintf(stderr, "write_manual_options: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
