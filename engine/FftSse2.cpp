// The FFT routines for baseline x86-64: SSE2, one complex value per register,
// a vector of two lanes being two registers.

#include "engine/FftKernels.h"

#include <emmintrin.h>

#include "engine/FftSplitRadix.h"

namespace sorvano {
namespace {

struct Sse2Ops {
  struct V {
    __m128d lane0;
    __m128d lane1;
  };

  static V Load(const double* p) { return {_mm_loadu_pd(p), _mm_loadu_pd(p + 2)}; }
  static void Store(double* p, V v) {
    _mm_storeu_pd(p, v.lane0);
    _mm_storeu_pd(p + 2, v.lane1);
  }
  static V LoadPair(const double* a, const double* b) { return {_mm_loadu_pd(a), _mm_loadu_pd(b)}; }
  static void StorePair(double* a, double* b, V v) {
    _mm_storeu_pd(a, v.lane0);
    _mm_storeu_pd(b, v.lane1);
  }
  static V Splat(double re, double im) {
    const __m128d z = _mm_setr_pd(re, im);
    return {z, z};
  }
  static V Add(V a, V b) { return {_mm_add_pd(a.lane0, b.lane0), _mm_add_pd(a.lane1, b.lane1)}; }
  static V Sub(V a, V b) { return {_mm_sub_pd(a.lane0, b.lane0), _mm_sub_pd(a.lane1, b.lane1)}; }
  static V Mul(V a, V b) { return {_mm_mul_pd(a.lane0, b.lane0), _mm_mul_pd(a.lane1, b.lane1)}; }
  static V Swap(V a) { return {_mm_shuffle_pd(a.lane0, a.lane0, 1), _mm_shuffle_pd(a.lane1, a.lane1, 1)}; }
  static V DupReal(V a) { return {_mm_unpacklo_pd(a.lane0, a.lane0), _mm_unpacklo_pd(a.lane1, a.lane1)}; }
  static V DupImag(V a) { return {_mm_unpackhi_pd(a.lane0, a.lane0), _mm_unpackhi_pd(a.lane1, a.lane1)}; }
  static V Blend(V re, V im) { return {_mm_move_sd(im.lane0, re.lane0), _mm_move_sd(im.lane1, re.lane1)}; }
  // SSE2 has neither fused multiply-add nor addsub: flip the sign of c in the
  // part that subtracts, then add.
  static V MulAddSub(V a, V b, V c) { return AddSigned(Mul(a, b), c, _mm_setr_pd(-0.0, 0.0)); }
  static V MulSubAdd(V a, V b, V c) { return AddSigned(Mul(a, b), c, _mm_setr_pd(0.0, -0.0)); }

 private:
  static V AddSigned(V product, V c, __m128d sign) {
    return {_mm_add_pd(product.lane0, _mm_xor_pd(c.lane0, sign)),
            _mm_add_pd(product.lane1, _mm_xor_pd(c.lane1, sign))};
  }
};

}  // namespace

constinit const FftKernels kFftKernelsSse2 = MakeFftKernels<Sse2Ops>();

}  // namespace sorvano
