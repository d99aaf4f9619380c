#pragma once

// The command line of talvex2-unpack:
//   talvex2-unpack [--from DIR] [--to DIR] [--registry FILE] [--work DIR] [PACKAGE]
// Values may also follow an '=' ("--to=/data/gti").

#include <optional>
#include <string>
#include <vector>

struct UnpackOptions {
    std::optional<std::string> from, to, registry, work;
    std::string package; // empty: every package of the input folder
    bool help = false;
};

// Throws std::invalid_argument with a message for the user when the command line is not valid.
UnpackOptions parse_unpack_options(const std::vector<std::string>& arguments);

extern const char* const k_unpack_usage;
