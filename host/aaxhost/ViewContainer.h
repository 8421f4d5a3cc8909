#pragma once
// The host's side of an editor view. This host has no windows yet: the parent window is null, and what the
// editor asks of the container is recorded. [ui thread] throughout.
#include <cstdint>
#include <string>
#include <vector>

#include "AAX_IViewContainer.h"
#include "HostObject.h"

namespace aaxhost {

class ViewContainer final : public HostObject<AAX_IViewContainer>
{
public:
  AAX_Result GetNativeParentWindow(void** window) const override;
  AAX_Result SetViewSize(const AAX_Point& size) override;
  AAX_Result GetModifiers(uint32_t* modifiers) const override;
  // not taken by the host: the editor handles the mouse-down itself
  AAX_Result HandleParameterMouseDown(AAX_CParamID id, uint32_t modifiers) override;

  const std::vector<AAX_Point>& ViewSizeRequests() const { return mViewSizes; }
  const std::vector<std::string>& MouseDowns() const { return mMouseDowns; }

private:
  ~ViewContainer() override = default;
  std::vector<AAX_Point> mViewSizes;
  std::vector<std::string> mMouseDowns;
};

} // namespace aaxhost
