#pragma once

// Where the program keeps what belongs to it: the folder of the running executable, and the state
// folder for the settings file, the registry file and the work folder.

#include <string>

// The folder of the running executable (symbolic links resolved), with its trailing '/'.
std::string program_folder();

// The program folder when it is writable (a build tree, an unpacked copy); otherwise the per-user
// data folder "$XDG_DATA_HOME/Talvex2/" (or "~/.local/share/Talvex2/"), created when missing.
// Ends with '/'.
std::string state_folder();
