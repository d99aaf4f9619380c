#pragma once

#include <ostream>
#include <string>

// Extracts every regular file of a 7-Zip or RAR archive into the folder (created when missing),
// without the stored folders; a file already there is replaced. Links, devices and folders
// create nothing. A member that cannot be extracted whole (damaged data, a failed CRC, a name
// that is no file name) is left out and named on errors, and the members after it are still
// extracted while the archive can be read. Returns false when anything was left out for an error.
bool extract_flat(const std::string& archive_path, const std::string& folder, std::ostream& errors);
