#include "IPlugParameter.h"
#include "IPlugUtilities.h"

#include "AllocationCounter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace iplug;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Format(const IParam& param, double value, bool useDisplayTexts = true)
{
  std::string text;
  param.FormatValue(value, false, text, useDisplayTexts);
  return text;
}

// The switch of the plug-in that carries its own texts.
void DefineOversampling(IParam& param)
{
  param.DefineInteger("Oversampling", 0, 0, 1);
  param.AddDisplayText(0, "Oversampling Off");
  param.AddDisplayText(1, "Oversampling On");
}

} // namespace

TEST(IParam, UndefinedParameterIsAValidUnitRangeWithNoKind)
{
  IParam param;
  EXPECT_EQ(param.GetKind(), eKindNone);
  EXPECT_EQ(param.GetUnitCode(), eUnitCustom);
  EXPECT_EQ(param.RealValue(), 0.0);
  EXPECT_EQ(param.GetMin(), 0.0);
  EXPECT_EQ(param.GetMax(), 1.0);
  EXPECT_EQ(param.GetStep(), 1.0);
  EXPECT_STREQ(param.Name(), "");
  EXPECT_EQ(param.GetShape().DisplayCurve(), eCurveLinear);
  EXPECT_DOUBLE_EQ(param.NormalizedToReal(0.25), 0.25);
}

TEST(IParam, DecimalsFollowTheStep)
{
  const struct { double step; int decimals; } cases[] = {
    {1.0, 0}, {0.1, 1}, {0.01, 2}, {0.5, 1}, {2.0, 0}, {1e-9, 6},
  };
  for (const auto& c : cases)
  {
    IParam param;
    param.DefineContinuous("p", 0, -10, 10, c.step);
    EXPECT_EQ(param.GetPrecision(), c.decimals) << "step " << c.step;
  }
}

TEST(IParam, NumbersDisplayWithStepDecimalsSignAndNoNegativeZero)
{
  const struct { double step; int flags; double value; const char* text; } cases[] = {
    {0.1, 0, 0.0, "0.0"},
    {0.1, 0, -12.0, "-12.0"},
    {0.1, 0, -0.0, "0.0"},
    {0.1, 0, -0.04, "0.0"}, // rounds to zero: shown unsigned
    {0.01, 0, 11.7, "11.70"},
    {1.0, 0, 110.4, "110"},
    {1.0, 0, 110.5, "111"},
    {1.0, 0, -0.5, "-1"},
    {1.0, 0, -0.4, "0"},
    {0.1, kParamFlagSignDisplay, 3.0, "+3.0"},
    {0.1, kParamFlagSignDisplay, -3.0, "-3.0"},
    {0.1, kParamFlagSignDisplay, 0.0, "0.0"},
    {0.1, kParamFlagSignDisplay, -0.0, "0.0"},
    {0.1, kParamFlagSignDisplay, 0.04, "0.0"},
    {1.0, kParamFlagSignDisplay, 3.0, "3"}, // integers never carry a plus
    {0.1, kParamFlagNegateDisplay, 3.0, "-3.0"},
    {0.1, kParamFlagNegateDisplay, 0.0, "0.0"},
    {0.1, kParamFlagNegateDisplay | kParamFlagSignDisplay, -3.0, "+3.0"},
  };
  for (const auto& c : cases)
  {
    IParam param;
    param.DefineContinuous("p", 0, -200, 200, c.step, "", c.flags);
    EXPECT_EQ(Format(param, c.value), c.text) << "step " << c.step << " flags " << c.flags << " value " << c.value;
  }
}

TEST(IParam, FormattedNumbersAreLimitedTo32Characters)
{
  IParam param;
  param.DefineContinuous("p", 0, 0, 1e300, 0.1);
  EXPECT_EQ(Format(param, 1e300).size(), 32u);
  param.SetPrecision(0);
  EXPECT_EQ(Format(param, 1e300), "2147483647"); // no undefined int conversion
}

TEST(IParam, NormalizedFormatMapsThroughTheCurveFirst)
{
  IParam param;
  param.DefineGain("Trim", 0, -12, 12, 0.1);
  std::string text;
  param.FormatValue(0.75, true, text, true);
  EXPECT_EQ(text, "6.0");
}

TEST(IParam, SteppedIntegerRoundsHalfAwayFromZero)
{
  IParam param;
  param.DefineInteger("All Bypass", 1, 0, 1);
  EXPECT_EQ(param.GetKind(), eKindInt);
  EXPECT_TRUE(param.GetFlags() & kParamFlagStepped);

  param.SetFromNormalized(0.49);
  EXPECT_EQ(param.RealValue(), 0.0);
  param.SetFromNormalized(0.5);
  EXPECT_EQ(param.RealValue(), 1.0);
  EXPECT_EQ(param.LimitNormalized(0.49), 0.0);
  EXPECT_EQ(param.LimitNormalized(0.5), 1.0);
}

TEST(IParam, LimitSnapsSteppedValuesThenClampsToTheRange)
{
  IParam param;
  param.DefineContinuous("p", 0, -1, 1, 0.25, "", kParamFlagStepped);
  EXPECT_EQ(param.Limit(0.3), 0.25);
  EXPECT_EQ(param.Limit(-0.375), -0.5);
  EXPECT_EQ(param.Limit(7.0), 1.0);
  EXPECT_EQ(param.Limit(-std::numeric_limits<double>::infinity()), -1.0);
}

TEST(IParam, RangeIsNeverNarrowerThanOneStep)
{
  IParam param;
  param.DefineContinuous("p", 0, 0, 0.05, 0.1);
  double minVal = -1, maxVal = -1;
  param.GetRange(minVal, maxVal);
  EXPECT_EQ(minVal, 0.0);
  EXPECT_EQ(maxVal, 0.1);
}

TEST(IParam, NaNNeverReachesTheStoredValue)
{
  IParam param;
  param.DefineContinuous("p", 5, 0, 10, 0.1);
  param.SetRealValue(7);
  param.SetRealValue(kNaN);
  EXPECT_EQ(param.RealValue(), 5.0);

  param.SetRealValue(7);
  param.SetFromNormalized(kNaN);
  EXPECT_EQ(param.RealValue(), 5.0);
  EXPECT_EQ(param.RealToNormalized(kNaN), 0.5);

  IParam outside; // default beyond the range still gives a value inside it
  outside.DefineContinuous("p", 20, 0, 10, 0.1);
  EXPECT_EQ(outside.Limit(kNaN), 10.0);
}

TEST(IParam, NormalizedValuesOutsideTheUnitRangeStayInsideTheRealRange)
{
  IParam param;
  param.DefineContinuous("p", 0, 0, 100, 0.1, "", 0, "", ShapePowCurve(2.0));
  EXPECT_EQ(param.NormalizedToReal(-0.5), 0.0); // not (-0.5)^2 of the range
  EXPECT_EQ(param.NormalizedToReal(1.5), 100.0);
  EXPECT_EQ(param.RealToNormalized(500.0), 1.0);
  EXPECT_EQ(param.RealToNormalized(-500.0), 0.0);
}

TEST(IParam, EmptyOrUnsteppableRangesGiveNoNaN)
{
  IParam flat;
  flat.DefineContinuous("p", 5, 5, 5, 0.0, "", kParamFlagStepped);
  EXPECT_EQ(flat.Limit(3.3), 5.0);
  EXPECT_EQ(flat.RealToNormalized(5.0), 0.0);
}

TEST(IParam, DisplayTextsFormatAndParseBackExactly)
{
  IParam param;
  DefineOversampling(param);

  EXPECT_EQ(Format(param, 0), "Oversampling Off");
  EXPECT_EQ(Format(param, 1), "Oversampling On");
  EXPECT_EQ(Format(param, 1, false), "1");
  EXPECT_EQ(param.ParseValue("Oversampling On"), 1.0);
  EXPECT_EQ(param.ParseValue("Oversampling Off"), 0.0);
  EXPECT_EQ(param.ParseValue("1"), 1.0);
  EXPECT_EQ(param.ParseValue("oversampling on"), 0.0); // case differs: parsed as a number
  EXPECT_EQ(param.ParseValue("5"), 1.0);               // numbers are limited
}

TEST(IParam, EmptyDisplayTextFallsBackToTheNumber)
{
  IParam param;
  param.DefineInteger("p", 0, 0, 3);
  param.AddDisplayText(1, "");
  param.AddDisplayText(1, "later duplicate");
  EXPECT_EQ(Format(param, 1), "1");
  EXPECT_STREQ(param.DisplayTextFor(1), "");
}

TEST(IParam, UnitLabelIsDroppedForValuesWithTheirOwnText)
{
  IParam param;
  param.DefineInteger("Steps", 0, 0, 4, "st");
  param.AddDisplayText(0, "Off");
  std::string text;

  EXPECT_STREQ(param.UnitLabel(), "");
  param.FormatValueWithLabel(text);
  EXPECT_EQ(text, "Off");

  param.SetRealValue(2);
  EXPECT_STREQ(param.UnitLabel(), "st");
  param.FormatValueWithLabel(text);
  EXPECT_EQ(text, "2 st");
}

TEST(IParam, UnitLabelLooksUpTheValueTruncatedTowardZero)
{
  IParam param;
  param.DefineContinuous("p", 1.7, 0, 4, 0.1, "Oct");
  param.AddDisplayText(1, "One");
  EXPECT_STREQ(param.UnitLabel(), "");
  param.SetRealValue(2.3);
  EXPECT_STREQ(param.UnitLabel(), "Oct");
}

TEST(IParam, EnumParsesOnlyItsTexts)
{
  IParam param;
  param.DefineChoice("Mode", 2, {"Low", "Mid", "High"});
  EXPECT_EQ(param.GetKind(), eKindEnum);
  EXPECT_EQ(param.ParseValue("Mid"), 1.0);
  EXPECT_EQ(param.ParseValue("Nothing"), 0.0);
  EXPECT_EQ(param.ParseValue("2"), 0.0);
  EXPECT_EQ(param.ParseValue(nullptr), 0.0);
}

TEST(IParam, NumberParsingLimitsAndUndoesNegatedDisplay)
{
  IParam param;
  param.DefineContinuous("p", 5, 1, 10, 0.1, "", kParamFlagNegateDisplay);
  EXPECT_EQ(param.ParseValue("-3.5 dB"), 3.5);
  EXPECT_EQ(param.ParseValue("garbage"), 1.0); // 0.0, then limited
  EXPECT_EQ(param.ParseValue("nan"), 5.0);
}

TEST(IParam, ChoiceCountFormAddsTextsUntilTheFirstMissingOne)
{
  IParam param;
  param.DefineChoice("Mode", 0, 3, "", 0, "", {"A", nullptr, "C"});
  EXPECT_EQ(param.GetMax(), 2.0);
  ASSERT_EQ(param.DisplayTextCount(), 1);

  double value = -1;
  EXPECT_STREQ(param.DisplayTextAt(0, &value), "A");
  EXPECT_EQ(value, 0.0);
  EXPECT_STREQ(param.DisplayTextAt(5, &value), "");
  EXPECT_EQ(value, 0.0);
}

TEST(IParam, OutermostDefinitionChoosesTheKind)
{
  IParam toggle;
  toggle.DefineSwitch("Bypass", true, "", 0, "", "In", "Out");
  EXPECT_EQ(toggle.GetKind(), eKindBool);
  EXPECT_EQ(toggle.RealValue(), 1.0);
  EXPECT_EQ(Format(toggle, 0), "In");
  EXPECT_EQ(Format(toggle, 1), "Out");

  IParam freq;
  freq.DefineFrequency("Freq", 1000, 20, 20000, 1);
  EXPECT_EQ(freq.GetKind(), eKindDouble);
  EXPECT_EQ(freq.GetUnitCode(), eUnitFrequency);
  EXPECT_STREQ(freq.Label(), "Hz");
}

TEST(IParam, ExpShapeMapsHalfwayToTheGeometricMean)
{
  IParam param;
  param.DefineFrequency("Freq", 1000, 20, 20000, 0.01);
  EXPECT_EQ(param.GetShape().DisplayCurve(), eCurveLog);
  EXPECT_NEAR(param.NormalizedToReal(0.5), 632.46, 0.005);
  EXPECT_NEAR(param.NormalizedToReal(0.0), 20.0, 1e-9);
  EXPECT_NEAR(param.NormalizedToReal(1.0), 20000.0, 1e-9);
  EXPECT_NEAR(param.RealToNormalized(632.4555), 0.5, 1e-6);
}

TEST(IParam, ExpShapeOnNonPositiveMinimumStartsAtTinyValue)
{
  IParam param;
  param.DefineContinuous("p", 0, 0, 100, 0.1, "", 0, "", ShapeExp());
  EXPECT_NEAR(param.NormalizedToReal(0.5), 1e-3, 1e-12); // sqrt(1e-8 * 100)
  EXPECT_EQ(param.RealToNormalized(0.0), 0.0);            // log(0) clipped
}

TEST(IParam, PowCurveMapsAndReportsItsDisplayCurve)
{
  IParam param;
  param.DefineContinuous("p", 0, 0, 100, 0.1, "", 0, "", ShapePowCurve(2.0));
  EXPECT_DOUBLE_EQ(param.NormalizedToReal(0.5), 25.0);
  EXPECT_DOUBLE_EQ(param.RealToNormalized(25.0), 0.5);

  const struct { double exponent; EDisplayCurve curve; } cases[] = {
    {3.0, eCurveCubeRoot}, {2.5, eCurveSquareRoot}, {2.0, eCurveSquareRoot}, {1.5, eCurveLinear},
    {1.0, eCurveLinear},   {2.0 / 3.0, eCurveLinear}, {0.5, eCurveSquared}, {0.4, eCurveSquared},
    {0.3, eCurveCubed},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShapePowCurve(c.exponent).DisplayCurve(), c.curve) << "exponent " << c.exponent;
}

TEST(IParam, RedefiningFromItsOwnShapeKeepsThatShape)
{
  IParam param;
  param.DefineFrequency("Freq", 100, 20, 20000, 1);
  param.DefineContinuous("Again", 100, 20, 20000, 1, "", 0, "", param.GetShape());
  EXPECT_NEAR(param.NormalizedToReal(0.5), 632.46, 0.005);
}

TEST(IParam, NoteTextsNameEachNoteWithItsOctave)
{
  IParam c4;
  c4.DefineNote("Note", 1, 59, 61);
  EXPECT_EQ(c4.GetKind(), eKindEnum);
  EXPECT_EQ(c4.GetMax(), 2.0);
  ASSERT_EQ(c4.DisplayTextCount(), 3);
  EXPECT_STREQ(c4.DisplayTextFor(0), "B 3");
  EXPECT_STREQ(c4.DisplayTextFor(1), "C 4");
  EXPECT_STREQ(c4.DisplayTextFor(2), "C#4");

  IParam c3;
  c3.DefineNote("Note", 0, 0, 127, 0, "", false);
  EXPECT_STREQ(c3.DisplayTextFor(0), "C -2");
  EXPECT_STREQ(c3.DisplayTextFor(60), "C 3");
  EXPECT_STREQ(c3.DisplayTextFor(127), "G 8");
}

TEST(IParam, DefineFromCopiesTheDefinitionWithARenamedName)
{
  IParam source;
  source.DefineContinuous("Low Gain", 1, -12, 12, 0.1, "dB", kParamFlagSignDisplay, "Low", ShapePowCurve(3.0),
                          eUnitDecibels, [](double v, std::string& text) { text = v > 0 ? "up" : "down"; });
  source.AddDisplayText(0, "Flat");
  source.SetRealValue(-4);

  IParam copy;
  copy.DefineFrom(source, "Low", "High", "");
  EXPECT_STREQ(copy.Name(), "High Gain");
  EXPECT_STREQ(copy.Group(), "Low");
  EXPECT_STREQ(copy.Label(), "dB");
  EXPECT_EQ(copy.GetKind(), eKindDouble);
  EXPECT_EQ(copy.GetUnitCode(), eUnitDecibels);
  EXPECT_EQ(copy.GetFlags(), kParamFlagSignDisplay);
  EXPECT_EQ(copy.GetPrecision(), 1);
  EXPECT_EQ(copy.RealValue(), 1.0); // the default, not the source's value
  EXPECT_EQ(copy.GetShape().DisplayCurve(), eCurveCubeRoot);
  EXPECT_EQ(Format(copy, 2), "up");
  double value = -1;
  EXPECT_STREQ(copy.DisplayTextAt(0, &value), "Flat");
  EXPECT_EQ(value, 0.0);

  IParam regrouped;
  regrouped.DefineFrom(source, "Mid", "High", "Shelves");
  EXPECT_STREQ(regrouped.Name(), "Low Gain");
  EXPECT_STREQ(regrouped.Group(), "Shelves");
}

TEST(IParam, DefineFromKeepsTheSourceKind)
{
  IParam source;
  DefineOversampling(source);
  IParam copy;
  copy.DefineFrom(source, "", "", "");
  EXPECT_EQ(copy.GetKind(), eKindInt);
  EXPECT_EQ(Format(copy, 1), "Oversampling On");
}

TEST(IParam, FormatterOutputIsLimitedTo32Characters)
{
  IParam param;
  param.DefineContinuous("p", 0, 0, 1, 0.1, "", 0, "", ShapeLinear(), eUnitCustom,
                         [](double, std::string& text) { text.assign(40, 'x'); });
  EXPECT_EQ(Format(param, 0.5), std::string(32, 'x'));
}

TEST(IParam, JsonDescribesTheParameterAndAppends)
{
  IParam trim;
  trim.DefineContinuous("Trim", 0, -12, 12, 0.1, "dB");
  std::string json = "[";
  trim.AppendJson(json, 0);
  EXPECT_EQ(json, "[{\"id\":0, \"name\":\"Trim\", \"type\":\"float\", \"min\":-12.000000, \"max\":12.000000, "
                  "\"default\":0.000000, \"rate\":\"control\"}");

  const struct { void (*define)(IParam&); const char* type; } kinds[] = {
    {[](IParam& p) { p.DefineSwitch("s", false); }, "bool"},
    {[](IParam& p) { p.DefineInteger("s", 0, 0, 1); }, "int"},
    {[](IParam& p) { p.DefineChoice("s", 0, {"a", "b"}); }, "enum"},
  };
  for (const auto& k : kinds)
  {
    IParam param;
    k.define(param);
    std::string text;
    param.AppendJson(text, 3);
    EXPECT_NE(text.find(std::string("\"type\":\"") + k.type + "\", "), std::string::npos) << text;
  }

  // names are escaped so the text is always valid JSON
  IParam odd;
  odd.DefineContinuous("say \"hi\"\\\n", 0, 0, 1, 0.1);
  std::string escaped;
  odd.AppendJson(escaped, 1);
  EXPECT_NE(escaped.find("\"name\":\"say \\\"hi\\\"\\\\\\u000a\", "), std::string::npos) << escaped;

  IParam reserved;
  std::string none;
  reserved.AppendJson(none, 11);
  EXPECT_EQ(none, "{\"id\":11, \"name\":\"\", \"min\":0.000000, \"max\":1.000000, \"default\":0.000000, "
                  "\"rate\":\"control\"}");
}

TEST(IParam, ValueOperationsDoNotAllocate)
{
  IParam param;
  param.DefineFrequency("Freq", 1000, 20, 20000, 1);
  testsupport::AllocationScope scope;
  param.SetFromNormalized(0.3);
  param.SetRealValue(param.RealValue() + 1);
  volatile double sink = param.NormalizedValue() + param.LimitNormalized(0.7);
  (void)sink;
  param.ResetToDefault();
  EXPECT_EQ(scope.Count(), 0u);
  EXPECT_EQ(param.RealValue(), 1000.0);
}

TEST(TextHelpers, CopyAndFormatTruncateAndTerminate)
{
  char small[6];
  CopyText(small, "Oversampling");
  EXPECT_STREQ(small, "Overs");
  CopyText(small, nullptr);
  EXPECT_STREQ(small, "");

  EXPECT_EQ(FormatText(small, "%d-%s", 42, "abcdef"), 5);
  EXPECT_STREQ(small, "42-ab");

  std::string out = "x";
  EXPECT_TRUE(AppendFormat(out, 4, "%s", "123456"));
  EXPECT_EQ(out, "x1234");
}
