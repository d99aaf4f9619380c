// Opens any bytes as a sector file. The storage must keep one value per parameter in every record,
// and whatever was read must be written and read back with the same parameters, records and text
// values, without a warning.

#include "realtime/file_storage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <unistd.h>

namespace {

// A folder in memory for the input and its rewritten copy, removed when the fuzzer ends.
struct Folder {
    Folder() {
        char pattern[] = "/dev/shm/sector-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::abort();
        }
        path = std::string(pattern) + "/";
        std::ofstream(path + ".nolocking");
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::string path;
};

const std::string& folder() {
    static const Folder made;
    return made.path;
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Equal bit for bit, so that a NaN equals itself.
template <class T> bool same_bits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool same_param(const FileStorageParam& a, const FileStorageParam& b) {
    return a.texts == b.texts && a.key == b.key && same_bits(a.low, b.low) && same_bits(a.high, b.high);
}

bool same_values(std::span<const float> a, std::span<const float> b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), 4 * a.size()) == 0);
}

bool plausible(const FileStorageItem& item) {
    for (float value : item.values) {
        if (!(value <= 1e20 && value >= -1e20)) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) {
        return 0;
    }
    const auto input = folder() + "input.realtim";
    std::ofstream(input, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);

    FileStorage storage;
    try {
        storage.open(input);
    } catch (const std::exception&) {
        // Read errors leave what was decoded; it must still be sound.
    }
    for (std::int32_t i = 0; i < storage.record_count(); ++i) {
        check(static_cast<std::int32_t>(storage.record(i)->values.size()) == storage.param_count());
    }
    check(storage.messages().size() <= 2);

    const auto output = folder() + "output.realtim";
    try {
        storage.write_file(output);
    } catch (const FileStorageException&) {
        return 0; // a parameter table that no sector holds
    }
    FileStorage again;
    again.open(output);
    check(again.messages().empty());
    check(again.param_count() == storage.param_count());
    for (std::int32_t i = 0; i < storage.param_count(); ++i) {
        check(again.param(i) == storage.param(i) ||
              std::memcmp(&again.param(i).low, &storage.param(i).low, 4) == 0);
    }
    check(again.record_count() == storage.record_count());
    for (std::int32_t i = 0; i < storage.record_count(); ++i) {
        const auto* a = again.record(i);
        const auto* b = storage.record(i);
        check(a->time == b->time && a->operation == b->operation && same_bits(a->depth_z, b->depth_z) &&
              same_bits(a->depth_cur, b->depth_cur) && same_bits(a->lag_depth, b->lag_depth));
        // A compact record may carry values a full record cannot; they read back as 0.0.
        if (plausible(*b)) {
            check(same_values(a->values, b->values));
        }
    }
    check(again.text_values == storage.text_values);
    return 0;
}
