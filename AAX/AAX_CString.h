#pragma once
// Text exchanged with the host: AAX_IString across the interfaces, AAX_CString as the module's own value.
#include <cstdint>
#include <string>
#include <string_view>

class AAX_IString
{
public:
  virtual const char* Get() const = 0; // NUL-terminated, never null
  virtual void Set(const char* text) = 0; // null sets the empty text
  virtual uint32_t Length() const = 0;

protected:
  ~AAX_IString() = default;
};

class AAX_CString final : public AAX_IString
{
public:
  AAX_CString() = default;
  AAX_CString(const char* text) : mText(text ? text : "") {}
  AAX_CString(std::string_view text) : mText(text) {}
  AAX_CString(const AAX_CString&) = default;
  AAX_CString& operator=(const AAX_CString&) = default;
  ~AAX_CString() = default;

  const char* Get() const override { return mText.c_str(); }
  void Set(const char* text) override { mText = text ? text : ""; }
  uint32_t Length() const override { return static_cast<uint32_t>(mText.size()); }

  std::string_view View() const { return mText; }
  const std::string& StdString() const { return mText; }
  friend bool operator==(const AAX_CString& a, const AAX_CString& b) { return a.mText == b.mText; }

private:
  std::string mText;
};
