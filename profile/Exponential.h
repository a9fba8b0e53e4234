#pragma once
// e^x for the fits' models, which spend most of their time in it: the 32-bit runtime's exp
// goes through the x87 unit and takes several times as long as this. Within a unit or two in
// the last place of the exact value; below -708 (where the result would leave the normal
// doubles) it is 0, above 709 infinity, and NaN stays NaN.

#include <cstdint>
#include <cstring>
#include <limits>

// 2^(j/64), each rounded to the nearest double.
inline constexpr double ExponentialTable[64] = {
    0x1.0000000000000p+0, 0x1.02c9a3e778061p+0, 0x1.059b0d3158574p+0, 0x1.0874518759bc8p+0,
    0x1.0b5586cf9890fp+0, 0x1.0e3ec32d3d1a2p+0, 0x1.11301d0125b51p+0, 0x1.1429aaea92de0p+0,
    0x1.172b83c7d517bp+0, 0x1.1a35beb6fcb75p+0, 0x1.1d4873168b9aap+0, 0x1.2063b88628cd6p+0,
    0x1.2387a6e756238p+0, 0x1.26b4565e27cddp+0, 0x1.29e9df51fdee1p+0, 0x1.2d285a6e4030bp+0,
    0x1.306fe0a31b715p+0, 0x1.33c08b26416ffp+0, 0x1.371a7373aa9cbp+0, 0x1.3a7db34e59ff7p+0,
    0x1.3dea64c123422p+0, 0x1.4160a21f72e2ap+0, 0x1.44e086061892dp+0, 0x1.486a2b5c13cd0p+0,
    0x1.4bfdad5362a27p+0, 0x1.4f9b2769d2ca7p+0, 0x1.5342b569d4f82p+0, 0x1.56f4736b527dap+0,
    0x1.5ab07dd485429p+0, 0x1.5e76f15ad2148p+0, 0x1.6247eb03a5585p+0, 0x1.6623882552225p+0,
    0x1.6a09e667f3bcdp+0, 0x1.6dfb23c651a2fp+0, 0x1.71f75e8ec5f74p+0, 0x1.75feb564267c9p+0,
    0x1.7a11473eb0187p+0, 0x1.7e2f336cf4e62p+0, 0x1.82589994cce13p+0, 0x1.868d99b4492edp+0,
    0x1.8ace5422aa0dbp+0, 0x1.8f1ae99157736p+0, 0x1.93737b0cdc5e5p+0, 0x1.97d829fde4e50p+0,
    0x1.9c49182a3f090p+0, 0x1.a0c667b5de565p+0, 0x1.a5503b23e255dp+0, 0x1.a9e6b5579fdbfp+0,
    0x1.ae89f995ad3adp+0, 0x1.b33a2b84f15fbp+0, 0x1.b7f76f2fb5e47p+0, 0x1.bcc1e904bc1d2p+0,
    0x1.c199bdd85529cp+0, 0x1.c67f12e57d14bp+0, 0x1.cb720dcef9069p+0, 0x1.d072d4a07897cp+0,
    0x1.d5818dcfba487p+0, 0x1.da9e603db3285p+0, 0x1.dfc97337b9b5fp+0, 0x1.e502ee78b3ff6p+0,
    0x1.ea4afa2a490dap+0, 0x1.efa1bee615a27p+0, 0x1.f50765b6e4540p+0, 0x1.fa7c1819e90d8p+0};

inline double Exponential(double x) noexcept {
  if (!(x > -708.0)) return x != x ? x : 0.0;
  if (x > 709.0) return std::numeric_limits<double>::infinity();
  // x = (64 m + j) ln 2 / 64 + r with |r| <= ln 2 / 128; ln 2 / 64 in two parts keeps r exact
  // to its last bits. Adding and taking away 1.5 * 2^52 rounds to a whole number in SSE2
  // doubles.
  constexpr double Scaled = 0x1.71547652b82fep+6, StepHigh = 0x1.62e42p-7, StepLow = 0x1.fdf473de6af28p-28,
                   Round = 0x1.8p52;
  const double n = (x * Scaled + Round) - Round;
  const double r = (x - n * StepHigh) - n * StepLow;
  const int32_t whole = static_cast<int32_t>(n);
  // e^r to the fifth power of r: the next term is below 2^-54 of it.
  const double p = 1 + r * (1 + r * (1.0 / 2 + r * (1.0 / 6 + r * (1.0 / 24 + r * (1.0 / 120)))));
  const uint64_t bits = static_cast<uint64_t>((whole >> 6) + 1023) << 52;
  double power;
  std::memcpy(&power, &bits, sizeof power);
  return ExponentialTable[whole & 63] * power * p;
}
