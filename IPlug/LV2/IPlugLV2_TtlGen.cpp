// Writes a plug-in's manifest.ttl and description into its bundle directory at build time.
// usage: <generator> BUNDLE_DIR BINARY_NAME TTL_NAME
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "IPlugLV2_Turtle.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text)
{
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << text;
  f.close();
  if (!f)
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return static_cast<bool>(f);
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 4)
  {
    std::fprintf(stderr, "usage: %s BUNDLE_DIR BINARY_NAME TTL_NAME\n", argv[0]);
    return 2;
  }
  const std::unique_ptr<iplug::IPlugLV2> plug(iplug::MakePlugin(iplug::InstanceInfo{}));
  if (!plug || iplug::LV2Variants(*plug, *plug).empty())
  {
    std::fprintf(stderr, "the plug-in has no channel configuration LV2 can describe\n");
    return 1;
  }
  const std::string dir = argv[1];
  const bool ok = WriteFile(dir + "/manifest.ttl", iplug::LV2ManifestTurtle(*plug, argv[2], argv[3])) &&
                  WriteFile(dir + "/" + argv[3], iplug::LV2PluginTurtle(*plug));
  return ok ? 0 : 1;
}
