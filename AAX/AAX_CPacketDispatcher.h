#pragma once
// Coefficient packets: bytes the parameter side derives from parameter values and posts to a render-context
// field, regenerated only when a parameter they depend on has changed since the last dispatch.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AAX.h"

class AAX_VController;

class AAX_CPacketDispatcher
{
public:
  using Generator = std::function<AAX_Result(std::vector<uint8_t>& data)>;

  // [host main thread] packets are posted through `controller`; null stops posting
  void Initialize(AAX_VController* controller) { mController = controller; }
  // [host main thread, before the host starts updates] a packet for `field` that depends on parameter `id`;
  // it starts dirty so the first dispatch posts it
  void RegisterPacket(AAX_CParamID id, AAX_CFieldIndex field, Generator generator);
  // [host main or parameter thread, lock-free] marks the packets of `id`; identifiers without packets are fine
  AAX_Result SetDirty(AAX_CParamID id);
  // [host parameter thread] generates and posts every dirty packet; returns the first failure, else 0
  AAX_Result Dispatch();

private:
  struct Packet
  {
    std::string mID;
    AAX_CFieldIndex mField;
    Generator mGenerator;
    std::vector<uint8_t> mData;
    std::atomic<bool> mDirty{true};
  };

  AAX_VController* mController = nullptr;
  std::vector<std::unique_ptr<Packet>> mPackets;
};
