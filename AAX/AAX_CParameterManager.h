#pragma once
// Owns the effect's parameter objects in registration order (the host's parameter index is the position) and
// finds them by identifier. Registration and removal happen on the host's main thread while the host is not
// querying; lookups are read-only and safe from any thread afterwards.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AAX_IParameter.h"

class AAX_VAutomationDelegate;

class AAX_CParameterManager
{
public:
  AAX_CParameterManager() = default;
  ~AAX_CParameterManager();
  AAX_CParameterManager(const AAX_CParameterManager&) = delete;
  AAX_CParameterManager& operator=(const AAX_CParameterManager&) = delete;

  // [host main thread] attaches `delegate` to every parameter registered now or later
  void Initialize(AAX_VAutomationDelegate* delegate);

  // [host main thread] false, and the object is destroyed, when it is null or its identifier is taken
  bool AddParameter(std::unique_ptr<AAX_IParameter> parameter);
  // [host main thread] detaches and destroys every parameter
  void RemoveAllParameters();

  int32_t NumParameters() const { return static_cast<int32_t>(mParameters.size()); }
  // null when no parameter bears the identifier or the index is outside the list
  AAX_IParameter* GetParameterByID(AAX_CParamID id) const;
  AAX_IParameter* GetParameter(int32_t index) const;
  // the position of the identifier, or -1
  int32_t GetParameterIndex(AAX_CParamID id) const;

private:
  AAX_VAutomationDelegate* mAutomationDelegate = nullptr;
  std::vector<std::unique_ptr<AAX_IParameter>> mParameters;
  std::map<std::string, int32_t, std::less<>> mIndexByID;
};
