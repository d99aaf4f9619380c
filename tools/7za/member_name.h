#pragma once

#include <optional>
#include <string>
#include <string_view>

// The file name a member is extracted under: its stored folders are dropped, whether written with
// '/' or, as Windows archivers do, with '\'. Names that would not be a plain file of the output
// folder (empty, ".", "..") give nothing.
std::optional<std::string> member_file_name(std::string_view stored_name);
