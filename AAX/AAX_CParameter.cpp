#include "AAX_CParameter.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "AAX_VController.h"
#include "AAX_VHostServices.h"

namespace {
constexpr const char* kSourcePath = "Dependencies\\IPlug\\AAX_SDK\\Interfaces\\AAX_CParameter";
constexpr uint32_t kDefaultDiscreteSteps = 2;
constexpr uint32_t kDefaultContinuousSteps = 128;

// the name's forms: its lines (a name may carry shorter forms on further lines), then the shortened names
std::vector<std::string_view> NameForms(const AAX_CString& name, const std::vector<AAX_CString>& shortened)
{
  std::vector<std::string_view> forms;
  std::string_view rest = name.View();
  for (std::size_t lineEnd = rest.find('\n'); lineEnd != std::string_view::npos; lineEnd = rest.find('\n'))
  {
    forms.push_back(rest.substr(0, lineEnd));
    rest.remove_prefix(lineEnd + 1);
  }
  forms.push_back(rest);
  for (const AAX_CString& form : shortened)
    forms.push_back(form.View());
  return forms;
}
} // namespace

// ---- value

template <typename T>
AAX_CParameterValue<T>::AAX_CParameterValue(AAX_CParamID id, T value) : mValue(value)
{
  if (id)
    std::strncpy(mIdentifier, id, kMaxIdentifierSize - 1);
}

template <typename T>
AAX_CParameterValue<T>::AAX_CParameterValue(const AAX_CParameterValue& other) : mValue(other.Get())
{
  std::memcpy(mIdentifier, other.mIdentifier, sizeof(mIdentifier));
}

template <typename T>
std::unique_ptr<AAX_IParameterValue> AAX_CParameterValue<T>::Clone() const
{
  return std::make_unique<AAX_CParameterValue>(*this);
}

template <typename T>
T AAX_CParameterValue<T>::Get() const
{
  return std::atomic_ref<const T>(mValue).load(std::memory_order_acquire);
}

template <typename T>
void AAX_CParameterValue<T>::Set(T value)
{
  std::atomic_ref<T>(mValue).store(value, std::memory_order_release);
}

template <typename T>
template <typename U>
bool AAX_CParameterValue<T>::GetAs(U* value) const
{
  if constexpr (std::is_same_v<T, U>)
  {
    *value = Get();
    return true;
  }
  else
  {
    (void)value;
    return false;
  }
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsBool(bool* value) const
{
  return GetAs(value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsInt32(int32_t* value) const
{
  return GetAs(value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsDouble(double* value) const
{
  return GetAs(value);
}

// ---- parameter

template <typename T>
AAX_CParameter<T>::AAX_CParameter(AAX_CParamID id, const AAX_CString& name, T defaultValue,
                                  const AAX_ITaperDelegate<T>& taper, const AAX_IDisplayDelegate<T>& display,
                                  bool automatable)
  : mName(name), mAutomatable(automatable), mTaperDelegate(taper.Clone()), mDisplayDelegate(display.Clone()),
    mValue(id, defaultValue), mDefaultValue(defaultValue)
{
  const std::size_t len = id ? std::strlen(id) : 0;
  AAX_Check(len < AAX_CParameterValue<T>::kMaxIdentifierSize, kSourcePath, "len < eParemeterDefaultMaxIdentifierSize");

  if (mNumSteps == 0)
  {
    switch (mType)
    {
    case AAX_eParameterType_Discrete: mNumSteps = kDefaultDiscreteSteps; break;
    case AAX_eParameterType_Continuous: mNumSteps = kDefaultContinuousSteps; break;
    default: AAX_ReportAssertion(kSourcePath, "0"); break;
    }
  }
  // no delegate can be attached yet, so this stores the default and leaves the host to be told later
  UpdateNormalizedValue(mTaperDelegate->RealToNormalized(mDefaultValue));
}

template <typename T>
AAX_CParameter<T>::~AAX_CParameter() = default;

template <typename T>
AAX_CString AAX_CParameter<T>::ShortenedName(int32_t maxChars) const
{
  if (maxChars <= 0)
    return {};
  const auto limit = static_cast<std::size_t>(maxChars);
  const std::vector<std::string_view> forms = NameForms(mName, mShortenedNames);
  std::string_view best;
  bool found = false;
  for (std::string_view form : forms)
    if (form.size() <= limit && (!found || form.size() > best.size()))
    {
      best = form;
      found = true;
    }
  return found ? AAX_CString(best) : AAX_CString(forms.front().substr(0, limit));
}

template <typename T>
void AAX_CParameter<T>::SetAutomationDelegate(AAX_VAutomationDelegate* delegate)
{
  if (delegate == mAutomationDelegate)
    return;
  if (mAutomationDelegate)
    mAutomationDelegate->UnregisterParameter(Identifier());
  mAutomationDelegate = delegate;
  if (mAutomationDelegate)
    mAutomationDelegate->RegisterParameter(Identifier());
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedValue() const
{
  return mTaperDelegate->RealToNormalized(mValue.Get());
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedValue(double normalized)
{
  const T real = mTaperDelegate->NormalizedToReal(normalized);
  if (mAutomationDelegate)
  {
    // the host owns automation: it answers the request with UpdateNormalizedValue
    Touch();
    mAutomationDelegate->PostSetValueRequest(Identifier(), mTaperDelegate->RealToNormalized(real));
    Release();
    return;
  }
  mNeedNotify.store(true, std::memory_order_relaxed);
  UpdateNormalizedValue(normalized);
}

template <typename T>
void AAX_CParameter<T>::UpdateNormalizedValue(double normalized)
{
  const T real = mTaperDelegate->NormalizedToReal(normalized);
  if (!mNeedNotify.load(std::memory_order_relaxed) && real == mValue.Get())
    return;
  mValue.Set(real);
  if (mAutomationDelegate)
    mAutomationDelegate->PostCurrentValue(Identifier(), normalized);
  mNeedNotify.store(false, std::memory_order_relaxed);
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedDefaultValue() const
{
  return mTaperDelegate->RealToNormalized(mDefaultValue);
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedDefaultValue(double normalized)
{
  mDefaultValue = mTaperDelegate->ConstrainRealValue(mTaperDelegate->NormalizedToReal(normalized));
}

template <typename T>
void AAX_CParameter<T>::SetToDefaultValue()
{
  SetNormalizedValue(GetNormalizedDefaultValue());
}

template <typename T>
void AAX_CParameter<T>::Touch()
{
  if (mAutomationDelegate)
    mAutomationDelegate->PostTouchRequest(Identifier());
}

template <typename T>
void AAX_CParameter<T>::Release()
{
  if (mAutomationDelegate)
    mAutomationDelegate->PostReleaseRequest(Identifier());
}

template <typename T>
void AAX_CParameter<T>::SetNumberOfSteps(uint32_t steps)
{
  if (!AAX_Check(steps > 0, kSourcePath, "0 < numSteps"))
    return;
  mNumSteps = steps;
}

template <typename T>
bool AAX_CParameter<T>::GetValueString(int32_t maxChars, AAX_CString* text) const
{
  return mDisplayDelegate->ValueToString(mValue.Get(), maxChars, text);
}

template <typename T>
bool AAX_CParameter<T>::GetStringFromNormalizedValue(double normalized, int32_t maxChars, AAX_CString* text) const
{
  const T real = mTaperDelegate->NormalizedToReal(normalized);
  const T low = std::min(mTaperDelegate->GetMinimumValue(), mTaperDelegate->GetMaximumValue());
  const T high = std::max(mTaperDelegate->GetMinimumValue(), mTaperDelegate->GetMaximumValue());
  if (real < low || real > high)
    return false;
  return mDisplayDelegate->ValueToString(real, maxChars, text);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromString(const AAX_CString& text, double* normalized) const
{
  T real{};
  if (!mDisplayDelegate->StringToValue(text, &real))
    return false;
  *normalized = mTaperDelegate->RealToNormalized(real);
  return true;
}

template <typename T>
std::unique_ptr<AAX_IParameterValue> AAX_CParameter<T>::CloneValue() const
{
  return mValue.Clone();
}

template <typename T>
template <typename U>
bool AAX_CParameter<T>::SetValueWith(U value)
{
  if constexpr (std::is_same_v<T, U>)
  {
    SetNormalizedValue(mTaperDelegate->RealToNormalized(mTaperDelegate->ConstrainRealValue(value)));
    return true;
  }
  else
  {
    (void)value;
    return false;
  }
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithBool(bool value)
{
  return SetValueWith(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithInt32(int32_t value)
{
  return SetValueWith(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithDouble(double value)
{
  return SetValueWith(value);
}

template class AAX_CParameterValue<bool>;
template class AAX_CParameterValue<int32_t>;
template class AAX_CParameterValue<double>;
template class AAX_CParameter<bool>;
template class AAX_CParameter<int32_t>;
template class AAX_CParameter<double>;
