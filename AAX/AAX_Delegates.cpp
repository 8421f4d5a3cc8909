#include "AAX_Delegates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

namespace {

int32_t NonNegative(int32_t limit)
{
  return std::max(limit, int32_t{0});
}

// Fixed notation regardless of the process locale.
bool FormatFixed(double value, int32_t precision, std::string& out)
{
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, precision);
  if (error != std::errc{})
    return false;
  out.assign(buffer, end);
  return true;
}

template <typename T>
bool ParseNumber(std::string_view text, T* value)
{
  std::istringstream stream{std::string(text)};
  double parsed = 0.0;
  stream >> parsed;
  bool ok = !stream.fail() && std::isfinite(parsed);
  if constexpr (std::is_integral_v<T>)
    ok = ok && parsed >= static_cast<double>(std::numeric_limits<T>::min()) &&
         parsed <= static_cast<double>(std::numeric_limits<T>::max());
  *value = ok ? static_cast<T>(parsed) : T{};
  return ok;
}

void CutForLimit(std::string& text, int32_t maxChars)
{
  const auto limit = static_cast<std::size_t>(NonNegative(maxChars));
  if (text.size() > limit)
    text.resize(limit);
  if (limit > 0 && text.size() == limit && text.back() == '.')
    text.pop_back();
}

} // namespace

// ---- binary taper

template <typename T>
std::unique_ptr<AAX_ITaperDelegate<T>> AAX_CBinaryTaperDelegate<T>::Clone() const
{
  return std::make_unique<AAX_CBinaryTaperDelegate>(*this);
}

template <typename T>
T AAX_CBinaryTaperDelegate<T>::GetMaximumValue() const
{
  return static_cast<T>(true);
}

template <typename T>
T AAX_CBinaryTaperDelegate<T>::GetMinimumValue() const
{
  return static_cast<T>(false);
}

template <typename T>
T AAX_CBinaryTaperDelegate<T>::ConstrainRealValue(T value) const
{
  return value;
}

template <typename T>
T AAX_CBinaryTaperDelegate<T>::NormalizedToReal(double normalized) const
{
  return static_cast<T>(normalized > 0.0);
}

template <typename T>
double AAX_CBinaryTaperDelegate<T>::RealToNormalized(T real) const
{
  return static_cast<bool>(real) ? 1.0 : 0.0;
}

// ---- linear taper

template <typename T, int32_t RealPrecision>
std::unique_ptr<AAX_ITaperDelegate<T>> AAX_CLinearTaperDelegate<T, RealPrecision>::Clone() const
{
  return std::make_unique<AAX_CLinearTaperDelegate>(*this);
}

template <typename T, int32_t RealPrecision>
T AAX_CLinearTaperDelegate<T, RealPrecision>::Constrain(double value) const
{
  if (mMin == mMax)
    return mMin;
  const double low = static_cast<double>(std::min(mMin, mMax));
  const double high = static_cast<double>(std::max(mMin, mMax));
  // a NaN from the host must not reach the conversion to T
  if (std::isnan(value))
    return mMin;
  if constexpr (RealPrecision > 0)
    value = std::floor(value * RealPrecision + 0.5) / RealPrecision;
  return static_cast<T>(std::clamp(value, low, high));
}

template <typename T, int32_t RealPrecision>
T AAX_CLinearTaperDelegate<T, RealPrecision>::ConstrainRealValue(T value) const
{
  return Constrain(static_cast<double>(value));
}

template <typename T, int32_t RealPrecision>
T AAX_CLinearTaperDelegate<T, RealPrecision>::NormalizedToReal(double normalized) const
{
  const double span = static_cast<double>(mMax) - static_cast<double>(mMin);
  return Constrain(span * normalized + static_cast<double>(mMin));
}

template <typename T, int32_t RealPrecision>
double AAX_CLinearTaperDelegate<T, RealPrecision>::RealToNormalized(T real) const
{
  if (mMax == mMin)
    return 0.5;
  const double span = static_cast<double>(mMax) - static_cast<double>(mMin);
  return (static_cast<double>(ConstrainRealValue(real)) - static_cast<double>(mMin)) / span;
}

// ---- number display

template <typename T, int32_t Precision, int32_t SpaceAfter>
std::unique_ptr<AAX_IDisplayDelegate<T>> AAX_CNumberDisplayDelegate<T, Precision, SpaceAfter>::Clone() const
{
  return std::make_unique<AAX_CNumberDisplayDelegate>(*this);
}

template <typename T, int32_t Precision, int32_t SpaceAfter>
bool AAX_CNumberDisplayDelegate<T, Precision, SpaceAfter>::ValueToString(T value, AAX_CString* text) const
{
  std::string formatted;
  if (!FormatFixed(static_cast<double>(value), Precision, formatted))
    return false;
  formatted.append(static_cast<std::size_t>(NonNegative(SpaceAfter)), ' ');
  *text = AAX_CString(formatted);
  return true;
}

template <typename T, int32_t Precision, int32_t SpaceAfter>
bool AAX_CNumberDisplayDelegate<T, Precision, SpaceAfter>::ValueToString(T value, int32_t maxChars,
                                                                         AAX_CString* text) const
{
  AAX_CString full;
  if (!ValueToString(value, &full))
    return false;
  std::string cut = full.StdString();
  CutForLimit(cut, maxChars);
  *text = AAX_CString(cut);
  return true;
}

template <typename T, int32_t Precision, int32_t SpaceAfter>
bool AAX_CNumberDisplayDelegate<T, Precision, SpaceAfter>::StringToValue(const AAX_CString& text, T* value) const
{
  return ParseNumber(text.View(), value);
}

// ---- decorators

template <typename T>
bool AAX_IDisplayDelegateDecorator<T>::ValueToString(T value, int32_t maxChars, AAX_CString* text) const
{
  return mInner->ValueToString(value, maxChars, text);
}

template <typename T>
bool AAX_IDisplayDelegateDecorator<T>::ValueToString(T value, AAX_CString* text) const
{
  return mInner->ValueToString(value, text);
}

template <typename T>
bool AAX_IDisplayDelegateDecorator<T>::StringToValue(const AAX_CString& text, T* value) const
{
  return mInner->StringToValue(text, value);
}

template <typename T>
std::unique_ptr<AAX_IDisplayDelegate<T>> AAX_CUnitDisplayDelegateDecorator<T>::Clone() const
{
  return std::make_unique<AAX_CUnitDisplayDelegateDecorator>(*this);
}

template <typename T>
bool AAX_CUnitDisplayDelegateDecorator<T>::ValueToString(T value, AAX_CString* text) const
{
  if (!this->Inner().ValueToString(value, text))
    return false;
  *text = AAX_CString(text->StdString() + mUnit.StdString());
  return true;
}

template <typename T>
bool AAX_CUnitDisplayDelegateDecorator<T>::ValueToString(T value, int32_t maxChars, AAX_CString* text) const
{
  if (!this->Inner().ValueToString(value, maxChars, text))
    return false;
  const auto length = static_cast<int32_t>(text->Length());
  const auto unitLength = static_cast<int32_t>(mUnit.Length());
  if (length < NonNegative(maxChars) && maxChars - length >= unitLength)
    *text = AAX_CString(text->StdString() + mUnit.StdString());
  return true;
}

template <typename T>
bool AAX_CUnitDisplayDelegateDecorator<T>::StringToValue(const AAX_CString& text, T* value) const
{
  const std::string_view whole = text.View();
  const std::string_view unit = mUnit.View();
  if (whole.size() <= unit.size() || !whole.ends_with(unit))
    return this->Inner().StringToValue(text, value);
  return this->Inner().StringToValue(AAX_CString(whole.substr(0, whole.size() - unit.size())), value);
}

// ---- string display

template <typename T>
std::unique_ptr<AAX_IDisplayDelegate<T>> AAX_CStringDisplayDelegate<T>::Clone() const
{
  return std::make_unique<AAX_CStringDisplayDelegate>(*this);
}

template <typename T>
bool AAX_CStringDisplayDelegate<T>::ValueToString(T value, AAX_CString* text) const
{
  const auto found = mValueToText.find(value);
  if (found == mValueToText.end())
  {
    *text = AAX_CString("String Not Found");
    return false;
  }
  *text = AAX_CString(found->second);
  return true;
}

template <typename T>
bool AAX_CStringDisplayDelegate<T>::ValueToString(T value, int32_t /*maxChars*/, AAX_CString* text) const
{
  return ValueToString(value, text);
}

template <typename T>
bool AAX_CStringDisplayDelegate<T>::StringToValue(const AAX_CString& text, T* value) const
{
  const auto found = mTextToValue.find(text.View());
  *value = found == mTextToValue.end() ? T{} : found->second;
  return found != mTextToValue.end();
}

// ---- binary display

template <typename T>
std::unique_ptr<AAX_IDisplayDelegate<T>> AAX_CBinaryDisplayDelegate<T>::Clone() const
{
  return std::make_unique<AAX_CBinaryDisplayDelegate>(*this);
}

template <typename T>
void AAX_CBinaryDisplayDelegate<T>::AddShortenedStrings(const char* falseText, const char* trueText, int32_t maxChars)
{
  mShortened.push_back({AAX_CString(falseText), AAX_CString(trueText), maxChars});
  std::stable_sort(mShortened.begin(), mShortened.end(),
                   [](const ShortenedPair& a, const ShortenedPair& b) { return a.mMaxChars < b.mMaxChars; });
}

template <typename T>
bool AAX_CBinaryDisplayDelegate<T>::ValueToString(T value, AAX_CString* text) const
{
  *text = static_cast<bool>(value) ? mTrue : mFalse;
  return true;
}

template <typename T>
bool AAX_CBinaryDisplayDelegate<T>::ValueToString(T value, int32_t maxChars, AAX_CString* text) const
{
  const auto longest = static_cast<int32_t>(std::max(mFalse.Length(), mTrue.Length()));
  if (mShortened.empty() || NonNegative(maxChars) >= longest)
    return ValueToString(value, text);
  const auto fits = std::find_if(mShortened.rbegin(), mShortened.rend(),
                                 [maxChars](const ShortenedPair& pair) { return pair.mMaxChars <= maxChars; });
  const ShortenedPair& pair = fits == mShortened.rend() ? mShortened.front() : *fits;
  *text = static_cast<bool>(value) ? pair.mTrue : pair.mFalse;
  return true;
}

template <typename T>
bool AAX_CBinaryDisplayDelegate<T>::StringToValue(const AAX_CString& text, T* value) const
{
  const bool isTrue = text == mTrue;
  *value = static_cast<T>(isTrue);
  return isTrue || text == mFalse;
}

// The forms the binding and the tests use.
template class AAX_CBinaryTaperDelegate<bool>;
template class AAX_CLinearTaperDelegate<int32_t, 1>;
template class AAX_CLinearTaperDelegate<double, 0>;
template class AAX_CNumberDisplayDelegate<int32_t, 0, 0>;
template class AAX_CNumberDisplayDelegate<double, 2, 0>;
template class AAX_CNumberDisplayDelegate<double, 1, 1>;
template class AAX_IDisplayDelegateDecorator<int32_t>;
template class AAX_IDisplayDelegateDecorator<double>;
template class AAX_CUnitDisplayDelegateDecorator<int32_t>;
template class AAX_CUnitDisplayDelegateDecorator<double>;
template class AAX_CStringDisplayDelegate<int32_t>;
template class AAX_CBinaryDisplayDelegate<bool>;
