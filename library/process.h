#pragma once

// Starting an external program, and the file-name helpers the pipeline and the data browser share.
// None of them throws for a missing file or folder.

#include "library/fileworks.h" // the attribute bits of the masks

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lib {

// Runs the program and waits for it to end; true when it could be started. When exit_code is
// given it receives the program's exit code (128 + the signal number when a signal ended it). An
// empty current folder means the program's own folder. The program's output goes to /dev/null;
// with_console has no meaning here and is accepted for the callers' sake.
bool run_program(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& current_folder, bool with_console, int* exit_code = nullptr);

// The same with the arguments as one command-line text: split at blanks, a token that starts with
// a double quote running to the next double quote ("e \"a b.7z\" -r").
bool run_program(const std::string& program, std::string_view arguments, const std::string& current_folder,
                 bool with_console);

// Appends the names (without folder) of the entries matching the mask to names, in the order the
// file system gives them; adds the low 32 bits of each size to *total when total is given.
void list_file_names(std::string_view mask, std::vector<std::string>& names, std::int32_t attribute_mask,
                     std::uint32_t* total = nullptr);

// Copies a regular file (a symbolic link is not followed) with its permissions and last-write
// time, replacing the target. The data goes to a hidden temporary file in the target's folder that
// reaches the disk and is renamed over the target only when complete, so neither a failure nor a
// crash leaves a half-written file under the target name. False when nothing was copied.
bool copy_file(const std::string& source, const std::string& target);

// Copies every file of source_folder matching the mask into target_folder (both ending with '/'),
// replacing files of the same name. A file that cannot be copied is passed over; a copy never
// leaves a half-written file under the target name.
void copy_files_by_mask(std::string_view source_folder, std::string_view target_folder,
                        std::string_view mask);

// The number before the first dot of the file name ("12.5.tim" gives 12); -1 when the name has no
// dot or that text is not an integer.
int number_from_file_name(std::string_view path);

} // namespace lib
