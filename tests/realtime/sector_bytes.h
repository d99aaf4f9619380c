#pragma once

// Sector files byte by byte, for fixtures that show one rule of the format each, including the
// damaged ones no writer makes.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

class SectorBytes {
public:
    // A sector with the given header fields and payload.
    SectorBytes& sector(std::int8_t kind, std::int16_t length, std::string_view payload) {
        append(kind);
        append(length);
        bytes += payload;
        return *this;
    }
    // A sector whose length is its payload's.
    SectorBytes& sector(std::int8_t kind, std::string_view payload) {
        return sector(kind, static_cast<std::int16_t>(payload.size()), payload);
    }

    // One column per key, free texts empty, low 0 and high 100.
    SectorBytes& params(const std::vector<std::string>& keys) {
        SectorBytes payload;
        payload.append(static_cast<std::uint8_t>(keys.size()));
        for (const auto& key : keys) {
            payload.bytes += std::string(3, '\0') + key + '\0';
            payload.append(0.0f);
            payload.append(100.0f);
        }
        return sector(2, payload.bytes);
    }

    // A record with depth_z 1, lag_depth 2, operation 3 and depth_cur 4.
    SectorBytes& record(std::uint32_t time, const std::vector<float>& values) {
        SectorBytes payload;
        payload.append(time);
        payload.append(1.0f);
        payload.append(2.0f);
        payload.append(std::uint8_t{3});
        payload.append(4.0f);
        payload.append(static_cast<std::uint8_t>(values.size()));
        for (float value : values) {
            payload.append(value);
        }
        return sector(1, payload.bytes);
    }

    SectorBytes& compact(std::uint32_t time, const std::vector<float>& values) {
        SectorBytes payload;
        payload.append(time);
        for (float value : values) {
            payload.append(value);
        }
        return sector(5, payload.bytes);
    }

    // lines as they stand in the file ("a=1\r\nb=2\r\n"); the closing 0 byte is added.
    SectorBytes& text(const std::string& lines) { return sector(3, lines + '\0'); }

    SectorBytes& remark(std::uint32_t time, float depth, const std::string& text) {
        SectorBytes payload;
        payload.append(time);
        payload.append(depth);
        payload.bytes += text + '\0';
        return sector(4, payload.bytes);
    }

    SectorBytes& raw(std::string_view more) {
        bytes += more;
        return *this;
    }

    template <class T> void append(T value) {
        char image[sizeof value];
        std::memcpy(image, &value, sizeof value);
        bytes.append(image, sizeof value);
    }

    std::string bytes;
};
