#include "framework/IEffectParam.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "framework/BoundedString.h"

namespace sorvano {
namespace {

constexpr int kMaxDisplayPrecision = 6;

// v truncated toward zero, saturated to the int range; NaN gives 0. A plain
// cast would be undefined for values outside the range.
int TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (v >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(v);
}

}  // namespace

void IEffectParam::SetupBool(const char* name, bool defaultValue) {
  if (mType == Type::kNone) mType = Type::kBool;
  SetupDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
  AddDisplayText(0, "off");
  AddDisplayText(1, "on");
}

void IEffectParam::SetupEnum(const char* name, int defaultValue, int count) {
  if (mType == Type::kNone) mType = Type::kEnum;
  SetupDouble(name, defaultValue, 0.0, count - 1.0, 1.0, "");
}

void IEffectParam::SetupDouble(const char* name, double defaultValue, double min, double max,
                               double step, const char* label) {
  if (mType == Type::kNone) mType = Type::kDouble;
  CopyBounded(mName, name);
  CopyBounded(mLabel, label);
  mValue.store(defaultValue, std::memory_order_relaxed);
  mMin = min;
  mMax = max < min + step ? min + step : max;
  mStep = step;

  // Decimals needed to show one step: 0.1 needs 1, 0.001 needs 3.
  mDisplayPrecision = 0;
  double s = step;
  while (s != std::floor(s) && mDisplayPrecision < kMaxDisplayPrecision) {
    s *= 10.0;
    ++mDisplayPrecision;
  }
}

void IEffectParam::SetShapeExponent(double shape) {
  if (std::isfinite(shape) && shape > 0.0) mShape = shape;
}

void IEffectParam::AddDisplayText(int value, const char* text) {
  DisplayText entry;
  entry.mValue = value;
  CopyBounded(entry.mText, text);
  mDisplayTexts.push_back(entry);
}

int IEffectParam::DisplayTextCount() const { return static_cast<int>(mDisplayTexts.size()); }

const char* IEffectParam::DisplayTextAt(int i) const {
  if (i < 0 || i >= DisplayTextCount()) return "";
  return mDisplayTexts[static_cast<std::size_t>(i)].mText;
}

const char* IEffectParam::TextForValue(int value) const {
  for (const DisplayText& entry : mDisplayTexts) {
    if (entry.mValue == value) return entry.mText;
  }
  return "";
}

bool IEffectParam::FindValueForText(const char* text, int* value) const {
  if (!text || !value) return false;
  for (const DisplayText& entry : mDisplayTexts) {
    if (std::strcmp(entry.mText, text) == 0) {
      *value = entry.mValue;
      return true;
    }
  }
  return false;
}

void IEffectParam::Set(double v) {
  if (std::isnan(v)) return;
  mValue.store(std::clamp(v, mMin, mMax), std::memory_order_relaxed);
}

double IEffectParam::FromNormalized(double n) const { return mMin + std::pow(n, mShape) * (mMax - mMin); }

void IEffectParam::SetNormalized(double n) {
  if (std::isnan(n)) return;
  double v = FromNormalized(std::clamp(n, 0.0, 1.0));
  if (mType != Type::kDouble && mStep > 0.0) v = std::floor(v / mStep + 0.5) * mStep;
  mValue.store(std::min(v, mMax), std::memory_order_relaxed);
}

double IEffectParam::GetNormalized() const { return GetNormalized(Value()); }

double IEffectParam::GetNormalized(double v) const {
  // A range without width (a step of 0 with max = min) has one value: 0.
  if (!(mMax > mMin) || std::isnan(v)) return 0.0;
  const double clamped = std::clamp(v, mMin, mMax);
  return std::pow((clamped - mMin) / (mMax - mMin), 1.0 / mShape);
}

void IEffectParam::FormatValue(double v, bool normalized, char* out, std::size_t capacity) const {
  if (!out || capacity == 0) return;
  if (normalized) v = FromNormalized(v);

  // The first text for the value decides; an empty one falls back to the
  // number.
  if (const char* text = TextForValue(TruncToInt(v)); text[0] != '\0') {
    CopyBounded(out, capacity, text);
    return;
  }

  if (v == 0.0) {
    CopyBounded(out, capacity, "0");
  } else if (mDisplayPrecision == 0) {
    std::snprintf(out, capacity, "%d", TruncToInt(v));
  } else {
    std::snprintf(out, capacity, "%.*f", mDisplayPrecision, v);
  }
}

void IEffectParam::FormatValue(char* out, std::size_t capacity) const { FormatValue(Value(), false, out, capacity); }

}  // namespace sorvano
