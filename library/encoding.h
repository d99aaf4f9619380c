#pragma once

// Conversions between the Windows-1251 bytes of the station's files and the UTF-8 of file names and
// of the program's own texts, and the case folding both need. The one place where text changes
// its encoding.

#include <string>
#include <string_view>

namespace lib {

// Every Windows-1251 byte has a character; the unassigned 0x98 becomes U+0098 so it survives a
// round trip.
std::string cp1251_to_utf8(std::string_view text);

// Characters without a Windows-1251 byte, and bytes that are not valid UTF-8, become '?'.
std::string utf8_to_cp1251(std::string_view text);

// Lower case in Windows-1251: Latin A-Z, Cyrillic А-Я (0xC0-0xDF to 0xE0-0xFF), Ё (0xA8 to 0xB8);
// every other byte is returned unchanged.
char cp1251_lower(char c);
std::string cp1251_lower(std::string_view text);

// Equality of two Windows-1251 texts ignoring case as cp1251_lower folds it.
bool cp1251_iequals(std::string_view a, std::string_view b);

// Lower case of a UTF-8 text: Latin A-Z and the Cyrillic capitals U+0400-U+042F; everything else,
// invalid bytes included, is kept as it is.
std::string utf8_lower(std::string_view text);

} // namespace lib
