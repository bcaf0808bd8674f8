#include "physics/fused_division.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace orbits {
namespace {

// A fast generator of 64 random bits (splitmix64).
struct Bits {
  uint64_t state;
  uint64_t operator()() {
    uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
};

// A double with a random significand and sign, its biased exponent drawn from [lo, hi]: 0
// makes it subnormal (or zero), 2046 the largest binade.
double randomDouble(Bits& bits, int lo, int hi, bool negative) {
  const uint64_t r = bits();
  const uint64_t e = uint64_t(lo) + (((r >> 52) * uint64_t(hi - lo + 1)) >> 12);
  return std::bit_cast<double>((uint64_t(negative) << 63) | (e << 52) | (r & ((1ull << 52) - 1)));
}

// Operands that sit on or next to the range's edges and the edges of the doubles.
std::vector<double> edgeValues() {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> v = {0.0,
                           -0.0,
                           inf,
                           -inf,
                           std::numeric_limits<double>::quiet_NaN(),
                           DBL_MIN,
                           DBL_MAX,
                           std::numeric_limits<double>::denorm_min(),
                           1.0,
                           1.0 - 0x1p-53,
                           2.0 - 0x1p-52,
                           3.0,
                           15.0};
  for (double edge : {kFusedDivisorMin, kFusedDivisorMax, kFusedDividendMin, kFusedDividendMax}) {
    v.push_back(edge);
    v.push_back(std::nextafter(edge, 0.0));
    v.push_back(std::nextafter(edge, inf));
  }
  const size_t n = v.size();
  for (size_t i = 0; i < n; ++i) v.push_back(-v[i]);
  return v;
}

bool sameBits(double x, double y) {
  return std::bit_cast<uint64_t>(x) == std::bit_cast<uint64_t>(y);
}

// Every quotient of the fused way equals the division instruction's, over 10^8 operands of
// every magnitude: half drawn inside the proved range, half across all exponents, subnormal
// and huge ones included, with the edge values mixed in.
TEST(FusedDivision, GivesTheDividersQuotientOverAHundredMillionOperands) {
  const std::vector<double> edges = edgeValues();
  for (int bitsWide : {256, 512}) {
    if (!fusedDivisionSupported(bitsWide)) continue;
    SCOPED_TRACE(bitsWide);
    Bits bits{uint64_t(bitsWide)};
    constexpr int kBatch = 1 << 20, kBatches = 96;  // 100 663 296 operands
    std::vector<double> a(kBatch), b(kBatch), q(kBatch);
    int64_t fused = 0, mismatches = 0;
    for (int batch = 0; batch < kBatches && mismatches == 0; ++batch) {
      for (int k = 0; k < kBatch; ++k) {
        const uint64_t how = bits();
        if (how % 64 == 0) {
          a[k] = edges[(how >> 8) % edges.size()], b[k] = edges[(how >> 24) % edges.size()];
        } else if (how % 2 == 0) {
          a[k] = (how >> 8) % 16 == 0 ? 0.0 : randomDouble(bits, 723, 1322, (how >> 12) & 1);
          b[k] = randomDouble(bits, 823, 1222, false);
        } else {
          a[k] = randomDouble(bits, 0, 2046, (how >> 12) & 1);
          b[k] = randomDouble(bits, 0, 2046, (how >> 13) % 8 == 0);
        }
      }
      fused += fusedQuotients(a.data(), b.data(), q.data(), kBatch, bitsWide);
      for (int k = 0; k < kBatch; ++k) {
        if (!sameBits(q[k], a[k] / b[k]) && mismatches++ < 5)
          ADD_FAILURE() << std::hexfloat << a[k] << " / " << b[k] << ": " << q[k] << " instead of "
                        << a[k] / b[k];
      }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(fused, int64_t(kBatch) * kBatches / 3) << "too few took the fused way";
  }
}

// The quotients nearest to a midpoint between two doubles, where the last correction decides:
// a / b = m + N 2^-105 / b with |N| = 1 (a, b in [1, 2), m the midpoint), found from the
// significands, then scaled across the range.
TEST(FusedDivision, RoundsTheHardestQuotientsRight) {
  // x y mod p and x^n mod p, for p < 2^53.
  auto mulMod = [](uint64_t x, uint64_t y, uint64_t p) {
    __extension__ using U128 = unsigned __int128;
    return uint64_t(U128(x) * y % p);
  };
  auto powMod = [&](uint64_t x, int n, uint64_t p) {
    uint64_t r = 1;
    for (; n > 0; n >>= 1, x = mulMod(x, x, p))
      if (n & 1) r = mulMod(r, x, p);
    return r;
  };
  std::vector<double> a, b;
  Bits bits{1940};
  while (a.size() < 1'000'000) {
    const uint64_t B = (uint64_t(1) << 52) | (bits() >> 12) | 1;  // odd significand
    const uint64_t inverse = powMod((B + 1) / 2, 53, B);          // 2^-53 mod B
    for (uint64_t N : {uint64_t(1), B - 1}) {                     // N = +1, -1
      const uint64_t A = mulMod(inverse, N, B) + B;               // A 2^53 = N mod B
      if (A >= (uint64_t(1) << 53)) continue;                     // a / b in [1, 2)
      const int ea = int(bits() % 401) - 200, eb = int(bits() % 301) - 150;
      a.push_back(std::ldexp(double(A), ea - 52) * ((bits() & 1) ? -1 : 1));
      b.push_back(std::ldexp(double(B), eb - 52));
    }
  }
  std::vector<double> q(a.size());
  for (int bitsWide : {256, 512}) {
    if (!fusedDivisionSupported(bitsWide)) continue;
    SCOPED_TRACE(bitsWide);
    ASSERT_EQ(fusedQuotients(a.data(), b.data(), q.data(), int64_t(a.size()), bitsWide),
              int64_t(a.size()));
    int64_t mismatches = 0;
    for (size_t k = 0; k < a.size(); ++k) mismatches += !sameBits(q[k], a[k] / b[k]);
    EXPECT_EQ(mismatches, 0);
  }
}

}  // namespace
}  // namespace orbits
