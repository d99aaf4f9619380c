#include "library/encoding.h"

#include <array>
#include <cstdint>

namespace lib {

namespace {

// Characters of the bytes 0x80-0xBF; 0xC0-0xFF are А-я, U+0410-U+044F, in order.
constexpr std::array<char16_t, 64> k_upper_half = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
};

constexpr char32_t k_invalid = 0xFFFFFFFF;

char32_t cp1251_code_point(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return 0x0410 + (byte - 0xC0);
    return k_upper_half[byte - 0x80];
}

int cp1251_byte(char32_t code_point) {
    if (code_point < 0x80)
        return static_cast<int>(code_point);
    if (code_point >= 0x0410 && code_point <= 0x044F)
        return static_cast<int>(code_point - 0x0410 + 0xC0);
    for (std::size_t i = 0; i < k_upper_half.size(); ++i)
        if (k_upper_half[i] == code_point)
            return static_cast<int>(0x80 + i);
    return -1;
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the UTF-8 sequence at text[pos], advancing pos past it. An invalid sequence (a stray
// continuation byte, a truncated, overlong or surrogate form, a value above U+10FFFF) gives
// k_invalid and advances by one byte only.
char32_t next_code_point(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int length = 0;
    char32_t c = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, smallest = 0x10000;
    } else {
        ++pos;
        return k_invalid;
    }
    if (text.size() - pos < static_cast<std::size_t>(length)) {
        ++pos;
        return k_invalid;
    }
    for (int i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if ((byte & 0xC0) != 0x80) {
            ++pos;
            return k_invalid;
        }
        c = (c << 6) | (byte & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return k_invalid;
    }
    pos += length;
    return c;
}

} // namespace

std::string cp1251_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text)
        append_utf8(out, cp1251_code_point(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8_to_cp1251(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const int byte = cp1251_byte(next_code_point(text, pos));
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

char cp1251_lower(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDF))
        return static_cast<char>(byte + 0x20);
    if (byte == 0xA8)
        return static_cast<char>(0xB8);
    return c;
}

std::string cp1251_lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = cp1251_lower(c);
    return out;
}

bool cp1251_iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (cp1251_lower(a[i]) != cp1251_lower(b[i]))
            return false;
    return true;
}

std::string utf8_lower(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        char32_t c = next_code_point(text, pos);
        if (c == k_invalid) {
            out += text[start];
            continue;
        }
        if (c >= 'A' && c <= 'Z')
            c += 0x20;
        else if (c >= 0x0410 && c <= 0x042F)
            c += 0x20;
        else if (c >= 0x0400 && c <= 0x040F)
            c += 0x50;
        append_utf8(out, c);
    }
    return out;
}

} // namespace lib
