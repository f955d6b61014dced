#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

namespace sorvano {

// Capacity of a parameter's name, label and display texts, terminator
// included: the fields hold at most 31 characters.
constexpr std::size_t kParamTextCapacity = 32;

// One automatable plug-in parameter: a real value inside [min, max], its
// mapping to and from the normalised range 0..1 in which hosts and editor
// controls exchange values, and its text for display.
//
// Threads: the plug-in class sets a parameter up in its constructor. After
// that the value is changed by host threads and the editor thread, always
// with the plug-in lock held; the editor may read it without the lock, so the
// value is an atomic. Every other member is fixed after set-up.
class IEffectParam {
public:
  enum class Type { kNone, kBool, kEnum, kDouble };

  IEffectParam() = default;
  IEffectParam(const IEffectParam&) = delete;
  IEffectParam& operator=(const IEffectParam&) = delete;

  // Set-up, called by the plug-in class's constructor. The first one that
  // runs fixes the type; SetupBool and SetupEnum run SetupDouble themselves.
  // SetupBool adds the display texts 0 "off" and 1 "on"; after SetupEnum the
  // caller adds the display texts of its values.
  void SetupBool(const char* name, bool defaultValue);
  void SetupEnum(const char* name, int defaultValue, int count);
  void SetupDouble(const char* name, double defaultValue, double min, double max, double step,
                   const char* label);

  // Exponent of the normalisation curve; a shape above 1 gives the lower part
  // of the range more of the normalised travel. Shapes that are not positive
  // and finite are ignored, so that 1 / shape stays finite and 0 maps to 0.
  void SetShapeExponent(double shape);

  // Texts for particular integer values, in insertion order. Texts longer
  // than 31 characters are cut.
  void AddDisplayText(int value, const char* text);
  int DisplayTextCount() const;
  // The text of entry i in insertion order, or empty text outside the list.
  const char* DisplayTextAt(int i) const;
  // The text of the first entry with this value, or empty text.
  const char* TextForValue(int value) const;
  // The value of the first entry whose text is exactly `text` (case
  // sensitive); false and `value` untouched when there is none.
  bool FindValueForText(const char* text, int* value) const;

  // value = v clamped to [min, max], without snapping to the step. A NaN
  // leaves the value unchanged.
  void Set(double v);
  // value = min + n^shape * (max - min), snapped to the step grid for every
  // type but double, then limited to max. n is limited to 0..1 first (a NaN
  // leaves the value unchanged): hosts send 0..1, anything else is garbage.
  void SetNormalized(double n);
  // The current value, or any real value v, clamped to [min, max] and
  // normalised: ((v - min) / (max - min))^(1 / shape).
  double GetNormalized() const;
  double GetNormalized(double v) const;

  double Value() const { return mValue.load(std::memory_order_relaxed); }

  // Display text of v (normalised when `normalized`): its display text if it
  // has a non-empty one, else the number with the display precision. The
  // label is not appended. Writes at most capacity - 1 characters and a
  // terminator.
  void FormatValue(double v, bool normalized, char* out, std::size_t capacity) const;
  // Display text of the current value.
  void FormatValue(char* out, std::size_t capacity) const;

  Type GetType() const { return mType; }
  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Step() const { return mStep; }
  double Shape() const { return mShape; }
  int DisplayPrecision() const { return mDisplayPrecision; }
  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }

private:
  struct DisplayText {
    int mValue;
    char mText[kParamTextCapacity];
  };

  // min + n^shape * (max - min), without snapping or limiting.
  double FromNormalized(double n) const;

  Type mType = Type::kNone;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  int mDisplayPrecision = 0;
  char mName[kParamTextCapacity] = {};
  char mLabel[kParamTextCapacity] = {};
  std::vector<DisplayText> mDisplayTexts;
};

}  // namespace sorvano
