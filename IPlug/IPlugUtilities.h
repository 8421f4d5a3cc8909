#pragma once
// Small text helpers shared by the framework: bounded copies and bounded printf.
// None of them allocates except the std::string forms; all are safe on any thread.
#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

namespace iplug {

// Copies src into dst[size], truncating to size - 1 characters and always terminating.
// A null src gives "". Source and destination may overlap.
inline void CopyText(char* dst, std::size_t size, const char* src)
{
  if (size == 0)
    return;
  if (src == nullptr)
  {
    dst[0] = '\0';
    return;
  }
  const std::size_t length = strnlen(src, size - 1);
  std::memmove(dst, src, length);
  dst[length] = '\0';
}

template <std::size_t N>
void CopyText(char (&dst)[N], const char* src)
{
  CopyText(dst, N, src);
}

// vsnprintf into dst[size]; returns the number of characters stored (truncated output
// is still terminated), or -1 on an encoding error (dst is then "").
inline int FormatTextV(char* dst, std::size_t size, const char* fmt, va_list args)
{
  if (size == 0)
    return -1;
  const int wanted = std::vsnprintf(dst, size, fmt, args);
  if (wanted < 0)
  {
    dst[0] = '\0';
    return -1;
  }
  return std::min(wanted, static_cast<int>(size - 1));
}

[[gnu::format(printf, 3, 4)]] inline int FormatText(char* dst, std::size_t size, const char* fmt, ...)
{
  va_list args;
  va_start(args, fmt);
  const int stored = FormatTextV(dst, size, fmt, args);
  va_end(args);
  return stored;
}

template <std::size_t N>
[[gnu::format(printf, 2, 3)]] int FormatText(char (&dst)[N], const char* fmt, ...)
{
  va_list args;
  va_start(args, fmt);
  const int stored = FormatTextV(dst, N, fmt, args);
  va_end(args);
  return stored;
}

// Appends at most maxChars characters of the printf output to out; returns false on an
// encoding error (out is then unchanged).
[[gnu::format(printf, 3, 4)]] inline bool AppendFormat(std::string& out, std::size_t maxChars, const char* fmt, ...)
{
  va_list args;
  va_start(args, fmt);
  va_list measure;
  va_copy(measure, args);
  const int wanted = std::vsnprintf(nullptr, 0, fmt, measure);
  va_end(measure);
  if (wanted >= 0)
  {
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(wanted));
    // writing the terminator at data()[size()] is allowed
    std::vsnprintf(out.data() + start, static_cast<std::size_t>(wanted) + 1, fmt, args);
    out.resize(start + std::min(static_cast<std::size_t>(wanted), maxChars));
  }
  va_end(args);
  return wanted >= 0;
}

// Appends text as the inside of a JSON string: quotes, backslashes and control
// characters escaped, everything else (UTF-8 included) as it is.
inline void AppendJsonEscaped(std::string& out, const char* text)
{
  static constexpr char kHex[] = "0123456789abcdef";
  for (const char* p = text ? text : ""; *p; ++p)
  {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\')
    {
      out += '\\';
      out += static_cast<char>(c);
    }
    else if (c < 0x20)
    {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
    else
      out += static_cast<char>(c);
  }
}

} // namespace iplug
