// Writes the manual pages, shell completions and icons from the programs' own
// tables at build time: velloq-docgen KIND VERSION OUTPUT.

#include "Completion.h"
#include "IconSvg.h"
#include "ManPage.h"

#include <fstream>
#include <iostream>
#include <map>

int main(int argc, char** argv) {
    using namespace velloq::dist;
    if (argc != 4) {
        std::cerr << "usage: velloq-docgen KIND VERSION OUTPUT\n";
        return 2;
    }
    const std::string version = argv[2];
    const std::map<std::string, std::string (*)(const std::string&)> kinds{
        {"velloq.1", clientManPage},
        {"velloq-server.1", serverManPage},
        {"bash", [](const std::string&) { return bashCompletion(); }},
        {"zsh", [](const std::string&) { return zshCompletion(); }},
        {"app-icon", [](const std::string&) { return applicationIconSvg(); }},
        {"symbolic-icon", [](const std::string&) { return symbolicIconSvg(); }},
    };
    const auto kind = kinds.find(argv[1]);
    if (kind == kinds.end()) {
        std::cerr << "velloq-docgen: unknown kind " << argv[1] << "\n";
        return 2;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << kind->second(version);
    out.close();
    if (!out) {
        std::cerr << "velloq-docgen: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
