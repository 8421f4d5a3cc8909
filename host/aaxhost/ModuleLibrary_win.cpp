#include <windows.h>

#include <algorithm>

#include "ModuleLibrary.h"

namespace aaxhost {

namespace {

// our paths are UTF-8; the loader wants UTF-16 with backslashes
std::wstring WidePath(const std::string& path)
{
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
}

std::string SystemErrorText(DWORD code)
{
  char* text = nullptr;
  const DWORD length =
    ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message(text ? text : "", length);
  ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return "error " + std::to_string(code) + (message.empty() ? "" : ": " + message);
}

} // namespace

std::unique_ptr<ModuleLibrary> ModuleLibrary::Open(const std::string& path, std::string& error)
{
  // a file that is no module must fail the call, not put up a dialog in front of a headless host
  DWORD previousMode = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  HMODULE handle = ::LoadLibraryW(WidePath(path).c_str());
  const DWORD code = ::GetLastError();
  ::SetThreadErrorMode(previousMode, nullptr);
  if (!handle)
  {
    error = SystemErrorText(code);
    return nullptr;
  }
  return std::unique_ptr<ModuleLibrary>(new ModuleLibrary(handle));
}

ModuleLibrary::~ModuleLibrary()
{
  if (!mKeepLoaded)
    ::FreeLibrary(static_cast<HMODULE>(mHandle));
}

void* ModuleLibrary::Symbol(const char* name) const
{
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(mHandle), name));
}

} // namespace aaxhost
