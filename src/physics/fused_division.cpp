#include "physics/fused_division.h"

namespace orbits {

#if ORBITS_FUSED_DIVISION
namespace {

// The lanes whose operands lie within the range, each lane all ones or all zeros.
[[gnu::target("avx,fma")]] __m256d inRange(__m256d a, __m256d b) {
  const __m256d m = _mm256_andnot_pd(_mm256_set1_pd(-0.0), a);  // |a|
  const __m256d divisorOk =
      _mm256_and_pd(_mm256_cmp_pd(b, _mm256_set1_pd(kFusedDivisorMin), _CMP_GE_OQ),
                    _mm256_cmp_pd(b, _mm256_set1_pd(kFusedDivisorMax), _CMP_LE_OQ));
  const __m256d dividendOk =
      _mm256_and_pd(_mm256_cmp_pd(m, _mm256_set1_pd(kFusedDividendMax), _CMP_LE_OQ),
                    _mm256_or_pd(_mm256_cmp_pd(m, _mm256_set1_pd(kFusedDividendMin), _CMP_GE_OQ),
                                 _mm256_cmp_pd(m, _mm256_setzero_pd(), _CMP_EQ_OQ)));
  return _mm256_and_pd(divisorOk, dividendOk);
}

[[gnu::target("avx,fma")]] int64_t quotients256(const double* a, const double* b, double* q,
                                                int64_t n) {
  int64_t fused = 0, k = 0;
  const __m256d one = _mm256_set1_pd(1.0);
  for (; k + 4 <= n; k += 4) {
    const __m256d va = _mm256_loadu_pd(a + k), vb = _mm256_loadu_pd(b + k);
    const __m256d ok = inRange(va, vb);
    // Lanes outside the range compute 1 / 1 the fused way, and take the division's quotient.
    const __m256d fa = _mm256_blendv_pd(one, va, ok), fb = _mm256_blendv_pd(one, vb, ok);
    const __m256d f = fusedQuotient(fa, fb, _mm256_div_pd(one, fb));
    const int lanes = _mm256_movemask_pd(ok);
    _mm256_storeu_pd(q + k, lanes == 0xf ? f : _mm256_blendv_pd(_mm256_div_pd(va, vb), f, ok));
    fused += __builtin_popcount(unsigned(lanes));
  }
  for (; k < n; ++k) q[k] = a[k] / b[k];
  return fused;
}

[[gnu::target("avx512f")]] int64_t quotients512(const double* a, const double* b, double* q,
                                                int64_t n) {
  int64_t fused = 0, k = 0;
  const __m512d one = _mm512_set1_pd(1.0);
  for (; k + 8 <= n; k += 8) {
    const __m512d va = _mm512_loadu_pd(a + k), vb = _mm512_loadu_pd(b + k);
    const __m512d m = _mm512_abs_pd(va);
    const __mmask8 ok = _mm512_cmp_pd_mask(vb, _mm512_set1_pd(kFusedDivisorMin), _CMP_GE_OQ) &
                        _mm512_cmp_pd_mask(vb, _mm512_set1_pd(kFusedDivisorMax), _CMP_LE_OQ) &
                        _mm512_cmp_pd_mask(m, _mm512_set1_pd(kFusedDividendMax), _CMP_LE_OQ) &
                        (_mm512_cmp_pd_mask(m, _mm512_set1_pd(kFusedDividendMin), _CMP_GE_OQ) |
                         _mm512_cmp_pd_mask(m, _mm512_setzero_pd(), _CMP_EQ_OQ));
    const __m512d fa = _mm512_mask_blend_pd(ok, one, va), fb = _mm512_mask_blend_pd(ok, one, vb);
    const __m512d f = fusedQuotient(fa, fb, _mm512_div_pd(one, fb));
    _mm512_storeu_pd(q + k, ok == 0xff ? f : _mm512_mask_blend_pd(ok, _mm512_div_pd(va, vb), f));
    fused += __builtin_popcount(unsigned(ok));
  }
  for (; k < n; ++k) q[k] = a[k] / b[k];
  return fused;
}

}  // namespace
#endif

bool fusedDivisionSupported(int bits) {
#if ORBITS_FUSED_DIVISION
  if (bits == 256) return __builtin_cpu_supports("avx") && __builtin_cpu_supports("fma");
  if (bits == 512) return __builtin_cpu_supports("avx512f");
#endif
  (void)bits;
  return false;
}

int64_t fusedQuotients(const double* a, const double* b, double* q, int64_t n, int bits) {
  if (!fusedDivisionSupported(bits)) return -1;
#if ORBITS_FUSED_DIVISION
  return bits == 256 ? quotients256(a, b, q, n) : quotients512(a, b, q, n);
#else
  (void)a, (void)b, (void)q, (void)n;
  return -1;
#endif
}

}  // namespace orbits
