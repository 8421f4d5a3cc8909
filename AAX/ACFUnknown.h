#pragma once
// The ACF object convention every module object and host object follows: 128-bit interface identifiers,
// query-interface by identifier, atomic reference counts, and a module-wide count of live objects that
// tells the host when the library may be unloaded.
#include <atomic>
#include <cstdint>

using ACFRESULT = int32_t;

constexpr ACFRESULT ACF_OK = 0;
constexpr ACFRESULT ACF_E_NOINTERFACE = static_cast<ACFRESULT>(0x80000004u);
constexpr ACFRESULT ACF_E_UNEXPECTED = static_cast<ACFRESULT>(0x8000FFFFu);

struct acfUID
{
  uint32_t mData1;
  uint16_t mData2;
  uint16_t mData3;
  uint8_t mData4[8];

  friend constexpr bool operator==(const acfUID&, const acfUID&) = default;
};
using acfIID = acfUID;

static_assert(sizeof(acfUID) == 16, "identifiers are exchanged as 16 bytes");

// Every ACF interface derives from this. Objects are destroyed only by their last Release.
class IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0xd0ee39da, 0xa543, 0x4084, {0x83, 0x76, 0x16, 0xa2, 0x24, 0x34, 0x6e, 0x80}};

  // [any thread] on success *out holds the interface with one reference added; otherwise null and ACF_E_NOINTERFACE
  virtual ACFRESULT QueryInterface(const acfIID& iid, void** out) = 0;
  // [any thread, lock-free] both return the new count
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

protected:
  ~IACFUnknown() = default;
};

// Reference counting and the live-object count for objects this module creates. A new object holds one
// reference, which its creator hands on (a creation procedure returns it to the host).
class CACFUnknown
{
public:
  CACFUnknown(const CACFUnknown&) = delete;
  CACFUnknown& operator=(const CACFUnknown&) = delete;

  // [any thread, lock-free] objects of this module constructed and not yet destroyed
  static int32_t LiveObjectCount();

protected:
  CACFUnknown();
  virtual ~CACFUnknown();

  uint32_t InternalAddRef();
  // destroys the object when the count reaches 0
  uint32_t InternalRelease();

private:
  std::atomic<uint32_t> mRefCount{1};
};

