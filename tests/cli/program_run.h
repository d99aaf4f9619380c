#pragma once

// Runs a built program of the project (from the bin folder that TALVEX_BIN names) with its
// standard output and standard error captured.

#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <vector>

struct ProgramRun {
    int exit_code = -1;
    std::string output;
    std::string errors;
};

inline std::string bin_folder() {
    const char* bin = std::getenv("TALVEX_BIN");
    if (!bin)
        throw std::runtime_error("TALVEX_BIN does not name the folder of the built programs");
    return std::string(bin) + "/";
}

inline std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// Runs program with the arguments in folder (its captures are written there too); environment holds
// "NAME=value" settings for the program.
inline ProgramRun run_program_in(const std::string& folder, const std::string& program,
                                 const std::vector<std::string>& arguments,
                                 const std::vector<std::string>& environment = {}) {
    std::string command = "cd " + quoted(folder) + " && env";
    for (const auto& setting : environment)
        command += " " + quoted(setting);
    command += " " + quoted(program);
    for (const auto& argument : arguments)
        command += " " + quoted(argument);
    command += " >" + quoted(folder + ".stdout") + " 2>" + quoted(folder + ".stderr");
    const int status = std::system(command.c_str());
    ProgramRun run;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = read_file(folder + ".stdout");
    run.errors = read_file(folder + ".stderr");
    return run;
}
