#pragma once
// Taper delegates map a parameter's normalised value (0..1) to its real value and back; display delegates turn
// real values into texts and back. A parameter owns clones of both. They hold no state that changes after
// construction, so any thread may use them. Instantiated for bool, int32_t and double (AAX_Delegates.cpp).
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AAX_CString.h"

template <typename T>
class AAX_ITaperDelegate
{
public:
  virtual ~AAX_ITaperDelegate() = default;
  virtual std::unique_ptr<AAX_ITaperDelegate> Clone() const = 0;
  virtual T GetMaximumValue() const = 0;
  virtual T GetMinimumValue() const = 0;
  virtual T ConstrainRealValue(T value) const = 0;
  virtual T NormalizedToReal(double normalized) const = 0;
  virtual double RealToNormalized(T real) const = 0;
};

template <typename T>
class AAX_IDisplayDelegate
{
public:
  virtual ~AAX_IDisplayDelegate() = default;
  virtual std::unique_ptr<AAX_IDisplayDelegate> Clone() const = 0;
  // the text for at most maxChars characters; false when there is none
  virtual bool ValueToString(T value, int32_t maxChars, AAX_CString* text) const = 0;
  virtual bool ValueToString(T value, AAX_CString* text) const = 0;
  virtual bool StringToValue(const AAX_CString& text, T* value) const = 0;
};

template <typename T>
class AAX_CBinaryTaperDelegate final : public AAX_ITaperDelegate<T>
{
public:
  std::unique_ptr<AAX_ITaperDelegate<T>> Clone() const override;
  T GetMaximumValue() const override;
  T GetMinimumValue() const override;
  T ConstrainRealValue(T value) const override;
  T NormalizedToReal(double normalized) const override; // true for anything above 0
  double RealToNormalized(T real) const override;
};

// Linear between min and max (either order), real values rounded to 1/RealPrecision (none when RealPrecision <= 0).
template <typename T, int32_t RealPrecision = 1>
class AAX_CLinearTaperDelegate final : public AAX_ITaperDelegate<T>
{
public:
  AAX_CLinearTaperDelegate(T minValue, T maxValue) : mMin(minValue), mMax(maxValue) {}
  std::unique_ptr<AAX_ITaperDelegate<T>> Clone() const override;
  T GetMaximumValue() const override { return mMax; }
  T GetMinimumValue() const override { return mMin; }
  T ConstrainRealValue(T value) const override;
  T NormalizedToReal(double normalized) const override;
  double RealToNormalized(T real) const override; // 0.5 when min = max

private:
  T Constrain(double value) const;

  T mMin;
  T mMax;
};

// Fixed notation with Precision fraction digits, then SpaceAfter spaces.
template <typename T, int32_t Precision = 2, int32_t SpaceAfter = 0>
class AAX_CNumberDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
public:
  std::unique_ptr<AAX_IDisplayDelegate<T>> Clone() const override;
  // cut to maxChars, dropping a point left dangling at the end
  bool ValueToString(T value, int32_t maxChars, AAX_CString* text) const override;
  bool ValueToString(T value, AAX_CString* text) const override;
  bool StringToValue(const AAX_CString& text, T* value) const override; // failure gives 0
};

// Wraps an inner display delegate, which it clones and owns; forwards everything unless a subclass says otherwise.
template <typename T>
class AAX_IDisplayDelegateDecorator : public AAX_IDisplayDelegate<T>
{
public:
  explicit AAX_IDisplayDelegateDecorator(const AAX_IDisplayDelegate<T>& inner) : mInner(inner.Clone()) {}
  AAX_IDisplayDelegateDecorator(const AAX_IDisplayDelegateDecorator& other) : mInner(other.mInner->Clone()) {}
  AAX_IDisplayDelegateDecorator& operator=(const AAX_IDisplayDelegateDecorator&) = delete;

  bool ValueToString(T value, int32_t maxChars, AAX_CString* text) const override;
  bool ValueToString(T value, AAX_CString* text) const override;
  bool StringToValue(const AAX_CString& text, T* value) const override;

protected:
  const AAX_IDisplayDelegate<T>& Inner() const { return *mInner; }

private:
  std::unique_ptr<AAX_IDisplayDelegate<T>> mInner;
};

// Appends a unit directly after the inner text, when it fits; accepts texts with or without the unit.
template <typename T>
class AAX_CUnitDisplayDelegateDecorator final : public AAX_IDisplayDelegateDecorator<T>
{
public:
  AAX_CUnitDisplayDelegateDecorator(const AAX_IDisplayDelegate<T>& inner, const AAX_CString& unit)
    : AAX_IDisplayDelegateDecorator<T>(inner), mUnit(unit)
  {
  }
  std::unique_ptr<AAX_IDisplayDelegate<T>> Clone() const override;
  bool ValueToString(T value, int32_t maxChars, AAX_CString* text) const override;
  bool ValueToString(T value, AAX_CString* text) const override;
  bool StringToValue(const AAX_CString& text, T* value) const override;

private:
  AAX_CString mUnit;
};

// Exact value-to-text and text-to-value maps; the limit is not applied.
template <typename T>
class AAX_CStringDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
public:
  using ValueToText = std::map<T, std::string>;
  using TextToValue = std::map<std::string, T, std::less<>>;

  AAX_CStringDisplayDelegate(ValueToText valueToText, TextToValue textToValue)
    : mValueToText(std::move(valueToText)), mTextToValue(std::move(textToValue))
  {
  }
  std::unique_ptr<AAX_IDisplayDelegate<T>> Clone() const override;
  // "String Not Found" and false for a value without a text
  bool ValueToString(T value, int32_t maxChars, AAX_CString* text) const override;
  bool ValueToString(T value, AAX_CString* text) const override;
  bool StringToValue(const AAX_CString& text, T* value) const override; // failure gives 0

private:
  ValueToText mValueToText;
  TextToValue mTextToValue;
};

// Two texts, plus shorter pairs for tight limits.
template <typename T>
class AAX_CBinaryDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
public:
  AAX_CBinaryDisplayDelegate(const char* falseText, const char* trueText) : mFalse(falseText), mTrue(trueText) {}
  std::unique_ptr<AAX_IDisplayDelegate<T>> Clone() const override;
  // [host main thread, before the delegate is shared] a pair for limits of at least maxChars
  void AddShortenedStrings(const char* falseText, const char* trueText, int32_t maxChars);
  bool ValueToString(T value, int32_t maxChars, AAX_CString* text) const override;
  bool ValueToString(T value, AAX_CString* text) const override;
  bool StringToValue(const AAX_CString& text, T* value) const override; // only the two full texts parse

private:
  struct ShortenedPair
  {
    AAX_CString mFalse;
    AAX_CString mTrue;
    int32_t mMaxChars;
  };

  AAX_CString mFalse;
  AAX_CString mTrue;
  std::vector<ShortenedPair> mShortened; // ascending by mMaxChars
};
