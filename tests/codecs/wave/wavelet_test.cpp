#include "codecs/wave/coif5.h"
#include "codecs/wave/wavelet.h"
#include "tests/support/wavelet_forward.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

namespace {

wave::wavelet coif5_codec() {
    wave::wavelet codec;
    codec.set_filter(wave::k_coif5.data(), static_cast<std::int32_t>(wave::k_coif5.size()));
    return codec;
}

TEST(Wavelet, HighPassIsTheAlternatingReversedLowPass) {
    const wave::wavelet codec = coif5_codec();
    ASSERT_EQ(codec.high_pass().size(), 30u);
    EXPECT_EQ(codec.high_pass()[0], -9.517657e-08);
    EXPECT_EQ(codec.high_pass()[1], 1.6744289e-07);
    for (std::size_t k = 0; k < 30; ++k) {
        EXPECT_EQ(codec.high_pass()[k], (k % 2 ? -1.0 : 1.0) * wave::k_coif5[29 - k]) << k;
    }
}

TEST(Wavelet, UnitApproximationDecodesToScaledFilter) {
    wave::float_vector coefficients(64, 0.0);
    coefficients[0] = 1.0;
    wave::float_vector samples;
    coif5_codec().inverse(coefficients, samples);
    ASSERT_EQ(samples.size(), 64u);
    for (std::size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(samples[i], std::sqrt(2.0) * wave::k_coif5[i]) << i;
    }
    for (std::size_t i = 30; i < 64; ++i) {
        EXPECT_EQ(samples[i], 0.0) << i;
    }
}

TEST(Wavelet, ZerosDecodeToZeros) {
    wave::float_vector samples(5, 1.0);
    coif5_codec().inverse(wave::float_vector(256, 0.0), samples);
    EXPECT_EQ(samples, wave::float_vector(256, 0.0));
}

// The second step of a 128-value vector takes the first step's 64 outputs as approximations and
// positions 64 to 127 as details: a unit detail at 64 gives sqrt(2) * g at the start.
TEST(Wavelet, SecondLevelReadsFinerDetailsFromUpperHalf) {
    wave::float_vector coefficients(128, 0.0);
    coefficients[64] = 1.0;
    wave::float_vector samples;
    const wave::wavelet codec = coif5_codec();
    codec.inverse(coefficients, samples);
    for (std::size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(samples[i], std::sqrt(2.0) * codec.high_pass()[i]) << i;
    }
    for (std::size_t i = 30; i < 128; ++i) {
        EXPECT_EQ(samples[i], 0.0) << i;
    }

    // A unit coarse approximation passes through both levels: the first step gives sqrt(2) * h,
    // the second step spreads each of those values again.
    coefficients.assign(128, 0.0);
    coefficients[0] = 1.0;
    codec.inverse(coefficients, samples);
    wave::float_vector first;
    codec.inverse(wave::float_vector(coefficients.begin(), coefficients.begin() + 64), first);
    wave::float_vector expected(128, 0.0);
    for (std::size_t m = 0; m < 64; ++m) {
        for (std::size_t t = 0; t < 30; ++t) {
            expected[(2 * m + t) % 128] += first[m] * std::sqrt(2.0) * wave::k_coif5[t];
        }
    }
    for (std::size_t i = 0; i < 128; ++i) {
        EXPECT_NEAR(samples[i], expected[i], 1e-15) << i;
    }
}

// Details near the start of a level wrap around to the end of the signal.
TEST(Wavelet, PeriodicExtensionWrapsAroundTheLevel) {
    wave::float_vector coefficients(64, 0.0);
    coefficients[31] = 1.0; // last coarse approximation
    wave::float_vector samples;
    coif5_codec().inverse(coefficients, samples);
    for (std::size_t t = 0; t < 30; ++t) {
        EXPECT_EQ(samples[(62 + t) % 64], std::sqrt(2.0) * wave::k_coif5[t]) << t;
    }
}

TEST(Wavelet, ForwardThenInverseReconstructsRandomSignals) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> value(-1000.0, 1000.0);
    const wave::wavelet codec = coif5_codec();
    for (std::size_t length : {64u, 128u, 4096u}) {
        wave::float_vector signal(length);
        for (double& x : signal) {
            x = value(random);
        }
        wave::float_vector samples;
        codec.inverse(test_support::wavelet_forward(signal, wave::k_coif5), samples);
        ASSERT_EQ(samples.size(), length);
        for (std::size_t i = 0; i < length; ++i) {
            ASSERT_NEAR(samples[i], signal[i], 1e-9) << "length " << length << ", sample " << i;
        }
    }
}

TEST(Wavelet, RejectsLengthsWithoutLevelStructure) {
    const wave::wavelet codec = coif5_codec();
    wave::float_vector samples;
    for (std::size_t length : {0u, 1u, 32u, 63u, 96u, 192u, 65u}) {
        EXPECT_THROW(codec.inverse(wave::float_vector(length, 1.0), samples), std::invalid_argument)
            << length;
    }
}

} // namespace
