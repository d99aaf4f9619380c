#pragma once

// INI files read through inih. The installed inih holds at most 199 bytes of a line: a longer line
// reaches it cut, and the rest would parse as lines of its own. Here the rest of such a line is
// dropped, and a cut line whose value the caller takes is refused, so that a long folder or well
// name is never taken shortened.

#include <functional>
#include <string>

// Called for each "name=value" line in file order with the current section; returns true when the
// caller takes the value.
using IniValueHandler = std::function<bool(const char* section, const char* name, const char* value)>;

// Reads path; a missing or unreadable file calls nothing. Throws std::runtime_error naming the file
// and the line when the handler takes the value of a line too long to be read whole.
void read_ini_file(const std::string& path, const IniValueHandler& handler);
