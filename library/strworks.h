#pragma once

// Small string helpers: a 0-terminated copy of a text for system calls, a tokenizer for command
// lines and separated lists, and an array whose element access checks the index.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lib {

// A 0-terminated copy of a text that lives as long as the converter.
class StrCharCvt {
public:
    explicit StrCharCvt(std::string_view text);
    const char* c_str() const { return buffer.data(); }

private:
    std::vector<char> buffer;
};

// The tokens of one line of text. At a space separator a token that starts with a double quote
// runs to the next double quote (or to the end of the text); at any other separator the text is
// cut at every separator and line break, and a separator at the very end gives no empty token.
class StringContainer {
public:
    StringContainer() = default;
    StringContainer(const StringContainer&) = delete;
    StringContainer& operator=(const StringContainer&) = delete;

    // Replaces the tokens by those of the text (blanks and control characters around it ignored)
    // and moves the cursor to the first.
    void split(std::string_view text, char separator);

    // The token at index; index -1 means the token at the cursor, and the cursor moves on by one
    // even when there is no such token. An index out of range gives the empty string.
    std::string get(std::int32_t index = -1);

    std::int32_t count() const { return static_cast<std::int32_t>(tokens.size()); }
    std::int32_t cursor() const { return next; }

private:
    std::vector<std::string> tokens;
    std::int32_t next = 0;
};

// The third blank-separated token of the text ("Nov 20 2008" gives "2008"), or the empty string.
std::string word(const char* text);

// The integer a text holds: blanks before it allowed, an optional sign, decimal digits or
// hexadecimal ones after "$" or "0x"; fallback when the text is anything else or out of range.
std::int32_t string_to_int(std::string_view text, std::int32_t fallback);

// A fixed number of elements, zero-initialised; access out of range throws
// std::range_error("array::operator[]").
template <class T> class array {
public:
    explicit array(std::int32_t size)
        : data(std::make_unique<T[]>(size > 0 ? size : 0)), count(size > 0 ? size : 0) {}

    T& operator[](std::int32_t index) { return data[checked(index)]; }
    const T& operator[](std::int32_t index) const { return data[checked(index)]; }
    std::int32_t size() const { return count; }

private:
    std::int32_t checked(std::int32_t index) const {
        if (index < 0 || index >= count)
            throw std::range_error("array::operator[]");
        return index;
    }

    std::unique_ptr<T[]> data;
    std::int32_t count;
};

} // namespace lib
