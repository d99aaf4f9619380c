#include "tests/support/column_writer.h"

#include "codecs/wave/coif5.h"
#include "tests/support/wavelet_forward.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace test_support {

namespace {

// Range of the values that are not exceptions: bottom and top.
std::pair<float, float> coded_range(std::span<const float> values,
                                    const std::vector<std::int32_t>& exceptions) {
    float bottom = std::numeric_limits<float>::max();
    float top = std::numeric_limits<float>::lowest();
    std::size_t next = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (next < exceptions.size() && static_cast<std::size_t>(exceptions[next]) == i) {
            ++next;
            continue;
        }
        bottom = std::min(bottom, values[i]);
        top = std::max(top, values[i]);
    }
    return bottom <= top ? std::pair{bottom, top} : std::pair{0.0f, 0.0f};
}

template <class Code>
void write_codes(std::string& out, std::span<const float> values, const std::vector<std::int32_t>& exceptions,
                 float bottom, float top, double levels) {
    std::vector<Code> codes;
    std::size_t next = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (next < exceptions.size() && static_cast<std::size_t>(exceptions[next]) == i) {
            ++next;
            continue;
        }
        const double scaled =
            top > bottom ? (values[i] - double{bottom}) / (double{top} - bottom) * levels : 0.0;
        codes.push_back(static_cast<Code>(std::clamp(std::round(scaled), 0.0, levels)));
    }
    write_plane_column(out, codes);
}

void write_quantized(std::string& out, std::span<const float> values, const ValueCoding& coding) {
    const auto [bottom, top] = coded_range(values, coding.exceptions);
    const std::uint32_t levels = coding.code_width == 4 ? 0xFFFFFFFFu : (1u << (8 * coding.code_width)) - 1;
    write_scalar(out, coding.code_width);
    write_scalar(out, levels);
    write_scalar(out, top);
    write_scalar(out, bottom);
    write_scalar(out, static_cast<std::int32_t>(values.size()));
    std::vector<float> exact;
    for (std::int32_t index : coding.exceptions) {
        exact.push_back(values[static_cast<std::size_t>(index)]);
    }
    write_plane_column(out, coding.exceptions);
    write_plane_column(out, exact);
    switch (coding.code_width) {
    case 1:
        write_codes<std::uint8_t>(out, values, coding.exceptions, bottom, top, levels);
        break;
    case 2:
        write_codes<std::uint16_t>(out, values, coding.exceptions, bottom, top, levels);
        break;
    case 4:
        write_codes<std::uint32_t>(out, values, coding.exceptions, bottom, top, levels);
        break;
    default:
        throw std::invalid_argument("write_quantized: code width must be 1, 2 or 4");
    }
}

void write_band(std::string& out, std::span<const double> coefficients, std::uint16_t levels) {
    const auto [low, high] = std::minmax_element(coefficients.begin(), coefficients.end());
    const float a = coefficients.empty() ? 0.0f : static_cast<float>(*low);
    const float b = coefficients.empty() ? 0.0f : static_cast<float>(*high);
    std::vector<std::uint16_t> codes;
    for (double c : coefficients) {
        const double scaled = b > a ? (c - a) / (double{b} - a) * levels : 0.0;
        codes.push_back(
            static_cast<std::uint16_t>(std::clamp(std::round(scaled), 0.0, static_cast<double>(levels))));
    }
    write_scalar(out, a);
    write_scalar(out, b);
    write_scalar(out, std::uint32_t{levels});
    write_plane_column(out, codes);
}

void write_wavelet(std::string& out, std::span<const float> values, const ValueCoding& coding) {
    std::size_t count = wave::wavelet::k_coarsest_level;
    while (count < values.size()) {
        count *= 2;
    }
    wave::float_vector signal(count, values.empty() ? 0.0 : values.back());
    std::copy(values.begin(), values.end(), signal.begin());
    const wave::float_vector coefficients = wavelet_forward(signal, wave::k_coif5);
    const std::size_t kept =
        coding.kept_coefficients == 0 ? count : std::min(coding.kept_coefficients, count);
    const std::size_t first_band = std::min<std::size_t>(kept, wave::wavelet::k_coarsest_level);

    write_scalar(out, static_cast<std::uint32_t>(count));
    const std::span<const double> all(coefficients);
    write_band(out, all.subspan(0, first_band), coding.levels);
    if (first_band < count) {
        write_band(out, all.subspan(first_band, kept - first_band), coding.levels);
    }
}

} // namespace

ValueCoding coding_of(const std::vector<ValueCoding>& codings, std::size_t parameter) {
    if (codings.empty()) {
        return {};
    }
    return codings.size() == 1 ? codings.front() : codings.at(parameter);
}

void write_text(std::string& out, std::string_view text) {
    out.append(text);
    out.push_back('\0');
}

void write_value_column(std::string& out, std::span<const float> values, const ValueCoding& coding) {
    switch (coding.kind) {
    case k_raw_encoding:
        write_plane_column(out, values);
        return;
    case k_quantized_encoding:
        write_quantized(out, values, coding);
        return;
    case k_wavelet_encoding:
        write_wavelet(out, values, coding);
        return;
    }
    throw std::invalid_argument("write_value_column: unknown encoding");
}

} // namespace test_support
