// A stand-in for 7-Zip's command-line 7za, as much of it as the unpacker uses:
//     7za e "<archive>" "-o<folder>" -r
// extracts every regular file of a 7-Zip or RAR archive, without its stored folders, into the
// folder. Exit code 0: everything extracted; 2: something could not be; 7: a wrong command line.

#include "tools/7za/flat_extraction.h"

#include <clocale>
#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr int k_error = 2;
constexpr int k_usage = 7;

int usage() {
    std::cerr << "usage: 7za e <archive> [-o<folder>] [-r] [-y]\n";
    return k_usage;
}

} // namespace

int main(int argc, char** argv) {
    // libarchive turns names into the locale's encoding and drops those it cannot convert.
    std::setlocale(LC_ALL, "C.UTF-8");

    if (argc < 3 || std::string_view(argv[1]) != "e")
        return usage();
    std::string archive;
    std::string folder = ".";
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with("-o") && argument.size() > 2)
            folder = argument.substr(2);
        else if (argument == "-r" || argument == "-y")
            continue; // a single archive name needs no search, and files are always replaced
        else if (!argument.starts_with('-') && archive.empty())
            archive = argument;
        else
            return usage();
    }
    if (archive.empty())
        return usage();
    return extract_flat(archive, folder, std::cerr) ? 0 : k_error;
}
