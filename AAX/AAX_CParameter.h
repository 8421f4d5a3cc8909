#pragma once
// The parameter object of the AAX side, generic over its real type (bool, int32_t or double; instantiated in
// AAX_CParameter.cpp). It owns clones of its taper and display delegates and borrows the host's automation
// delegate once the parameter manager attaches it. Threads as in AAX_IParameter.h.
#include <atomic>
#include <vector>

#include "AAX_Delegates.h"
#include "AAX_IParameter.h"

template <typename T>
class AAX_CParameterValue final : public AAX_IParameterValue
{
public:
  static constexpr int32_t kMaxIdentifierSize = 32; // including the terminating NUL

  // identifiers longer than kMaxIdentifierSize - 1 characters are cut
  AAX_CParameterValue(AAX_CParamID id, T value);
  AAX_CParameterValue(const AAX_CParameterValue& other);
  AAX_CParameterValue& operator=(const AAX_CParameterValue&) = delete;

  std::unique_ptr<AAX_IParameterValue> Clone() const override;
  AAX_CParamID Identifier() const override { return mIdentifier; }
  bool GetValueAsBool(bool* value) const override;
  bool GetValueAsInt32(int32_t* value) const override;
  bool GetValueAsDouble(double* value) const override;

  // [any thread, lock-free]
  T Get() const;
  void Set(T value);

private:
  template <typename U>
  bool GetAs(U* value) const;

  char mIdentifier[kMaxIdentifierSize] = {};
  alignas(std::atomic_ref<T>::required_alignment) T mValue;
};

template <typename T>
class AAX_CParameter final : public AAX_IParameter
{
public:
  AAX_CParameter(AAX_CParamID id, const AAX_CString& name, T defaultValue, const AAX_ITaperDelegate<T>& taper,
                 const AAX_IDisplayDelegate<T>& display, bool automatable);
  ~AAX_CParameter() override;
  AAX_CParameter(const AAX_CParameter&) = delete;
  AAX_CParameter& operator=(const AAX_CParameter&) = delete;

  AAX_CParamID Identifier() const override { return mValue.Identifier(); }
  const AAX_CString& Name() const override { return mName; }
  void SetName(const AAX_CString& name) override { mName = name; }
  void AddShortenedName(const AAX_CString& name) override { mShortenedNames.push_back(name); }
  AAX_CString ShortenedName(int32_t maxChars) const override;
  bool Automatable() const override { return mAutomatable; }
  void SetAutomationDelegate(AAX_VAutomationDelegate* delegate) override;

  double GetNormalizedValue() const override;
  void SetNormalizedValue(double normalized) override;
  void UpdateNormalizedValue(double normalized) override;
  double GetNormalizedDefaultValue() const override;
  void SetNormalizedDefaultValue(double normalized) override;
  void SetToDefaultValue() override;
  void Touch() override;
  void Release() override;

  uint32_t GetNumberOfSteps() const override { return mNumSteps; }
  void SetNumberOfSteps(uint32_t steps) override;
  AAX_EParameterType GetType() const override { return mType; }
  void SetType(AAX_EParameterType type) override { mType = type; }
  AAX_EParameterOrientation GetOrientation() const override { return mOrientation; }
  void SetOrientation(AAX_EParameterOrientation orientation) override { mOrientation = orientation; }

  bool GetValueString(int32_t maxChars, AAX_CString* text) const override;
  bool GetStringFromNormalizedValue(double normalized, int32_t maxChars, AAX_CString* text) const override;
  bool GetNormalizedValueFromString(const AAX_CString& text, double* normalized) const override;

  std::unique_ptr<AAX_IParameterValue> CloneValue() const override;
  bool GetValueAsBool(bool* value) const override { return mValue.GetValueAsBool(value); }
  bool GetValueAsInt32(int32_t* value) const override { return mValue.GetValueAsInt32(value); }
  bool GetValueAsDouble(double* value) const override { return mValue.GetValueAsDouble(value); }
  bool SetValueWithBool(bool value) override;
  bool SetValueWithInt32(int32_t value) override;
  bool SetValueWithDouble(double value) override;

  // [any thread, lock-free] the stored real value
  T GetValue() const { return mValue.Get(); }
  T GetDefaultValue() const { return mDefaultValue; }
  const AAX_ITaperDelegate<T>& TaperDelegate() const { return *mTaperDelegate; }
  const AAX_IDisplayDelegate<T>& DisplayDelegate() const { return *mDisplayDelegate; }

private:
  template <typename U>
  bool SetValueWith(U value);

  AAX_CString mName;
  std::vector<AAX_CString> mShortenedNames;
  bool mAutomatable;
  uint32_t mNumSteps = 0; // 0: no count set yet
  AAX_EParameterType mType = AAX_eParameterType_Continuous;
  AAX_EParameterOrientation mOrientation = AAX_eParameterOrientation_Default;
  std::unique_ptr<AAX_ITaperDelegate<T>> mTaperDelegate;
  std::unique_ptr<AAX_IDisplayDelegate<T>> mDisplayDelegate;
  AAX_VAutomationDelegate* mAutomationDelegate = nullptr;
  std::atomic<bool> mNeedNotify{true}; // the next update tells the host even when the value is unchanged
  AAX_CParameterValue<T> mValue;
  T mDefaultValue;
};
