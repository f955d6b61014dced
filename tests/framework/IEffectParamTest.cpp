#include "framework/IEffectParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace sorvano {
namespace {

std::string Format(const IEffectParam& p, double v, bool normalized) {
  char out[kParamTextCapacity];
  p.FormatValue(v, normalized, out, sizeof out);
  return out;
}

std::string FormatCurrent(const IEffectParam& p) {
  char out[kParamTextCapacity];
  p.FormatValue(out, sizeof out);
  return out;
}

TEST(IEffectParam, SetupDoubleDerivesRangeAndPrecision) {
  IEffectParam bright;
  bright.SetupDouble("bright", 1.0, 0.1, 10.0, 0.1, "x");
  EXPECT_EQ(bright.GetType(), IEffectParam::Type::kDouble);
  EXPECT_EQ(bright.DisplayPrecision(), 1);
  EXPECT_DOUBLE_EQ(bright.Max(), 10.0);
  EXPECT_EQ(FormatCurrent(bright), "1.0");
  EXPECT_STREQ(bright.Label(), "x");

  // A maximum below min + step is raised to min + step.
  IEffectParam narrow;
  narrow.SetupDouble("n", 0.0, 0.0, 0.5, 1.0, "");
  EXPECT_DOUBLE_EQ(narrow.Max(), 1.0);

  IEffectParam fine;
  fine.SetupDouble("f", 0.0, 0.0, 1.0, 0.001, "");
  EXPECT_EQ(fine.DisplayPrecision(), 3);

  // Steps that are never whole in binary stop at six decimals.
  IEffectParam odd;
  odd.SetupDouble("o", 0.0, 0.0, 1.0, 1.0 / 3.0, "");
  EXPECT_EQ(odd.DisplayPrecision(), 6);

  // The default is stored as given, not clamped.
  IEffectParam outside;
  outside.SetupDouble("o", 5.0, 0.0, 1.0, 0.1, "");
  EXPECT_DOUBLE_EQ(outside.Value(), 5.0);
}

TEST(IEffectParam, FirstInitialiserFixesTheType) {
  IEffectParam p;
  p.SetupBool("b", true);
  p.SetupDouble("d", 0.0, 0.0, 1.0, 0.5, "");
  EXPECT_EQ(p.GetType(), IEffectParam::Type::kBool);
  // Still a bool: normalised values snap to the step grid.
  p.SetNormalized(0.3);
  EXPECT_DOUBLE_EQ(p.Value(), 0.5);
}

TEST(IEffectParam, ShapedNormalisationRoundTrips) {
  IEffectParam p;
  p.SetupDouble("bright", 1.0, 0.1, 10.0, 0.1, "x");
  p.SetShapeExponent(2.0);

  p.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(p.Value(), 0.1 + 0.25 * 9.9);
  EXPECT_DOUBLE_EQ(p.GetNormalized(1.0), std::sqrt(0.9 / 9.9));
  // Normalising clamps to the range first.
  EXPECT_DOUBLE_EQ(p.GetNormalized(-3.0), 0.0);
  EXPECT_DOUBLE_EQ(p.GetNormalized(30.0), 1.0);

  for (double n : {0.0, 0.1, 0.37, 0.5, 0.99, 1.0}) {
    p.SetNormalized(n);
    EXPECT_NEAR(p.GetNormalized(), n, 1e-12) << n;
  }
}

TEST(IEffectParam, InvalidShapesAreIgnored) {
  IEffectParam p;
  p.SetupDouble("d", 0.0, 0.0, 1.0, 0.1, "");
  p.SetShapeExponent(3.0);
  p.SetShapeExponent(0.0);
  EXPECT_DOUBLE_EQ(p.Shape(), 3.0);
  p.SetShapeExponent(-2.0);
  p.SetShapeExponent(std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(p.Shape(), 3.0);
  EXPECT_TRUE(std::isfinite(p.GetNormalized(0.0)));
}

TEST(IEffectParam, BoolAndEnumSnapToWholeValues) {
  IEffectParam reset;
  reset.SetupBool("reset", false);
  EXPECT_EQ(Format(reset, 0.0, false), "off");
  EXPECT_EQ(Format(reset, 1.0, false), "on");
  reset.SetNormalized(0.49);
  EXPECT_DOUBLE_EQ(reset.Value(), 0.0);
  reset.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(reset.Value(), 1.0);

  IEffectParam map;
  map.SetupEnum("colormap", 0, 4);
  EXPECT_DOUBLE_EQ(map.Max(), 3.0);
  map.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(map.Value(), 2.0);
  map.SetNormalized(1.0);
  EXPECT_DOUBLE_EQ(map.Value(), 3.0);
}

TEST(IEffectParam, SetClampsWithoutSnapping) {
  IEffectParam map;
  map.SetupEnum("colormap", 0, 4);
  map.Set(1.7);
  EXPECT_DOUBLE_EQ(map.Value(), 1.7);
  map.Set(20.0);
  EXPECT_DOUBLE_EQ(map.Value(), 3.0);
  map.Set(-1.0);
  EXPECT_DOUBLE_EQ(map.Value(), 0.0);
  map.Set(std::numeric_limits<double>::infinity());
  EXPECT_DOUBLE_EQ(map.Value(), 3.0);
}

TEST(IEffectParam, GarbageFromHostsLeavesAFiniteValueInRange) {
  IEffectParam p;
  p.SetupDouble("bright", 1.0, 0.1, 10.0, 0.1, "x");
  p.SetShapeExponent(2.0);
  p.SetNormalized(std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(p.Value(), 1.0);
  p.Set(std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(p.Value(), 1.0);
  p.SetNormalized(-1.0);
  EXPECT_DOUBLE_EQ(p.Value(), 0.1);
  p.SetNormalized(7.0);
  EXPECT_DOUBLE_EQ(p.Value(), 10.0);
}

TEST(IEffectParam, FormatValueCases) {
  IEffectParam map;
  map.SetupEnum("colormap", 0, 4);
  map.AddDisplayText(1, "thermal");
  map.AddDisplayText(2, "chlorine");
  map.AddDisplayText(0, "pompeii");
  map.AddDisplayText(3, "brrr");
  // 0.6 of 0..3 is 1.8, which truncates to entry 1.
  EXPECT_EQ(Format(map, 0.6, true), "thermal");
  EXPECT_EQ(Format(map, 0.0, false), "pompeii");
  EXPECT_EQ(Format(map, 3.0, false), "brrr");

  // No entry for the value, or an empty text: the number is shown.
  IEffectParam sparse;
  sparse.SetupDouble("s", 0.0, -10.0, 10.0, 1.0, "");
  sparse.AddDisplayText(4, "");
  sparse.AddDisplayText(4, "four");
  sparse.AddDisplayText(5, "five");
  EXPECT_EQ(Format(sparse, 4.0, false), "4");  // later entries are not consulted
  EXPECT_EQ(Format(sparse, 5.9, false), "five");
  EXPECT_EQ(Format(sparse, -2.7, false), "-2");

  IEffectParam bright;
  bright.SetupDouble("bright", 1.0, 0.1, 10.0, 0.1, "x");
  EXPECT_EQ(Format(bright, 0.0, false), "0");
  EXPECT_EQ(Format(bright, 2.26, false), "2.3");
  EXPECT_EQ(Format(bright, -0.0, false), "0");

  // Values beyond the int range and NaN format without undefined conversions.
  IEffectParam wide;
  wide.SetupDouble("w", 0.0, 0.0, 1.0, 1.0, "");
  wide.AddDisplayText(std::numeric_limits<int>::max(), "max");
  EXPECT_EQ(Format(wide, 1e300, false), "max");
  EXPECT_EQ(Format(wide, -1e300, false), std::to_string(std::numeric_limits<int>::min()));
  EXPECT_EQ(Format(wide, std::numeric_limits<double>::quiet_NaN(), false), "0");
}

TEST(IEffectParam, FormatValueRespectsTheBufferSize) {
  IEffectParam p;
  p.SetupDouble("p", 0.0, 0.0, 1e30, 0.001, "");
  char out[8];
  std::memset(out, '#', sizeof out);
  p.FormatValue(1e29, false, out, 6);
  EXPECT_EQ(std::strlen(out), 5u);
  EXPECT_EQ(out[6], '#');
  p.FormatValue(1.0, false, nullptr, 6);  // no buffer: nothing happens
}

TEST(IEffectParam, DisplayTextLookUp) {
  IEffectParam map;
  map.SetupEnum("colormap", 0, 4);
  map.AddDisplayText(1, "thermal");
  map.AddDisplayText(0, "pompeii");
  map.AddDisplayText(7, "thermal");

  int value = -1;
  EXPECT_TRUE(map.FindValueForText("thermal", &value));
  EXPECT_EQ(value, 1);
  value = -1;
  EXPECT_FALSE(map.FindValueForText("Thermal", &value));
  EXPECT_EQ(value, -1);
  EXPECT_FALSE(map.FindValueForText(nullptr, &value));
  EXPECT_FALSE(map.FindValueForText("pompeii", nullptr));
  EXPECT_STREQ(map.TextForValue(0), "pompeii");
  EXPECT_STREQ(map.TextForValue(2), "");
  EXPECT_EQ(map.DisplayTextCount(), 3);
}

TEST(IEffectParam, LongTextsAreCutToTheirFields) {
  const std::string longText(100, 'a');
  IEffectParam p;
  p.SetupDouble(longText.c_str(), 0.0, 0.0, 1.0, 1.0, longText.c_str());
  p.AddDisplayText(0, longText.c_str());
  EXPECT_EQ(std::string(p.Name()), longText.substr(0, 31));
  EXPECT_EQ(std::string(p.Label()), longText.substr(0, 31));
  EXPECT_EQ(std::string(p.TextForValue(0)), longText.substr(0, 31));

  IEffectParam unnamed;
  unnamed.SetupDouble(nullptr, 0.0, 0.0, 1.0, 1.0, nullptr);
  EXPECT_STREQ(unnamed.Name(), "");
}

TEST(IEffectParam, DegenerateRangeNormalisesToZero) {
  IEffectParam p;
  p.SetupDouble("flat", 2.0, 2.0, 2.0, 0.0, "");
  EXPECT_DOUBLE_EQ(p.GetNormalized(), 0.0);
  p.SetNormalized(0.7);
  EXPECT_DOUBLE_EQ(p.Value(), 2.0);
}

}  // namespace
}  // namespace sorvano
