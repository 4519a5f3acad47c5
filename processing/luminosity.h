// luminosity.h: the pixel luminosity, the one rule by which every
// luminosity-based operation turns a 3-byte pixel into a grey level.
//
// The rule is trunc((c0 × 0.707 + c1 × 0.202) + c2 × 0.091) in 80-bit
// extended precision, the weights being the double constants. Every term is
// an exact multiple of 2^-56 (0.707, 0.202 and 0.091 as doubles have their
// last bit at 2^-53, 2^-55 and 2^-56), and every partial sum stays below 256,
// where the 64-bit significand still resolves 2^-56: no step of the
// extended-precision computation rounds. The rule is therefore exactly the
// integer sum of the bytes times the weights scaled by 2^56, shifted right
// by 56, which is what is computed here (the tests compare it with the
// extended-precision rule for every colour).
#ifndef MIRLAN_LUMINOSITY_H
#define MIRLAN_LUMINOSITY_H

#include <cstdint>

namespace mirlan {

// The double weights scaled by 2^56: exact integers.
constexpr uint64_t kWeightRed = static_cast<uint64_t>(0.707 * 0x1p56);
constexpr uint64_t kWeightGreen = static_cast<uint64_t>(0.202 * 0x1p56);
constexpr uint64_t kWeightBlue = static_cast<uint64_t>(0.091 * 0x1p56);
static_assert(double(kWeightRed) == 0.707 * 0x1p56, "weight not exact");
static_assert(double(kWeightGreen) == 0.202 * 0x1p56, "weight not exact");
static_assert(double(kWeightBlue) == 0.091 * 0x1p56, "weight not exact");
// 255 × (sum of weights) stays below 2^64: the sum cannot overflow.
static_assert(kWeightRed + kWeightGreen + kWeightBlue < (uint64_t(1) << 56), "sum may overflow");

// Each byte value times each weight, built at compile time: three table
// loads cost less than three 64-bit multiplications.
struct LuminosityTables {
    uint64_t weighted[3][256];
    constexpr LuminosityTables() : weighted()
    {
        for (uint64_t c = 0; c < 256; ++c) {
            weighted[0][c] = c * kWeightRed;
            weighted[1][c] = c * kWeightGreen;
            weighted[2][c] = c * kWeightBlue;
        }
    }
};
inline constexpr LuminosityTables kLuminosityTables{};

// Luminosity of the pixel (c0, c1, c2), 0..254.
inline unsigned Luminosity(unsigned char c0, unsigned char c1, unsigned char c2)
{
    const auto &w = kLuminosityTables.weighted;
    return static_cast<unsigned>((w[0][c0] + w[1][c1] + w[2][c2]) >> 56);
}

// Luminosity of the 3 bytes at p.
inline unsigned Luminosity(const unsigned char *p) { return Luminosity(p[0], p[1], p[2]); }

}  // namespace mirlan

#endif
