#pragma once
// One host parameter as the effect's parameter manager keeps it, addressed by its identifier text.
// Definition calls happen on the host's main thread before the host uses the parameter; afterwards values
// change on the host's main and parameter threads, and the stored value may be read on the audio thread.
#include <cstdint>
#include <memory>

#include "AAX.h"
#include "AAX_CString.h"

class AAX_VAutomationDelegate;

// A copy of a parameter's identifier and real value, as handed between threads.
class AAX_IParameterValue
{
public:
  virtual ~AAX_IParameterValue() = default;
  virtual std::unique_ptr<AAX_IParameterValue> Clone() const = 0;
  virtual AAX_CParamID Identifier() const = 0;
  // [any thread, lock-free] false when the value is of another type
  virtual bool GetValueAsBool(bool* value) const = 0;
  virtual bool GetValueAsInt32(int32_t* value) const = 0;
  virtual bool GetValueAsDouble(double* value) const = 0;
};

class AAX_IParameter
{
public:
  virtual ~AAX_IParameter() = default;

  virtual AAX_CParamID Identifier() const = 0;
  virtual const AAX_CString& Name() const = 0;
  virtual void SetName(const AAX_CString& name) = 0;
  virtual void AddShortenedName(const AAX_CString& name) = 0;
  // the longest form of the name that fits in maxChars, else the name cut to maxChars; empty for maxChars <= 0
  virtual AAX_CString ShortenedName(int32_t maxChars) const = 0;
  virtual bool Automatable() const = 0;
  // [host main thread] attaching registers the identifier with the host, detaching (null) unregisters it
  virtual void SetAutomationDelegate(AAX_VAutomationDelegate* delegate) = 0;

  // [host main or parameter thread]
  virtual double GetNormalizedValue() const = 0;
  // asks the host for the value when a delegate is attached (the host answers with UpdateNormalizedValue)
  virtual void SetNormalizedValue(double normalized) = 0;
  // the host's answer: stores the value and tells the host it is current
  virtual void UpdateNormalizedValue(double normalized) = 0;
  virtual double GetNormalizedDefaultValue() const = 0;
  virtual void SetNormalizedDefaultValue(double normalized) = 0;
  virtual void SetToDefaultValue() = 0;
  virtual void Touch() = 0;
  virtual void Release() = 0;

  virtual uint32_t GetNumberOfSteps() const = 0;
  virtual void SetNumberOfSteps(uint32_t steps) = 0; // 0 is refused with an assertion report
  virtual AAX_EParameterType GetType() const = 0;
  virtual void SetType(AAX_EParameterType type) = 0;
  virtual AAX_EParameterOrientation GetOrientation() const = 0;
  virtual void SetOrientation(AAX_EParameterOrientation orientation) = 0;

  // texts: false when the display delegate has none
  virtual bool GetValueString(int32_t maxChars, AAX_CString* text) const = 0;
  // false also when the real value of `normalized` lies outside the taper's range
  virtual bool GetStringFromNormalizedValue(double normalized, int32_t maxChars, AAX_CString* text) const = 0;
  virtual bool GetNormalizedValueFromString(const AAX_CString& text, double* normalized) const = 0;

  virtual std::unique_ptr<AAX_IParameterValue> CloneValue() const = 0;
  // [any thread, lock-free] the stored real value; false when it is of another type
  virtual bool GetValueAsBool(bool* value) const = 0;
  virtual bool GetValueAsInt32(int32_t* value) const = 0;
  virtual bool GetValueAsDouble(double* value) const = 0;
  // set-value requests with a real value; false when it is of another type
  virtual bool SetValueWithBool(bool value) = 0;
  virtual bool SetValueWithInt32(int32_t value) = 0;
  virtual bool SetValueWithDouble(double value) = 0;
};
