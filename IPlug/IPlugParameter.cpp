#include "IPlugParameter.h"

#include "IPlugUtilities.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace iplug {

namespace {

constexpr int kMaxStepDecimals = 6;
constexpr double kExpLowestMin = 1e-8;
constexpr std::size_t kMaxJsonPiece = 8192;

constexpr const char* kKindJsonTypes[] = {nullptr, "bool", "int", "enum", "float"};

constexpr const char* kNoteNames[] = {"C ", "C#", "D ", "D#", "E ", "F ", "F#", "G ", "G#", "A ", "A#", "B "};
constexpr int kNotesPerOctave = 12;

// Tested in order; the first match wins, none means linear.
struct CurveRule
{
  bool above;
  double threshold;
  EDisplayCurve curve;
};
constexpr CurveRule kPowCurveRules[] = {
  {true, 2.5, eCurveCubeRoot},
  {true, 1.5, eCurveSquareRoot},
  {false, 0.4, eCurveCubed},
  {false, 2.0 / 3.0, eCurveSquared},
};

int DecimalsForStep(double step)
{
  int decimals = 0;
  while (decimals < kMaxStepDecimals && step != std::floor(step))
  {
    ++decimals;
    step *= 10.0;
  }
  return decimals;
}

// Half away from zero; NaN and values beyond int give 0 or the nearest int limit
// instead of an undefined conversion.
int RoundToInt(double value)
{
  if (std::isnan(value))
    return 0;
  const double rounded = std::round(value);
  if (rounded <= static_cast<double>(INT_MIN))
    return INT_MIN;
  if (rounded >= static_cast<double>(INT_MAX))
    return INT_MAX;
  return static_cast<int>(rounded);
}

// "-0.0", "+0.00" and the like: a number that rounded to zero at the shown precision.
bool IsSignedZeroText(const char* text)
{
  if (text[0] != '-' && text[0] != '+')
    return false;
  bool sawDigit = false;
  for (const char* c = text + 1; *c != '\0'; ++c)
  {
    if (*c == '0')
      sawDigit = true;
    else if (*c != '.')
      return false;
  }
  return sawDigit;
}

int FloorDiv(int a, int b)
{
  const int q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

int FloorMod(int a, int b)
{
  return a - FloorDiv(a, b) * b;
}

} // namespace

// --- Shapes -------------------------------------------------------------------------

void Shape::Prepare(const IParam&) {}

std::unique_ptr<Shape> ShapeLinear::Clone() const
{
  return std::make_unique<ShapeLinear>(*this);
}

EDisplayCurve ShapeLinear::DisplayCurve() const
{
  return eCurveLinear;
}

double ShapeLinear::MapToReal(double normalized, const IParam& param) const
{
  return param.GetMin() + normalized * (param.GetMax() - param.GetMin());
}

double ShapeLinear::MapToNormalized(double real, const IParam& param) const
{
  return (real - param.GetMin()) / (param.GetMax() - param.GetMin());
}

ShapePowCurve::ShapePowCurve(double exponent)
  : mExponent(exponent)
{
}

std::unique_ptr<Shape> ShapePowCurve::Clone() const
{
  return std::make_unique<ShapePowCurve>(*this);
}

EDisplayCurve ShapePowCurve::DisplayCurve() const
{
  for (const CurveRule& rule : kPowCurveRules)
  {
    if (rule.above ? mExponent > rule.threshold : mExponent < rule.threshold)
      return rule.curve;
  }
  return eCurveLinear;
}

double ShapePowCurve::MapToReal(double normalized, const IParam& param) const
{
  return param.GetMin() + std::pow(normalized, mExponent) * (param.GetMax() - param.GetMin());
}

double ShapePowCurve::MapToNormalized(double real, const IParam& param) const
{
  return std::pow((real - param.GetMin()) / (param.GetMax() - param.GetMin()), 1.0 / mExponent);
}

std::unique_ptr<Shape> ShapeExp::Clone() const
{
  return std::make_unique<ShapeExp>(*this);
}

void ShapeExp::Prepare(const IParam& param)
{
  const double low = param.GetMin() > 0.0 ? param.GetMin() : kExpLowestMin;
  mOffset = std::log(low);
  mScale = std::log(param.GetMax() / low);
}

EDisplayCurve ShapeExp::DisplayCurve() const
{
  return eCurveLog;
}

double ShapeExp::MapToReal(double normalized, const IParam&) const
{
  return std::exp(normalized * mScale + mOffset);
}

double ShapeExp::MapToNormalized(double real, const IParam&) const
{
  return (std::log(real) - mOffset) / mScale;
}

// --- Definition ---------------------------------------------------------------------

IParam::IParam()
  : mShape(std::make_unique<ShapeLinear>())
{
}

IParam::~IParam() = default;

void IParam::DefineContinuous(const char* name, double defaultVal, double minVal, double maxVal, double step,
                              const char* label, int flags, const char* group, const Shape& shape,
                              EParamUnitCode unit, Formatter formatter)
{
  if (mKind == eKindNone)
    mKind = eKindDouble;

  CopyText(mName, name);
  CopyText(mLabel, label);
  CopyText(mGroup, group);

  mMin = minVal;
  mMax = (minVal + step > maxVal) ? minVal + step : maxVal;
  mStep = step;
  mDefault = defaultVal;
  mUnitCode = unit;
  mFlags = flags;
  mFormatter = std::move(formatter);
  mValue.exchange(Limit(defaultVal));
  mPrecision = DecimalsForStep(step);

  mShape = shape.Clone();
  mShape->Prepare(*this);
}

void IParam::DefineInteger(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                           int flags, const char* group)
{
  if (mKind == eKindNone)
    mKind = eKindInt;
  DefineContinuous(name, defaultVal, minVal, maxVal, 1.0, label, flags | kParamFlagStepped, group,
                   ShapeLinear(), eUnitCustom);
}

void IParam::DefineChoice(const char* name, int defaultVal, int count, const char* label, int flags,
                          const char* group, std::initializer_list<const char*> texts)
{
  if (mKind == eKindNone)
    mKind = eKindEnum;
  DefineInteger(name, defaultVal, 0, count - 1, label, flags | kParamFlagStepped, group);

  int value = 0;
  for (const char* text : texts)
  {
    if (value >= count || text == nullptr)
      break;
    AddDisplayText(value++, text);
  }
}

void IParam::DefineChoice(const char* name, int defaultVal, std::initializer_list<const char*> texts, int flags,
                          const char* group)
{
  if (mKind == eKindNone)
    mKind = eKindEnum;
  const int count = static_cast<int>(texts.size());
  DefineContinuous(name, defaultVal, 0.0, count - 1, 1.0, "", flags | kParamFlagStepped, group, ShapeLinear(),
                   eUnitCustom);

  int value = 0;
  for (const char* text : texts)
    AddDisplayText(value++, text);
}

void IParam::DefineSwitch(const char* name, bool defaultVal, const char* label, int flags, const char* group,
                          const char* offText, const char* onText)
{
  if (mKind == eKindNone)
    mKind = eKindBool;
  DefineChoice(name, defaultVal ? 1 : 0, 2, label, flags | kParamFlagStepped, group);
  AddDisplayText(0.0, offText);
  AddDisplayText(1.0, onText);
}

void IParam::DefineFrequency(const char* name, double defaultVal, double minVal, double maxVal, double step,
                             int flags, const char* group)
{
  DefineContinuous(name, defaultVal, minVal, maxVal, step, "Hz", flags, group, ShapeExp(), eUnitFrequency);
}

void IParam::DefineGain(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags,
                        const char* group)
{
  DefineContinuous(name, defaultVal, minVal, maxVal, step, "dB", flags, group, ShapeLinear(), eUnitDecibels);
}

void IParam::DefinePercent(const char* name, double defaultVal, double minVal, double maxVal, int flags,
                           const char* group)
{
  DefineContinuous(name, defaultVal, minVal, maxVal, 1.0, "%", flags, group, ShapeLinear(), eUnitPercent);
}

void IParam::DefineMilliseconds(const char* name, double defaultVal, double minVal, double maxVal, int flags,
                                const char* group)
{
  DefineContinuous(name, defaultVal, minVal, maxVal, 1.0, "ms", flags, group, ShapeLinear(), eUnitMilliseconds);
}

void IParam::DefineSeconds(const char* name, double defaultVal, double minVal, double maxVal, double step,
                           int flags, const char* group)
{
  DefineContinuous(name, defaultVal, minVal, maxVal, step, "Seconds", flags, group, ShapeLinear(), eUnitSeconds);
}

void IParam::DefineAngle(const char* name, double defaultVal, double minVal, double maxVal, int flags,
                         const char* group)
{
  DefineContinuous(name, defaultVal, minVal, maxVal, 1.0, "degrees", flags, group, ShapeLinear(), eUnitDegrees);
}

void IParam::DefineNote(const char* name, int defaultVal, int lowestNote, int highestNote, int flags,
                        const char* group, bool middleCisC4)
{
  DefineChoice(name, defaultVal, highestNote - lowestNote + 1, "", flags, group);

  const int octaveShift = middleCisC4 ? 1 : 2;
  for (int note = lowestNote; note <= highestNote; ++note)
  {
    // floor division keeps a negative note number inside the name table
    char text[kMaxParamTextLen];
    FormatText(text, "%s%i", kNoteNames[FloorMod(note, kNotesPerOctave)],
               FloorDiv(note, kNotesPerOctave) - octaveShift);
    AddDisplayText(note - lowestNote, text);
  }
}

void IParam::DefineFrom(const IParam& source, const char* search, const char* replacement, const char* newGroup)
{
  if (mKind == eKindNone)
    mKind = source.mKind;

  std::string name = source.mName;
  if (search != nullptr && search[0] != '\0')
  {
    const std::size_t at = name.find(search);
    if (at != std::string::npos)
      name.replace(at, std::strlen(search), replacement != nullptr ? replacement : "");
  }
  const char* group = (newGroup != nullptr && newGroup[0] != '\0') ? newGroup : source.mGroup;

  // copies first: the source may be this parameter
  Formatter formatter = source.mFormatter;
  const std::vector<IDisplayText> texts = source.mDisplayTexts;
  DefineContinuous(name.c_str(), source.mDefault, source.mMin, source.mMax, source.mStep, source.mLabel,
                   source.mFlags, group, *source.mShape, source.mUnitCode, std::move(formatter));
  mDisplayTexts.insert(mDisplayTexts.end(), texts.begin(), texts.end());
}

// --- Values -------------------------------------------------------------------------

void IParam::SetRealValue(double value)
{
  mValue.exchange(Limit(value));
}

void IParam::ResetToDefault()
{
  mValue.exchange(mDefault);
}

double IParam::NormalizedToReal(double normalized) const
{
  // Out-of-range positions would leave the curve (a power of a negative number);
  // NaN passes through to Limit, which answers the default.
  if (normalized < 0.0)
    normalized = 0.0;
  else if (normalized > 1.0)
    normalized = 1.0;
  return Limit(mShape->MapToReal(normalized, *this));
}

double IParam::RealToNormalized(double real) const
{
  const double normalized = mShape->MapToNormalized(Limit(real), *this);
  if (std::isnan(normalized)) // empty range, or a log of a non-positive value
    return 0.0;
  return std::clamp(normalized, 0.0, 1.0);
}

void IParam::SetFromNormalized(double normalized)
{
  SetRealValue(NormalizedToReal(normalized));
}

double IParam::NormalizedValue() const
{
  return RealToNormalized(RealValue());
}

double IParam::Limit(double value) const
{
  if (std::isnan(value))
    value = mDefault;
  if ((mFlags & kParamFlagStepped) && mStep > 0.0)
    value = std::round(value / mStep) * mStep;
  // argument order makes a NaN default come out as mMin
  return std::min(mMax, std::max(mMin, value));
}

double IParam::LimitNormalized(double normalized) const
{
  return RealToNormalized(NormalizedToReal(normalized));
}

void IParam::GetRange(double& minVal, double& maxVal) const
{
  minVal = mMin;
  maxVal = mMax;
}

// --- Display ------------------------------------------------------------------------

void IParam::AddDisplayText(double value, const char* text)
{
  IDisplayText entry{value, {}};
  CopyText(entry.text, text);
  mDisplayTexts.push_back(entry);
}

const char* IParam::DisplayTextFor(double value) const
{
  for (const IDisplayText& entry : mDisplayTexts)
  {
    if (entry.value == value)
      return entry.text;
  }
  return "";
}

const char* IParam::DisplayTextAt(int index, double* value) const
{
  if (index < 0 || index >= DisplayTextCount())
    return "";
  const IDisplayText& entry = mDisplayTexts[static_cast<std::size_t>(index)];
  if (value != nullptr)
    *value = entry.value;
  return entry.text;
}

bool IParam::ValueForDisplayText(const char* text, double& value) const
{
  if (text == nullptr)
    return false;
  for (const IDisplayText& entry : mDisplayTexts)
  {
    if (std::strcmp(entry.text, text) == 0)
    {
      value = entry.value;
      return true;
    }
  }
  return false;
}

void IParam::FormatValue(double value, bool normalized, std::string& text, bool useDisplayTexts) const
{
  if (normalized)
    value = NormalizedToReal(value);

  text.clear();
  if (mFormatter)
  {
    mFormatter(value, text);
    if (text.size() > static_cast<std::size_t>(kMaxParamDisplayLen))
      text.resize(kMaxParamDisplayLen);
    return;
  }

  if (useDisplayTexts)
  {
    for (const IDisplayText& entry : mDisplayTexts)
    {
      if (entry.value != value)
        continue;
      if (entry.text[0] == '\0')
        break; // an empty text falls back to the number
      text = entry.text;
      return;
    }
  }
  FormatNumber(value, text);
}

void IParam::FormatNumber(double value, std::string& text) const
{
  double shown = (mFlags & kParamFlagNegateDisplay) ? -value : value;
  if (shown == 0.0)
    shown = 0.0; // drops the sign of -0.0

  const bool sign = (mFlags & kParamFlagSignDisplay) != 0;
  char buffer[kMaxParamDisplayLen + 1];
  auto print = [&](double number) {
    if (mPrecision == 0)
      FormatText(buffer, "%d", RoundToInt(number));
    else if (sign && number != 0.0)
      FormatText(buffer, "%+.*f", mPrecision, number);
    else
      FormatText(buffer, "%.*f", mPrecision, number);
  };

  print(shown);
  // a small number that rounds to zero shows as a plain zero, never "-0.0" or "+0.0"
  if (IsSignedZeroText(buffer))
    print(0.0);
  text = buffer;
}

void IParam::FormatValueWithLabel(std::string& text, bool useDisplayTexts) const
{
  FormatValue(RealValue(), false, text, useDisplayTexts);
  const char* label = UnitLabel();
  if (label[0] != '\0')
  {
    text += ' ';
    text += label;
  }
}

double IParam::ParseValue(const char* text) const
{
  if (text == nullptr)
    text = "";

  double value = 0.0;
  if (!mDisplayTexts.empty() && ValueForDisplayText(text, value))
    return value;
  if (mKind == eKindBool || mKind == eKindEnum)
    return 0.0;

  value = std::strtod(text, nullptr);
  if (mFlags & kParamFlagNegateDisplay)
    value = -value;
  return Limit(value);
}

const char* IParam::UnitLabel() const
{
  // trunc instead of an int cast: same result in range, defined for any value
  return DisplayTextFor(std::trunc(RealValue()))[0] != '\0' ? "" : mLabel;
}

void IParam::AppendJson(std::string& json, int index) const
{
  const int kind = static_cast<int>(mKind);
  const char* type = (kind >= 0 && kind < static_cast<int>(std::size(kKindJsonTypes))) ? kKindJsonTypes[kind] : nullptr;

  AppendFormat(json, kMaxJsonPiece, "{");
  AppendFormat(json, kMaxJsonPiece, "\"id\":%i, ", index);
  // names are escaped so the output stays valid JSON whatever a plug-in calls its parameters
  std::string name;
  AppendJsonEscaped(name, mName);
  AppendFormat(json, kMaxJsonPiece, "\"name\":\"%s\", ", name.c_str());
  if (type != nullptr)
    AppendFormat(json, kMaxJsonPiece, "\"type\":\"%s\", ", type);
  AppendFormat(json, kMaxJsonPiece, "\"min\":%f, ", mMin);
  AppendFormat(json, kMaxJsonPiece, "\"max\":%f, ", mMax);
  AppendFormat(json, kMaxJsonPiece, "\"default\":%f, ", mDefault);
  AppendFormat(json, kMaxJsonPiece, "\"rate\":\"control\"");
  AppendFormat(json, kMaxJsonPiece, "}");
}

} // namespace iplug
