#pragma once
// Division without the divider: a / b rounded to nearest, bit for bit what the division
// instruction gives, from one reciprocal y = RN(1/b) and fused multiply-adds, for operands in
// the range below. Where many quotients share a divisor, or where the divider's queue is slow,
// five fused operations can cost less than a division.
//
//   q0 = RN(a y)
//   q1 = RN(q0 - RN(b q0 - a) y)   a correction: q1 is one of the two doubles around a / b
//   q2 = RN(q1 - (b q1 - a) y)     b q1 - a is exact here: q2 = RN(a / b)   (Markstein)
//
// Why it is exact, for b > 0 with 2^-200 <= b <= 2^200, and a = +-0 or 2^-300 <= |a| <= 2^300
// (p = 53 bits; Q = a / b; every product below is exact inside the fused operation):
//  1. y = (1/b)(1 + d), q0 = Q (1 + d)(1 + e0) and RN(b q0 - a) = (b q0 - a)(1 + e1), each
//     |d|, |e0|, |e1| <= 2^-53, so the exact value before q1's rounding is
//     Q - (q0 - Q)(d + e1 + d e1), within 2^-103 |Q| of Q: q1 is one of the two doubles around Q.
//  2. Then r = a - b q1 is a whole multiple of ulp(b) ulp(Q), fewer than 2^53 of them, so it
//     is a double, and RN(b q1 - a) = -r exactly.
//  3. Scale a, b to [1, 2) (a to [2, 4) when a < b). A midpoint m between two doubles around Q
//     has 54 bits, so a - m b = N 2^-105 with a whole N != 0; and b (q1 + r y - m) =
//     (a - m b) - r (1 - b y). Since y = RN(1/b), |1 - b y| <= B 2^-106 (B the significand of
//     b, an integer below 2^53), and |r| < 2^-51, so |r (1 - b y)| < 2 2^-105; when |N| = 1, Q
//     lies within 2^-105 / b of m, q1 within half a unit of m, |r| <= (B + 1) 2^-105, and
//     |r (1 - b y)| < 2^-105. Either way q1 + r y lies on Q's side of every midpoint, and rounds
//     as Q does.
//  4. The range keeps every step clear of overflow and of subnormal numbers (|Q| >= 2^-501, the
//     residual's unit at least 2^-805), so the scaling of step 3 changes nothing. For a = +-0
//     every step gives +-0 with a's sign: the residual is +0, and q - (+0) y keeps q's sign.
// Operands outside the range go to the division instruction.
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ORBITS_FUSED_DIVISION 1
#else
#define ORBITS_FUSED_DIVISION 0
#endif

namespace orbits {

// The range within which the fused quotient is proved exact (see above).
constexpr double kFusedDivisorMin = 0x1p-200, kFusedDivisorMax = 0x1p200;
constexpr double kFusedDividendMin = 0x1p-300, kFusedDividendMax = 0x1p300;

#if ORBITS_FUSED_DIVISION
// a / b, for operands in the range, from y = RN(1/b).
[[gnu::always_inline, gnu::target("avx,fma")]] inline __m256d fusedQuotient(__m256d a, __m256d b,
                                                                            __m256d y) {
  __m256d q = _mm256_mul_pd(a, y);
  __m256d e = _mm256_fmsub_pd(q, b, a);  // b q - a, rounded
  q = _mm256_fnmadd_pd(e, y, q);
  e = _mm256_fmsub_pd(q, b, a);  // b q - a, exactly
  return _mm256_fnmadd_pd(e, y, q);
}
[[gnu::always_inline, gnu::target("avx512f")]] inline __m512d fusedQuotient(__m512d a, __m512d b,
                                                                            __m512d y) {
  __m512d q = _mm512_mul_pd(a, y);
  __m512d e = _mm512_fmsub_pd(q, b, a);
  q = _mm512_fnmadd_pd(e, y, q);
  e = _mm512_fmsub_pd(q, b, a);
  return _mm512_fnmadd_pd(e, y, q);
}
#endif

// Whether the processor runs the fused quotient of `bits` (256 or 512) bits.
bool fusedDivisionSupported(int bits);

// q[k] = a[k] / b[k] for k < n, through fusedQuotient of `bits` bits where both operands of a
// vector lie within the range, through the division instruction for the rest. Returns how many
// quotients took the fused way, or -1 (nothing written) when the processor lacks the width.
int64_t fusedQuotients(const double* a, const double* b, double* q, int64_t n, int bits);

}  // namespace orbits
