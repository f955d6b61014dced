#pragma once

// The split-radix transform, written once for any vector of two complex
// lanes [re0, im0, re1, im1]. Included only by FftSse2.cpp and FftAvx2.cpp,
// each compiled for its own instruction set. Everything here has internal
// linkage on purpose: a shared inline function would be emitted by both
// units, and the linker could keep the AVX2 copy for the SSE2 path.
//
// The recursion, per size M, with q0 ... q3 the quarters of the buffer and
// w = e^(+2 pi i / M):
//   forward: for every j, u = q0 - q2, v = q1 - q3, q0 += q2, q1 += q3,
//            q2 = (u + i v) w^j, q3 = (u - i v) w^-j; then the transform of
//            size M/2 on the first half and of size M/4 on q2 and on q3.
//   inverse: the adjoint, steps reversed: the smaller inverses first, then
//            for every j, a = q2 w^-j, b = q3 w^j, s = a + b, d = a - b,
//            q0, q2 = q0 + s, q0 - s and q1, q3 = q1 - i d, q1 + i d.
// This leaves the even frequencies in the first half, those 1 modulo 4 in q2
// and those 3 modulo 4 in q3, recursively: the scrambled order FftPermute
// describes.
//
// Vectorisation. Pass loops take two consecutive j per vector. The two
// quarter transforms of every step have the same size and run side by side,
// one in each lane ("pairs"): pairs of size 16 and below are straight-line
// code held in registers; larger ones run the pass loop on each buffer and
// recurse into three pairs. The single chain of first halves from the top
// runs the paired code with both lanes on the same buffer once it reaches
// size 16, which happens once per transform.
//
// An Ops type provides, for its vector type V:
//   Load(p), Store(p, v)          two consecutive complex values
//   LoadPair(a, b), StorePair(a, b, v)  lane 0 at a, lane 1 at b
//   Splat(re, im)                 the same complex value in both lanes
//   Add, Sub, Mul                 element-wise
//   Swap(v)                       real and imaginary part exchanged per lane
//   Blend(re, im)                 real parts of the first, imaginary of the second
//   DupReal(v), DupImag(v)        each lane's real (imaginary) part in both halves
//   MulAddSub(a, b, c)            a*b - c in real parts, a*b + c in imaginary parts
//   MulSubAdd(a, b, c)            a*b + c in real parts, a*b - c in imaginary parts

#include "engine/FftKernels.h"

#include <cstddef>
#include <utility>

namespace sorvano {
namespace {

template <class Ops>
class SplitRadix {
  using V = typename Ops::V;

 public:
  // Size M on x, in place: the entries of FftKernels. Any thread.
  template <int M>
  static void Forward(double* x, const double* twiddles) {
    if constexpr (M <= kLeafMaxSize) {
      ForwardLeaf<M>(x, x);
    } else {
      ForwardPass<M>(x, twiddles);
      Forward<M / 2>(x, twiddles);
      ForwardPairs<M / 4>(x + M, x + 3 * M / 2, twiddles);
    }
  }

  template <int M>
  static void Inverse(double* x, const double* twiddles) {
    if constexpr (M <= kLeafMaxSize) {
      InverseLeaf<M>(x, x);
    } else {
      Inverse<M / 2>(x, twiddles);
      InversePairs<M / 4>(x + M, x + 3 * M / 2, twiddles);
      InversePass<M>(x, twiddles);
    }
  }

 private:
  static constexpr int kLeafMaxSize = kFftTableMinSize / 2;
  static_assert(kLeafMaxSize == 16, "the leaves carry constant twiddles for sizes up to 16");

  // cos(2 pi k / 16) for k = 0 ... 4; sin(2 pi k / 16) is entry 4 - k.
  static constexpr double kCos16[5] = {1.0, 0.92387953251128675613, 0.70710678118654752440,
                                       0.38268343236508977173, 0.0};

  // z w^j and z w^-j, with the real and imaginary parts of w^j doubled per
  // lane: wr = (re, re), wi = (im, im).
  static V Rotate(V z, V wr, V wi) { return Ops::MulAddSub(z, wr, Ops::Mul(Ops::Swap(z), wi)); }
  static V RotateBack(V z, V wr, V wi) { return Ops::MulSubAdd(z, wr, Ops::Mul(Ops::Swap(z), wi)); }

  // u + i v and u - i v.
  static void PlusMinusI(V u, V v, V& plus, V& minus) {
    const V swapped = Ops::Swap(v);
    const V sum = Ops::Add(u, swapped);         // (u.re + v.im, u.im + v.re)
    const V difference = Ops::Sub(u, swapped);  // (u.re - v.im, u.im - v.re)
    plus = Ops::Blend(difference, sum);
    minus = Ops::Blend(sum, difference);
  }

  static void ForwardButterfly(V& x0, V& x1, V& x2, V& x3) {
    const V u = Ops::Sub(x0, x2);
    const V v = Ops::Sub(x1, x3);
    x0 = Ops::Add(x0, x2);
    x1 = Ops::Add(x1, x3);
    PlusMinusI(u, v, x2, x3);
  }

  static void ForwardButterfly(V& x0, V& x1, V& x2, V& x3, V wr, V wi) {
    ForwardButterfly(x0, x1, x2, x3);
    x2 = Rotate(x2, wr, wi);
    x3 = RotateBack(x3, wr, wi);
  }

  static void InverseButterfly(V& x0, V& x1, V& x2, V& x3) {
    const V sum = Ops::Add(x2, x3);
    const V difference = Ops::Sub(x2, x3);
    x2 = Ops::Sub(x0, sum);
    x0 = Ops::Add(x0, sum);
    // x1 - i d and x1 + i d.
    PlusMinusI(x1, difference, x3, x1);
  }

  static void InverseButterfly(V& x0, V& x1, V& x2, V& x3, V wr, V wi) {
    x2 = RotateBack(x2, wr, wi);
    x3 = Rotate(x3, wr, wi);
    InverseButterfly(x0, x1, x2, x3);
  }

  // Straight-line transforms of size M <= 16 on values held in registers.
  template <int M>
  static void ForwardRegisters(V* x) {
    if constexpr (M == 2) {
      const V a = x[0];
      x[0] = Ops::Add(a, x[1]);
      x[1] = Ops::Sub(a, x[1]);
    } else if constexpr (M >= 4) {
      constexpr int kQuarter = M / 4;
      ForwardButterfly(x[0], x[kQuarter], x[2 * kQuarter], x[3 * kQuarter]);
      for (int j = 1; j < kQuarter; ++j) {
        const int k = j * 16 / M;
        ForwardButterfly(x[j], x[j + kQuarter], x[j + 2 * kQuarter], x[j + 3 * kQuarter],
                         Ops::Splat(kCos16[k], kCos16[k]), Ops::Splat(kCos16[4 - k], kCos16[4 - k]));
      }
      ForwardRegisters<M / 2>(x);
      ForwardRegisters<M / 4>(x + M / 2);
      ForwardRegisters<M / 4>(x + 3 * M / 4);
    }
  }

  template <int M>
  static void InverseRegisters(V* x) {
    if constexpr (M == 2) {
      ForwardRegisters<2>(x);
    } else if constexpr (M >= 4) {
      constexpr int kQuarter = M / 4;
      InverseRegisters<M / 2>(x);
      InverseRegisters<M / 4>(x + M / 2);
      InverseRegisters<M / 4>(x + 3 * M / 4);
      InverseButterfly(x[0], x[kQuarter], x[2 * kQuarter], x[3 * kQuarter]);
      for (int j = 1; j < kQuarter; ++j) {
        const int k = j * 16 / M;
        InverseButterfly(x[j], x[j + kQuarter], x[j + 2 * kQuarter], x[j + 3 * kQuarter],
                         Ops::Splat(kCos16[k], kCos16[k]), Ops::Splat(kCos16[4 - k], kCos16[4 - k]));
      }
    }
  }

  // Size M <= 16 on a in lane 0 and b in lane 1 (a == b is allowed).
  template <int M>
  static void ForwardLeaf(double* a, double* b) {
    V x[M];
    for (int i = 0; i < M; ++i) {
      x[i] = Ops::LoadPair(a + 2 * i, b + 2 * i);
    }
    ForwardRegisters<M>(x);
    for (int i = 0; i < M; ++i) {
      Ops::StorePair(a + 2 * i, b + 2 * i, x[i]);
    }
  }

  template <int M>
  static void InverseLeaf(double* a, double* b) {
    V x[M];
    for (int i = 0; i < M; ++i) {
      x[i] = Ops::LoadPair(a + 2 * i, b + 2 * i);
    }
    InverseRegisters<M>(x);
    for (int i = 0; i < M; ++i) {
      Ops::StorePair(a + 2 * i, b + 2 * i, x[i]);
    }
  }

  // Pass loops of size M >= 32 over one buffer, two j per vector. Offsets are
  // in doubles: a quarter of M complex values is M / 2 doubles.
  template <int M, bool kInverse>
  static void Pass(double* x, const double* twiddles) {
    const double* w = twiddles + FftTwiddleOffset(M);
    for (int j = 0; j < M / 4; j += 2) {
      double* p = x + 2 * j;
      V x0 = Ops::Load(p);
      V x1 = Ops::Load(p + M / 2);
      V x2 = Ops::Load(p + M);
      V x3 = Ops::Load(p + 3 * M / 2);
      const V twiddle = Ops::Load(w + 2 * j);
      if constexpr (kInverse) {
        InverseButterfly(x0, x1, x2, x3, Ops::DupReal(twiddle), Ops::DupImag(twiddle));
      } else {
        ForwardButterfly(x0, x1, x2, x3, Ops::DupReal(twiddle), Ops::DupImag(twiddle));
      }
      Ops::Store(p, x0);
      Ops::Store(p + M / 2, x1);
      Ops::Store(p + M, x2);
      Ops::Store(p + 3 * M / 2, x3);
    }
  }
  template <int M>
  static void ForwardPass(double* x, const double* twiddles) {
    Pass<M, false>(x, twiddles);
  }
  template <int M>
  static void InversePass(double* x, const double* twiddles) {
    Pass<M, true>(x, twiddles);
  }

  // Transforms of size M on two buffers at once.
  template <int M>
  static void ForwardPairs(double* a, double* b, const double* twiddles) {
    if constexpr (M <= kLeafMaxSize) {
      ForwardLeaf<M>(a, b);
    } else {
      ForwardPass<M>(a, twiddles);
      ForwardPass<M>(b, twiddles);
      ForwardPairs<M / 2>(a, b, twiddles);
      ForwardPairs<M / 4>(a + M, a + 3 * M / 2, twiddles);
      ForwardPairs<M / 4>(b + M, b + 3 * M / 2, twiddles);
    }
  }

  template <int M>
  static void InversePairs(double* a, double* b, const double* twiddles) {
    if constexpr (M <= kLeafMaxSize) {
      InverseLeaf<M>(a, b);
    } else {
      InversePairs<M / 2>(a, b, twiddles);
      InversePairs<M / 4>(a + M, a + 3 * M / 2, twiddles);
      InversePairs<M / 4>(b + M, b + 3 * M / 2, twiddles);
      InversePass<M>(a, twiddles);
      InversePass<M>(b, twiddles);
    }
  }
};

// The routines of one instruction set for n = 2 ... 32768.
template <class Ops, std::size_t... kLog2Minus1>
constexpr FftKernels MakeFftKernels(std::index_sequence<kLog2Minus1...>) {
  return FftKernels{{nullptr, &SplitRadix<Ops>::template Forward<(2 << kLog2Minus1)>...},
                    {nullptr, &SplitRadix<Ops>::template Inverse<(2 << kLog2Minus1)>...}};
}

template <class Ops>
constexpr FftKernels MakeFftKernels() {
  return MakeFftKernels<Ops>(std::make_index_sequence<FftKernels::kCount - 1>());
}

}  // namespace
}  // namespace sorvano
