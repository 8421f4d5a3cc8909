// What the LV2 binding's entry points need from the plug-in: its factory.
#include <mutex>

#include "TALVEN.h"

namespace {

// Created on first use, destroyed at exit; hosts may make instances from several threads.
std::mutex& FactoryLock()
{
  static std::mutex lock;
  return lock;
}

} // namespace

namespace iplug {

IPlugLV2* MakePlugin(const InstanceInfo& info)
{
  std::lock_guard guard(FactoryLock());
  return new talven::TALVEN(info);
}

} // namespace iplug
