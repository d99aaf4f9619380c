#include "tests/support/compressed_params.h"

#include "library/encoding.h"
#include "tests/support/column_writer.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace test_support {

void write_params(std::string& out, const std::vector<ColumnParam>& params) {
    write_scalar(out, static_cast<std::int32_t>(params.size()));
    for (const ColumnParam& param : params) {
        for (const std::string& text : param.texts) {
            write_text(out, text);
        }
        write_text(out, param.key);
        write_scalar(out, param.low);
        write_scalar(out, param.high);
    }
}

std::vector<std::size_t> distinct_params(const std::vector<ColumnParam>& params) {
    std::vector<std::size_t> kept;
    for (std::size_t j = 0; j < params.size(); ++j) {
        const bool repeated = std::any_of(kept.begin(), kept.end(), [&](std::size_t i) {
            return lib::cp1251_iequals(params[i].key, params[j].key);
        });
        if (!repeated) {
            kept.push_back(j);
        }
    }
    return kept;
}

void write_bytes_file(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("write_bytes_file: cannot write " + path);
    }
}

} // namespace test_support
