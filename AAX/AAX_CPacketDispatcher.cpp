#include "AAX_CPacketDispatcher.h"

#include "AAX_Errors.h"
#include "AAX_VController.h"

void AAX_CPacketDispatcher::RegisterPacket(AAX_CParamID id, AAX_CFieldIndex field, Generator generator)
{
  auto packet = std::make_unique<Packet>();
  packet->mID = id ? id : "";
  packet->mField = field;
  packet->mGenerator = std::move(generator);
  mPackets.push_back(std::move(packet));
}

AAX_Result AAX_CPacketDispatcher::SetDirty(AAX_CParamID id)
{
  if (!id)
    return AAX_SUCCESS;
  for (const auto& packet : mPackets)
    if (packet->mID == id)
      packet->mDirty.store(true, std::memory_order_release);
  return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::Dispatch()
{
  AAX_Result first = AAX_SUCCESS;
  for (const auto& packet : mPackets)
  {
    if (!packet->mDirty.exchange(false, std::memory_order_acq_rel))
      continue;
    AAX_Result result = packet->mGenerator ? packet->mGenerator(packet->mData) : AAX_Result{AAX_ERROR_NULL_OBJECT};
    if (result == AAX_SUCCESS)
      result = mController ? mController->PostPacket(packet->mField, packet->mData.data(),
                                                     static_cast<uint32_t>(packet->mData.size()))
                           : AAX_Result{AAX_ERROR_NOT_INITIALIZED};
    if (result == AAX_SUCCESS)
      continue;
    packet->mDirty.store(true, std::memory_order_release); // posted again by the next dispatch
    if (first == AAX_SUCCESS)
      first = result;
  }
  return first;
}
