#pragma once
// One automatable parameter: its definition, its normalisation curve, its display rules
// and its current real value. Definitions happen once, before the parameter is shared;
// afterwards only the atomic value changes.
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace iplug {

class IParam;

enum EParamKind : int32_t
{
  eKindNone = 0,
  eKindBool = 1,
  eKindInt = 2,
  eKindEnum = 3,
  eKindDouble = 4
};

// Codes in between are reserved for host unit tables.
enum EParamUnitCode : int32_t
{
  eUnitPercent = 0,
  eUnitSeconds = 1,
  eUnitMilliseconds = 2,
  eUnitDecibels = 4,
  eUnitDegrees = 8,
  eUnitFrequency = 12,
  eUnitCustom = 21
};

// How a host should draw the curve of a parameter.
enum EDisplayCurve : int32_t
{
  eCurveLinear = 0,
  eCurveLog = 1,
  eCurveSquared = 3,
  eCurveSquareRoot = 4,
  eCurveCubed = 5,
  eCurveCubeRoot = 6
};

constexpr int32_t kParamFlagNoAutomation = 0x1;
constexpr int32_t kParamFlagStepped = 0x2;
constexpr int32_t kParamFlagNegateDisplay = 0x4;
constexpr int32_t kParamFlagSignDisplay = 0x8;

constexpr int kMaxParamTextLen = 32;    // name, label, group and display-text buffers
constexpr int kMaxParamDisplayLen = 32; // characters of a formatted value

struct IDisplayText
{
  double value;
  char text[kMaxParamTextLen];
};

// Maps between the normalised 0..1 domain and a parameter's real range.
class Shape
{
public:
  virtual ~Shape() = default;
  virtual std::unique_ptr<Shape> Clone() const = 0;
  virtual void Prepare(const IParam& param);
  virtual EDisplayCurve DisplayCurve() const = 0;
  virtual double MapToReal(double normalized, const IParam& param) const = 0;
  virtual double MapToNormalized(double real, const IParam& param) const = 0;
};

class ShapeLinear : public Shape
{
public:
  std::unique_ptr<Shape> Clone() const override;
  EDisplayCurve DisplayCurve() const override;
  double MapToReal(double normalized, const IParam& param) const override;
  double MapToNormalized(double real, const IParam& param) const override;
};

class ShapePowCurve : public Shape
{
public:
  explicit ShapePowCurve(double exponent);
  std::unique_ptr<Shape> Clone() const override;
  EDisplayCurve DisplayCurve() const override;
  double MapToReal(double normalized, const IParam& param) const override;
  double MapToNormalized(double real, const IParam& param) const override;

  double mExponent;
};

// Exponential curve for frequency-like ranges; a non-positive minimum counts as 1e-8.
class ShapeExp : public Shape
{
public:
  std::unique_ptr<Shape> Clone() const override;
  void Prepare(const IParam& param) override;
  EDisplayCurve DisplayCurve() const override;
  double MapToReal(double normalized, const IParam& param) const override;
  double MapToNormalized(double real, const IParam& param) const override;

  double mScale = 1.0;
  double mOffset = 1.0;
};

class IParam
{
public:
  using Formatter = std::function<void(double value, std::string& text)>;

  IParam();
  ~IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // Definition [construction only, before any host sees the parameter]. The outermost
  // Define* in a delegation chain chooses the kind; display texts are only ever appended.
  void DefineContinuous(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label = "", int flags = 0, const char* group = "",
                        const Shape& shape = ShapeLinear(), EParamUnitCode unit = eUnitCustom,
                        Formatter formatter = nullptr);
  void DefineInteger(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
                     int flags = 0, const char* group = "");
  // texts are added for values 0, 1, ... up to count of them, stopping at the first null
  void DefineChoice(const char* name, int defaultVal, int count, const char* label = "", int flags = 0,
                    const char* group = "", std::initializer_list<const char*> texts = {});
  void DefineChoice(const char* name, int defaultVal, std::initializer_list<const char*> texts, int flags = 0,
                    const char* group = "");
  void DefineSwitch(const char* name, bool defaultVal, const char* label = "", int flags = 0,
                    const char* group = "", const char* offText = "Off", const char* onText = "On");
  void DefineFrequency(const char* name, double defaultVal, double minVal, double maxVal, double step = 0.1,
                       int flags = 0, const char* group = "");
  void DefineGain(const char* name, double defaultVal, double minVal, double maxVal, double step = 0.1,
                  int flags = 0, const char* group = "");
  void DefinePercent(const char* name, double defaultVal, double minVal, double maxVal, int flags = 0,
                     const char* group = "");
  void DefineMilliseconds(const char* name, double defaultVal, double minVal, double maxVal, int flags = 0,
                          const char* group = "");
  void DefineSeconds(const char* name, double defaultVal, double minVal, double maxVal, double step = 0.1,
                     int flags = 0, const char* group = "");
  void DefineAngle(const char* name, double defaultVal, double minVal, double maxVal, int flags = 0,
                   const char* group = "");
  void DefineNote(const char* name, int defaultVal, int lowestNote, int highestNote, int flags = 0,
                  const char* group = "", bool middleCisC4 = true);
  // Copies source's definition, replacing the first occurrence of search in its name;
  // an empty newGroup keeps the source's group.
  void DefineFrom(const IParam& source, const char* search, const char* replacement, const char* newGroup = "");

  // Values [any thread, lock-free]. Real values are always limited on the way in.
  double RealValue() const { return mValue.load(); }
  void SetRealValue(double value);
  void ResetToDefault();
  double NormalizedToReal(double normalized) const;
  double RealToNormalized(double real) const;
  void SetFromNormalized(double normalized);
  double NormalizedValue() const;
  // Stepping, then the range; NaN gives the default (limited the same way).
  double Limit(double value) const;
  double LimitNormalized(double normalized) const;
  void GetRange(double& minVal, double& maxVal) const;

  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }
  const char* Group() const { return mGroup; }
  EParamKind GetKind() const { return mKind; }
  EParamUnitCode GetUnitCode() const { return mUnitCode; }
  int GetFlags() const { return mFlags; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetStep() const { return mStep; }
  double GetDefault() const { return mDefault; }
  int GetPrecision() const { return mPrecision; }
  const Shape& GetShape() const { return *mShape; }
  void SetPrecision(int precision) { mPrecision = precision; }

  // Display [ui thread]: formatting and parsing may allocate.
  void AddDisplayText(double value, const char* text);
  int DisplayTextCount() const { return static_cast<int>(mDisplayTexts.size()); }
  // text of the first entry with exactly this value, or ""
  const char* DisplayTextFor(double value) const;
  // "" (and value untouched) for an index outside the list
  const char* DisplayTextAt(int index, double* value = nullptr) const;
  // exact, case-sensitive match; false when no entry has this text
  bool ValueForDisplayText(const char* text, double& value) const;
  void FormatValue(double value, bool normalized, std::string& text, bool useDisplayTexts = true) const;
  void FormatValueWithLabel(std::string& text, bool useDisplayTexts = true) const;
  double ParseValue(const char* text) const;
  // "" when the current value has its own display text, else the label
  const char* UnitLabel() const;
  void AppendJson(std::string& json, int index) const;

private:
  void FormatNumber(double value, std::string& text) const;

  EParamKind mKind = eKindNone;
  EParamUnitCode mUnitCode = eUnitCustom;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int32_t mPrecision = 0;
  int32_t mFlags = 0;
  char mName[kMaxParamTextLen] = {};
  char mLabel[kMaxParamTextLen] = {};
  char mGroup[kMaxParamTextLen] = {};
  std::unique_ptr<Shape> mShape;
  Formatter mFormatter;
  std::vector<IDisplayText> mDisplayTexts;
};

} // namespace iplug
