// The FFT routines for CPUs with AVX2 and FMA: two complex values per 256-bit
// register. Only this unit is compiled for those instructions (the pragma
// below, after every standard header), and FftInit selects it only where the
// CPU reports both, so the plug-in still loads on any x86-64.

#include "engine/FftKernels.h"

#include <cstddef>
#include <utility>

#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

#include "engine/FftSplitRadix.h"

namespace sorvano {
namespace {

struct Avx2Ops {
  using V = __m256d;

  static V Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, V v) { _mm256_storeu_pd(p, v); }
  static V LoadPair(const double* a, const double* b) {
    return _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(a)), _mm_loadu_pd(b), 1);
  }
  static void StorePair(double* a, double* b, V v) {
    _mm_storeu_pd(a, _mm256_castpd256_pd128(v));
    _mm_storeu_pd(b, _mm256_extractf128_pd(v, 1));
  }
  static V Splat(double re, double im) { return _mm256_setr_pd(re, im, re, im); }
  static V Add(V a, V b) { return _mm256_add_pd(a, b); }
  static V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
  static V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
  static V Swap(V a) { return _mm256_permute_pd(a, 0b0101); }
  static V DupReal(V a) { return _mm256_movedup_pd(a); }
  static V DupImag(V a) { return _mm256_permute_pd(a, 0b1111); }
  static V Blend(V re, V im) { return _mm256_blend_pd(re, im, 0b1010); }
  static V MulAddSub(V a, V b, V c) { return _mm256_fmaddsub_pd(a, b, c); }
  static V MulSubAdd(V a, V b, V c) { return _mm256_fmsubadd_pd(a, b, c); }
};

}  // namespace

constinit const FftKernels kFftKernelsAvx2 = MakeFftKernels<Avx2Ops>();

}  // namespace sorvano

#pragma GCC pop_options
